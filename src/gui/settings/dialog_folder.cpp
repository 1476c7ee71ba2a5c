#include "gui/settings/dialog_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

#include "core/settings/settings.h"

namespace {
// The folder is stored as a file URL: any name survives a store that keeps the code page's text.
QString storedFolder(SettingsBackend& settings)
{
    SettingsFile store(settings);
    const std::string text = store.readString(settings::Other, settings::LastFolder, "");
    const QUrl url = QUrl(QString::fromLatin1(text.c_str()), QUrl::StrictMode);
    return url.isLocalFile() ? url.toLocalFile() : QString();
}
}  // namespace

QString dialogStartFolder(SettingsBackend& settings)
{
    const QString last = storedFolder(settings);
    if (!last.isEmpty() && QFileInfo(last).isDir()) return last;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir()) return documents;
    return QDir::homePath();
}

void rememberDialogFolder(SettingsBackend& settings, const QString& chosenFile)
{
    const QString folder = QFileInfo(chosenFile).absolutePath();
    try {
        SettingsFile store(settings);
        store.writeString(settings::Other, settings::LastFolder,
                          QUrl::fromLocalFile(folder).toEncoded(QUrl::FullyEncoded).toStdString());
    } catch (const std::exception&) {
        // The store reports its own faults; the next dialog only starts elsewhere.
    }
}

bool chooseFileToOpen(SettingsBackend& settings, OpenFileRequest& request)
{
    request.directory = dialogStartFolder(settings);
    if (!prompts().openFile(request)) return false;
    rememberDialogFolder(settings, request.fileName);
    return true;
}

bool chooseFileToSave(SettingsBackend& settings, SaveFileRequest& request)
{
    request.directory = dialogStartFolder(settings);
    if (!prompts().saveFile(request)) return false;
    rememberDialogFolder(settings, request.fileName);
    return true;
}
