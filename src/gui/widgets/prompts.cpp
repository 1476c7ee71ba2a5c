#include "gui/widgets/prompts.h"

#include <algorithm>

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QScreen>

namespace {
QtPrompts g_qtPrompts;
Prompts* g_prompts = &g_qtPrompts;

QWidget* dialogParent() { return QApplication::activeWindow(); }
QString g_applicationTitle;
}  // namespace

// Kept apart from Qt's application display name, which the platform would append to every
// window caption.
void setApplicationTitle(const QString& title) { g_applicationTitle = title; }
QString applicationTitleText() { return g_applicationTitle; }

Prompts& prompts() { return *g_prompts; }
void setPrompts(Prompts* prompts) { g_prompts = prompts ? prompts : &g_qtPrompts; }

void showInformation(const QString& text) { prompts().ask(PromptKind::Information, text, PromptButtons::Ok); }
void showError(const QString& text) { prompts().ask(PromptKind::Error, text, PromptButtons::Ok); }
bool confirmOkCancel(const QString& text)
{
    return prompts().ask(PromptKind::Confirmation, text, PromptButtons::OkCancel) == PromptAnswer::Ok;
}
bool confirmDestructive(const QString& text)
{
    return prompts().ask(PromptKind::Confirmation, text, PromptButtons::OkCancel, PromptAnswer::Cancel) ==
           PromptAnswer::Ok;
}

PromptAnswer QtPrompts::ask(PromptKind kind, const QString& text, PromptButtons buttons, PromptAnswer defaultAnswer)
{
    QMessageBox::Icon icon = QMessageBox::Information;
    QString title = g_applicationTitle;
    switch (kind) {
    case PromptKind::Information: icon = QMessageBox::Information; break;
    case PromptKind::Warning:
        icon = QMessageBox::Warning;
        title = QObject::tr("Warning");
        break;
    case PromptKind::Error:
        icon = QMessageBox::Critical;
        title = QObject::tr("Error");
        break;
    case PromptKind::Confirmation:
        icon = QMessageBox::Question;
        title = QObject::tr("Confirm");
        break;
    }
    QMessageBox::StandardButtons set = QMessageBox::Ok;
    switch (buttons) {
    case PromptButtons::Ok: set = QMessageBox::Ok; break;
    case PromptButtons::OkCancel: set = QMessageBox::Ok | QMessageBox::Cancel; break;
    case PromptButtons::YesNo: set = QMessageBox::Yes | QMessageBox::No; break;
    case PromptButtons::YesNoCancel: set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; break;
    }
    QMessageBox box(icon, title, text, set, dialogParent());
    switch (defaultAnswer) {
    case PromptAnswer::Ok: box.setDefaultButton(QMessageBox::Ok); break;
    case PromptAnswer::Cancel: box.setDefaultButton(QMessageBox::Cancel); break;
    case PromptAnswer::Yes: box.setDefaultButton(QMessageBox::Yes); break;
    case PromptAnswer::No: box.setDefaultButton(QMessageBox::No); break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok: return PromptAnswer::Ok;
    case QMessageBox::Yes: return PromptAnswer::Yes;
    case QMessageBox::No: return PromptAnswer::No;
    default: return PromptAnswer::Cancel;  // Cancel, Escape or the close box
    }
}

void QtPrompts::beep() { QApplication::beep(); }

namespace {
// The file dialog's type list, with the type chosen last selected; after it closes, the file and
// the type chosen.
void offerTypes(QFileDialog& dialog, const QStringList& filters, int filterIndex)
{
    dialog.setNameFilters(filters);
    if (filterIndex >= 1 && filterIndex <= filters.size()) dialog.selectNameFilter(filters[filterIndex - 1]);
}

bool chosenFile(QFileDialog& dialog, const QStringList& filters, QString& fileName, int& filterIndex)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    fileName = dialog.selectedFiles().first();
    filterIndex = std::max(1, static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1);
    return true;
}
}  // namespace

bool QtPrompts::saveFile(SaveFileRequest& request)
{
    QFileDialog dialog(dialogParent(), request.title, request.directory);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    offerTypes(dialog, request.filters, request.filterIndex);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (request.suffixFollowsType) {
        // Before the dialog checks for a file to overwrite, so a typed name gets the type's suffix,
        // also for the type offered first (the one chosen last time).
        const auto followType = [&dialog](const QString& filter) {
            static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
            if (const QRegularExpressionMatch match = pattern.match(filter); match.hasMatch())
                dialog.setDefaultSuffix(match.captured(1));
        };
        if (request.filterIndex >= 1 && request.filterIndex <= request.filters.size())
            followType(request.filters[request.filterIndex - 1]);
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, followType);
    }
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    dialog.selectFile(request.fileName);
    return chosenFile(dialog, request.filters, request.fileName, request.filterIndex);
}

bool QtPrompts::openFile(OpenFileRequest& request)
{
    QFileDialog dialog(dialogParent(), request.title, request.directory);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.several ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    offerTypes(dialog, request.filters, request.filterIndex);
    if (!chosenFile(dialog, request.filters, request.fileName, request.filterIndex)) return false;
    if (request.several) request.fileNames = dialog.selectedFiles();
    return true;
}

bool QtPrompts::chooseFolder(FolderRequest& request)
{
    const QString folder = QFileDialog::getExistingDirectory(dialogParent(), request.title, request.directory);
    if (folder.isEmpty()) return false;
    request.directory = folder;
    return true;
}

namespace {
// Pulls a window that grows (the print dialog's "Options >>" adds a page of options below) back
// inside its screen, and no larger than the screen.
class KeepOnScreen final : public QObject {
public:
    explicit KeepOnScreen(QWidget* window) : QObject(window) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Show) {
            auto* window = static_cast<QWidget*>(watched);
            if (const QScreen* screen = window->screen()) {
                const QRect room = screen->availableGeometry();
                const QRect frame = window->frameGeometry();
                const QSize frameExtra = frame.size() - window->size();
                const QSize most = room.size() - frameExtra;
                if (window->width() > most.width() || window->height() > most.height())
                    window->resize(window->size().boundedTo(most));
                QPoint corner = frame.topLeft();
                corner.setX(
                    std::clamp(corner.x(), room.left(), std::max(room.left(), room.right() + 1 - frame.width())));
                corner.setY(
                    std::clamp(corner.y(), room.top(), std::max(room.top(), room.bottom() + 1 - frame.height())));
                if (corner != frame.topLeft()) window->move(corner);
            }
        }
        return false;
    }
};
}  // namespace

bool QtPrompts::printDialog(QPrinter& printer, int& copies)
{
    printer.setCopyCount(copies);
    printer.setFromTo(1, 1);
    QPrintDialog dialog(&printer, dialogParent());
    dialog.setObjectName(QStringLiteral("dlgPrint"));
    dialog.setMinMax(1, 1);
    new KeepOnScreen(&dialog);
    if (dialog.exec() != QDialog::Accepted) return false;
    copies = printer.copyCount();
    printer.setCopyCount(1);  // each copy is a print job of its own
    return true;
}
