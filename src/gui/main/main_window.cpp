#include "gui/main/main_window.h"

#include <algorithm>

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QProgressBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include "gui/players/player_manager.h"
#include "gui/printing/print_commands.h"
#include "gui/options/options_dialog.h"
#include "gui/sheet/bracket_sheet.h"
#include "gui/widgets/ansi_text.h"
#include "gui/main/backup.h"
#include "gui/widgets/busy_cursor.h"
#include "gui/widgets/child_window.h"
#include "gui/widgets/drawing_suspended.h"
#include "gui/widgets/guarded.h"
#include "gui/widgets/prompts.h"
#include "gui/main/help_page.h"
#include "gui/main/open_url.h"
#include "gui/main/splash.h"
#include "gui/outlook/outlook_window.h"
#include "gui/standings/standings_window.h"
#include "gui/transfer/transfer_commands.h"

QString hintToolTip(const QString& hint) { return hint.section(QLatin1Char('|'), 0, 0); }
QString hintStatus(const QString& hint)
{
    const int bar = static_cast<int>(hint.indexOf(QLatin1Char('|')));
    return bar < 0 ? hint : hint.mid(bar + 1);
}

namespace {
constexpr int CountPanelWidth = 63;

// The style has no printer among its standard pictures (the disk it offers is Save's), so the
// Print button's icon is drawn here: a sheet going into a printer.
QIcon printerIcon()
{
    QPixmap picture(PrinterIconSize, PrinterIconSize);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(5.5, 1.5, 9, 6));   // the paper going in
    p.setBrush(QColor(150, 150, 155));
    p.drawRoundedRect(QRectF(1.5, 7.5, 17, 8), 2, 2);  // the body
    p.setBrush(Qt::white);
    p.drawRect(QRectF(5.5, 13.5, 9, 5));  // the printed sheet
    p.setPen(QColor(40, 160, 40));
    p.drawPoint(QPointF(16, 10));         // the power light
    return QIcon(picture);
}

// A tool button whose release opens the print pop-up at the mouse, as the drop-down does.
class DropDownButton : public QToolButton {
public:
    using QToolButton::QToolButton;
    std::function<void(const QPoint&)> onRelease;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        QToolButton::mouseReleaseEvent(event);
        if (onRelease && rect().contains(event->position().toPoint()))
            onRelease(mapToGlobal(event->position().toPoint()));
    }
};
}  // namespace

TMainForm::TMainForm(ISettingsBackend& settings, const QString& dataDir, QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("TMainForm"));
    setWindowTitle(QStringLiteral("Corvanta: NCAA Tournament Pool Manager"));
    resize(772, 497);
    m_session = std::make_unique<TPoolSession>(*this, QDir::toNativeSeparators(dataDir).toStdString(), settings);

    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setBackground(palette().brush(QPalette::Dark));
    setCentralWidget(m_mdiArea);
    createMenus();
    createToolBar();
    createStatusBar();
    nameControls();
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, guarded([this](QMdiSubWindow* sub) {
        UpdateMenuItems();
        // After the moves Qt makes while it activates the window.
        if (auto* child = sub ? qobject_cast<TChildForm*>(sub->widget()) : nullptr)
            QMetaObject::invokeMethod(child, &TChildForm::restoreFocus, Qt::QueuedConnection);
    }));
    UpdateMenuItems();
    // The menu's shortcuts win over a text box's own keys (see eventFilter).
    qApp->installEventFilter(this);
}

TMainForm::~TMainForm()
{
    // No window change may reach UpdateMenuItems while the children go away.
    disconnect(m_mdiArea, nullptr, this, nullptr);
    for (QMdiSubWindow* sub : m_mdiArea->subWindowList()) delete sub;
    m_session.reset();
}

QAction* TMainForm::addItem(QMenu* menu, QAction*& item, const QString& caption, const QString& hint,
                            void (TMainForm::*handler)(), const QKeySequence& shortcut)
{
    item = menu->addAction(caption);
    item->setStatusTip(hintStatus(hint));
    item->setToolTip(hintToolTip(hint));
    if (!shortcut.isEmpty()) {
        item->setShortcut(shortcut);
        m_shortcutItems.push_back(item);
    }
    if (handler) connect(item, &QAction::triggered, this, guarded(this, handler));
    return item;
}

// Tests and tools find the controls by the names the program's documents give them.
void TMainForm::nameControls()
{
    const std::pair<QObject*, const char*> names[] = {
        {mnuReset, "mnuReset"}, {mnuOptions, "mnuOptions"}, {mnuImportField, "mnuImportField"},
        {mnuPrintBlank, "mnuPrintBlank"},
        {mnuPrintRules, "mnuPrintRules"}, {mnuBackup, "mnuBackup"}, {mnuOpenDataFolder, "mnuOpenDataFolder"},
        {mnuExit, "mnuExit"}, {mnuEnterPicks, "mnuEnterPicks"}, {mnuOpenPicks, "mnuOpenPicks"},
        {mnuImportPicks, "mnuImportPicks"}, {mnuExportPicks, "mnuExportPicks"},
        {mnuPlayerPrintPicks, "mnuPlayerPrintPicks"}, {mnuSavePicks, "mnuSavePicks"}, {mnuClose, "mnuClose"},
        {mnuEnterResults, "mnuEnterResults"}, {mnuViewStd, "mnuViewStd"}, {mnuOutlook, "mnuOutlook"}, {mnuWhatIf, "mnuWhatIf"}, {mnuResetResults, "mnuResetResults"},
        {WindowCascadeItem, "WindowCascadeItem"}, {WindowTileItem, "WindowTileItem"},
        {WindowArrangeItem, "WindowArrangeItem"}, {WindowMinimizeItem, "WindowMinimizeItem"},
        {mnuHlpFAQ, "mnuHlpFAQ"}, {HelpAboutItem, "HelpAboutItem"}, {mnuPool, "mnuPool"},
        {mnuPlayer, "mnuPlayer"}, {mnuResults, "mnuResults"}, {mnuWindow, "mnuWindow"}, {mnuHelp, "mnuHelp"},
        {btnNewPicks, "btnNewPicks"}, {btnSave, "btnSave"}, {btnPM, "btnPM"}, {btnResults, "btnResults"}, {btnOutlook, "btnOutlook"},
        {btnStandings, "btnStandings"}, {btnPrint, "btnPrint"}, {btnHelp, "btnHelp"}, {btnExit, "btnExit"},
        {btnSaveAction, "btnSaveAction"}, {PopupMenu1, "PopupMenu1"}, {mnuPrintBlankPool, "mnuPrintBlankPool"},
        {mnuPrintPlayerPool, "mnuPrintPlayerPool"}, {pnlCount, "pnlCount"}, {pnlHint, "pnlHint"},
        {pbProgress, "pbProgress"}, {barToolbar, "barToolbar"}};
    for (const auto& [control, name] : names) control->setObjectName(QLatin1String(name));
}

void TMainForm::createMenus()
{
    QMenuBar* bar = menuBar();
    mnuPool = bar->addMenu(QStringLiteral("&Pool"));
    addItem(mnuPool, mnuReset, QStringLiteral("&New..."),
            QStringLiteral("Start a new pool, erasing all current player information"), &TMainForm::mnuResetClick);
    mnuPool->addSeparator();
    addItem(mnuPool, mnuOptions, QStringLiteral("&Options..."),
            QStringLiteral("Set pool options such as teams, scoring, rules, etc."), &TMainForm::mnuOptionsClick,
            QKeySequence(Qt::CTRL | Qt::Key_O));
    addItem(mnuPool, mnuImportField, QStringLiteral("Import &Field..."),
            QStringLiteral("Read the teams and the regions' places in the bracket from a spreadsheet file"),
            &TMainForm::mnuImportFieldClick);
    mnuPool->addSeparator();
    addItem(mnuPool, mnuPrintBlank, QStringLiteral("Print &Blank Pool..."),
            QStringLiteral("Print a blank pool sheet for distribution"), &TMainForm::mnuPrintBlankClick);
    addItem(mnuPool, mnuPrintRules, QStringLiteral("Print &Rules..."), QStringLiteral("Print rules as set in Options"),
            &TMainForm::mnuPrintRulesClick);
    mnuPool->addSeparator();
    addItem(mnuPool, mnuBackup, QStringLiteral("B&ackup Data Files"), QStringLiteral("Backup all current pool data"),
            &TMainForm::mnuBackupClick, QKeySequence(Qt::CTRL | Qt::Key_B));
    addItem(mnuPool, mnuOpenDataFolder, QStringLiteral("Open &Data Folder"),
            QStringLiteral("Show the folder that holds this pool's data files and backups"),
            &TMainForm::mnuOpenDataFolderClick);
    mnuPool->addSeparator();
    addItem(mnuPool, mnuExit, QStringLiteral("E&xit"), QStringLiteral("Exit the application"), nullptr);
    connect(mnuExit, &QAction::triggered, this, guarded([this] { close(); }));

    mnuPlayer = bar->addMenu(QStringLiteral("P&layer"));
    addItem(mnuPlayer, mnuEnterPicks, QStringLiteral("&New Player"),
            QStringLiteral("Enter picks from pool sheets into the database."), &TMainForm::mnuEnterPicksClick,
            QKeySequence(Qt::CTRL | Qt::Key_N));
    addItem(mnuPlayer, mnuOpenPicks, QStringLiteral("&Player Manager..."), QStringLiteral("List of players already entered"),
            &TMainForm::mnuOpenPicksClick, QKeySequence(Qt::CTRL | Qt::Key_P));
    addItem(mnuPlayer, mnuImportPicks, QStringLiteral("&Import Picks..."),
            QStringLiteral("Add participants from a spreadsheet file of their picks"), &TMainForm::mnuImportPicksClick);
    addItem(mnuPlayer, mnuExportPicks, QStringLiteral("E&xport Picks..."),
            QStringLiteral("Save every participant's picks as a spreadsheet file or a web page"),
            &TMainForm::mnuExportPicksClick);
    mnuPlayer->addSeparator();
    addItem(mnuPlayer, mnuPlayerPrintPicks, QStringLiteral("P&rint Picks"), QString(),
            &TMainForm::mnuPlayerPrintPicksClick);
    addItem(mnuPlayer, mnuSavePicks, QStringLiteral("&Save Picks"), QStringLiteral("Save currently open picks"),
            &TMainForm::mnuSavePicksClick, QKeySequence(Qt::CTRL | Qt::Key_S));
    addItem(mnuPlayer, mnuClose, QStringLiteral("&Close"), QStringLiteral("Close currently open picks"),
            &TMainForm::mnuCloseClick);

    mnuResults = bar->addMenu(QStringLiteral("&Results"));
    addItem(mnuResults, mnuEnterResults, QStringLiteral("&Enter Results"), QStringLiteral("Enter actual tournament results"),
            &TMainForm::mnuEnterResultsClick);
    addItem(mnuResults, mnuViewStd, QStringLiteral("&View Standings"),
            QStringLiteral("View up to date tournament standings"), &TMainForm::mnuViewStdClick,
            QKeySequence(Qt::CTRL | Qt::Key_V));
    addItem(mnuResults, mnuOutlook, QStringLiteral("Pool &Outlook"),
            QStringLiteral("Who can still win: best and worst finish, chances to win and to be paid"),
            &TMainForm::mnuOutlookClick, QKeySequence(Qt::CTRL | Qt::Key_U));
    addItem(mnuResults, mnuWhatIf, QStringLiteral("&What If..."),
            QStringLiteral("Choose winners of games not played yet and see the outlook they give"),
            &TMainForm::mnuWhatIfClick);
    mnuResults->addSeparator();
    addItem(mnuResults, mnuResetResults, QStringLiteral("&Clear Current Results..."),
            QStringLiteral("Reset all currently entered result selections"), &TMainForm::mnuResetResultsClick);

    mnuWindow = bar->addMenu(QStringLiteral("&Window"));
    mnuWindow->setObjectName(QStringLiteral("mnuWindow"));
    addItem(mnuWindow, WindowCascadeItem, QStringLiteral("&Cascade"), QStringLiteral("Arrange windows to overlap"), nullptr);
    connect(WindowCascadeItem, &QAction::triggered, m_mdiArea, &QMdiArea::cascadeSubWindows);
    addItem(mnuWindow, WindowTileItem, QStringLiteral("&Tile"), QStringLiteral("Arrange windows without overlap"), nullptr);
    connect(WindowTileItem, &QAction::triggered, m_mdiArea, &QMdiArea::tileSubWindows);
    addItem(mnuWindow, WindowArrangeItem, QStringLiteral("&Arrange Icons"),
            QStringLiteral("Arrange window icons at bottom of main window"), nullptr);
    connect(WindowArrangeItem, &QAction::triggered, this, guarded([this] {
        // Minimised children line up along the bottom edge.
        int x = 0;
        for (QMdiSubWindow* sub : m_mdiArea->subWindowList())
            if (sub->isMinimized()) {
                sub->move(x, m_mdiArea->viewport()->height() - sub->height());
                x += sub->width();
            }
    }));
    addItem(mnuWindow, WindowMinimizeItem, QStringLiteral("&Minimize All"), QStringLiteral("Minimize all windows"), nullptr);
    connect(WindowMinimizeItem, &QAction::triggered, this, guarded([this] {
        const auto subs = childWindows();
        for (auto it = subs.crbegin(); it != subs.crend(); ++it) (*it)->showMinimized();
    }));
    m_windowListSeparator = mnuWindow->addSeparator();
    connect(mnuWindow, &QMenu::aboutToShow, this, guarded(this, &TMainForm::fillWindowMenu));

    mnuHelp = bar->addMenu(QStringLiteral("&Help"));
    addItem(mnuHelp, mnuHlpFAQ, QStringLiteral("&Frequently Asked Questions..."), QString(), &TMainForm::mnuHlpFAQClick);
    mnuHelp->addSeparator();
    addItem(mnuHelp, HelpAboutItem, QStringLiteral("&About..."), QString(), &TMainForm::HelpAboutItemClick);
}

void TMainForm::fillWindowMenu()
{
    // The list of open child windows stands below the menu's own items.
    const auto actions = mnuWindow->actions();
    const qsizetype first = actions.indexOf(m_windowListSeparator) + 1;
    for (qsizetype i = first; i < actions.size(); ++i) {
        mnuWindow->removeAction(actions[i]);
        delete actions[i];
    }
    const auto subs = childWindows();
    m_windowListSeparator->setVisible(!subs.isEmpty());
    int n = 0;
    for (QMdiSubWindow* sub : subs) {
        ++n;
        // A name's "&" would mark an access key and vanish ("Bob & Sue" showed as "Bob _Sue").
        const QString title = QString(sub->windowTitle()).replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* item = mnuWindow->addAction(QStringLiteral("&%1 %2").arg(n).arg(title));
        item->setCheckable(true);
        item->setChecked(sub == m_mdiArea->activeSubWindow());
        connect(item, &QAction::triggered, this, guarded([this, sub] {
            if (sub->isMinimized()) sub->showNormal();
            m_mdiArea->setActiveSubWindow(sub);
        }));
    }
}

QToolButton* TMainForm::addButton(QToolButton*& button, const QString& caption, const QString& hint,
                                  void (TMainForm::*handler)(), QStyle::StandardPixmap icon)
{
    button = new QToolButton(barToolbar);
    auto* action = new QAction(style()->standardIcon(icon), caption, button);
    action->setIconText(caption);  // keeps the access key of "&Help"
    action->setToolTip(hintToolTip(hint));
    action->setStatusTip(hintStatus(hint));
    if (handler) connect(action, &QAction::triggered, this, guarded(this, handler));
    button->setDefaultAction(action);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    button->setIconSize(QSize(20, 20));
    button->setFixedHeight(26);
    barToolbar->addWidget(button);
    return button;
}

void TMainForm::createToolBar()
{
    barToolbar = addToolBar(QStringLiteral("Tools"));
    barToolbar->setObjectName(QStringLiteral("barToolbar"));
    barToolbar->setMovable(false);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    barToolbar->setFont(font);

    addButton(btnNewPicks, QStringLiteral("New Picks"), QStringLiteral("New Player|Enter new player's picks"),
              &TMainForm::mnuEnterPicksClick, QStyle::SP_FileIcon);
    addButton(btnSave, QStringLiteral("Save Picks"), QStringLiteral("Save|Save current picks"),
              &TMainForm::mnuSavePicksClick, QStyle::SP_DialogSaveButton);
    btnSaveAction = barToolbar->actions().last();
    addButton(btnPM, QStringLiteral("Player Manager"), QStringLiteral("Player Manager"), &TMainForm::mnuOpenPicksClick,
              QStyle::SP_FileDialogDetailedView);
    addButton(btnResults, QStringLiteral("Results"), QStringLiteral("Results|Enter actual results"),
              &TMainForm::mnuEnterResultsClick, QStyle::SP_DialogApplyButton);
    addButton(btnStandings, QStringLiteral("Standings"), QStringLiteral("Standings|Show standings"),
              &TMainForm::mnuViewStdClick, QStyle::SP_FileDialogListView);
    addButton(btnOutlook, QStringLiteral("Outlook"), QStringLiteral("Outlook|Who can still win"),
              &TMainForm::mnuOutlookClick, QStyle::SP_FileDialogInfoView);

    PopupMenu1 = new QMenu(this);
    // A pop-up is a window of its own, so its items' hints never reach the status bar by
    // themselves; they show there like every other menu item's.
    connect(PopupMenu1, &QMenu::hovered, this, guarded([this](QAction* item) { ShowAppHint(item->statusTip()); }));
    addItem(PopupMenu1, mnuPrintBlankPool, QStringLiteral("Blank Pool"),
            QStringLiteral("Print Blank|Print Blank Pool for Distribution"), &TMainForm::mnuPrintBlankClick);
    mnuPrintBlankPool->setIcon(style()->standardIcon(QStyle::SP_FileIcon));
    addItem(PopupMenu1, mnuPrintPlayerPool, QStringLiteral("Player's Picks"),
            QStringLiteral("Print Picks|Print Current Player's Picks"), &TMainForm::mnuPlayerPrintPicksClick);
    mnuPrintPlayerPool->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));

    auto* print = new DropDownButton(barToolbar);
    print->setText(QStringLiteral("Print..."));
    print->setIcon(printerIcon());
    print->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    print->setAutoRaise(true);
    print->setIconSize(QSize(20, 20));
    print->setFixedHeight(26);
    print->onRelease = [this](const QPoint& pos) { btnPrintMouseUp(pos); };
    btnPrint = print;
    barToolbar->addWidget(print);

    addButton(btnHelp, QStringLiteral("&Help"), QStringLiteral("Frequently Asked Questions"), &TMainForm::mnuHlpFAQClick,
              QStyle::SP_DialogHelpButton);
    btnHelp->setCursor(Qt::PointingHandCursor);
    // Its caption shows the access key of the Help menu, but Alt+H opens the menu every time:
    // two owners of one key would take turns.
    const auto dropAccessKey = [this] { btnHelp->setShortcut(QKeySequence()); };
    dropAccessKey();
    connect(btnHelp->defaultAction(), &QAction::changed, btnHelp, dropAccessKey);
    addButton(btnExit, QStringLiteral("Exit"), QStringLiteral("Exit|Quit the Hoopfall"), nullptr,
              QStyle::SP_DialogCloseButton);
    connect(btnExit->defaultAction(), &QAction::triggered, this, guarded([this] { close(); }));
}

void TMainForm::createStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(false);
    bar->setFixedHeight(19);
    pnlCount = new QLabel(bar);
    pnlCount->setObjectName(QStringLiteral("pnlCount"));
    pnlCount->setFixedWidth(CountPanelWidth);
    pnlCount->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnlHint = new QLabel(bar);
    pnlHint->setObjectName(QStringLiteral("pnlHint"));
    pnlHint->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnlHint->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    pnlHint->setFont(font);
    pbProgress = new QProgressBar(bar);
    pbProgress->setObjectName(QStringLiteral("pbProgress"));
    pbProgress->setRange(0, 100);
    pbProgress->setValue(0);
    pbProgress->setFixedWidth(168);
    pbProgress->setTextVisible(false);
    bar->addPermanentWidget(pnlCount);
    bar->addPermanentWidget(pnlHint, 1);
    bar->addPermanentWidget(pbProgress);
}

bool TMainForm::event(QEvent* event)
{
    // Hints of menu items and tool buttons go to the hint panel, not to a status message.
    if (event->type() == QEvent::StatusTip) {
        ShowAppHint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    // A text box claims the keys it edits with before any shortcut sees them: Ctrl+V would paste
    // instead of showing the standings. In this window the menu's shortcuts come first; left
    // unclaimed, the key goes on to the menu item.
    if (event->type() == QEvent::ShortcutOverride && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        for (QAction* item : m_shortcutItems)
            if (item->isEnabled() && item->shortcut() == pressed) {
                event->ignore();
                return true;
            }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::SetStatusText(const std::string& text) { SetStatusText(fromAnsi(text)); }

void TMainForm::SetStatusText(const QString& text)
{
    pnlHint->setText(text);
    pnlHint->repaint();  // visible at once, also inside a loop that does not return to the event loop
}

void TMainForm::SetProgress(int percent)
{
    pbProgress->setValue(percent);
    pbProgress->repaint();
}

void TMainForm::setCountText(const std::string& text)
{
    // The panel keeps its width until a count needs more: a framed label keeps half an "x"
    // before its text.
    const QString shown = fromAnsi(text);
    const QFontMetrics metrics = pnlCount->fontMetrics();
    const int needed = metrics.horizontalAdvance(shown) + metrics.horizontalAdvance(QLatin1Char('x')) / 2 +
                       2 * pnlCount->frameWidth();
    pnlCount->setFixedWidth(std::max(CountPanelWidth, needed));
    pnlCount->setText(shown);
    pnlCount->repaint();
}

void TMainForm::ShowAppHint(const QString& hint) { SetStatusText(hint); }

QList<QMdiSubWindow*> TMainForm::childWindows() const { return m_mdiArea->subWindowList(QMdiArea::CreationOrder); }

int TMainForm::FindSheetWindow(int tag)
{
    const auto subs = childWindows();
    for (int i = static_cast<int>(subs.size()) - 1; i >= 0; --i) {
        const auto* child = qobject_cast<TChildForm*>(subs[i]->widget());
        if (child && child->tagIsEntryId() && child->tag() == tag) return i;
    }
    return -1;
}

std::optional<std::vector<int>> TMainForm::openSheetTags()
{
    std::vector<int> tags;
    for (const QMdiSubWindow* sub : childWindows()) {
        const auto* child = qobject_cast<TChildForm*>(sub->widget());
        if (child && child->tagIsEntryId()) tags.push_back(child->tag());
    }
    return tags;
}

TChildForm* TMainForm::activeChild() const
{
    QMdiSubWindow* sub = m_mdiArea->activeSubWindow();
    return sub ? qobject_cast<TChildForm*>(sub->widget()) : nullptr;
}

template <class Form> Form* TMainForm::openChild() const
{
    // A closed window is hidden at once and deleted later: it no longer counts as open. A
    // minimised one hides its contents but not its frame.
    for (QMdiSubWindow* sub : m_mdiArea->subWindowList())
        if (auto* form = qobject_cast<Form*>(sub->widget()); form && !sub->isHidden()) return form;
    return nullptr;
}

TfrmStandings* TMainForm::standingsForm() const { return openChild<TfrmStandings>(); }

void TMainForm::OpenBracketSheet(int id)
{
    const DrawingSuspended suspended(this);
    if (id != 0) {
        if (const int index = FindSheetWindow(id); index >= 0) {
            bringForward(childWindows()[index]);
            return;
        }
    }
    showSheet(new TmdiBrackets(*m_session, *this, id));
}

void TMainForm::openWhatIf()
{
    const DrawingSuspended suspended(this);
    // One at a time, as one sheet per stored entry.
    if (TmdiBrackets* open = whatIfSheet()) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(open->parentWidget())) bringForward(sub);
        return;
    }
    auto* sheet = new TmdiBrackets(*m_session, *this, TmdiBrackets::WhatIfMode{});
    connect(sheet, &TmdiBrackets::whatIfChanged, this, guarded(this, &TMainForm::whatIfChanged));
    showSheet(sheet);
}

void TMainForm::bringForward(QMdiSubWindow* sub)
{
    if (QMdiSubWindow* active = m_mdiArea->activeSubWindow(); active && active != sub) active->showMinimized();
    QApplication::processEvents();
    sub->showMaximized();
    m_mdiArea->setActiveSubWindow(sub);
    if (auto* child = qobject_cast<TChildForm*>(sub->widget())) child->restoreFocus();
}

void TMainForm::showSheet(TmdiBrackets* sheet)
{
    QMdiSubWindow* sub = m_mdiArea->addSubWindow(sheet);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->showMaximized();
    m_mdiArea->setActiveSubWindow(sub);
    sheet->focusFirst();
}

void TMainForm::UpdateMenuItems()
{
    const bool any = !m_mdiArea->subWindowList().isEmpty();
    for (QAction* item : {WindowCascadeItem, WindowTileItem, WindowArrangeItem, WindowMinimizeItem}) item->setEnabled(any);
    const auto* active = qobject_cast<TmdiBrackets*>(activeChild());
    const bool sheet = any && active != nullptr;
    for (QAction* item : {mnuPlayerPrintPicks, mnuPrintPlayerPool, mnuClose}) item->setEnabled(sheet);
    // A what-if is never stored.
    const bool storable = sheet && !active->isWhatIf();
    mnuSavePicks->setEnabled(storable);
    btnSaveAction->setVisible(storable);
}

void TMainForm::ShowStandings(bool bringToFront)
{
    const DrawingSuspended suspended(this);
    if (TfrmStandings* standings = standingsForm()) {
        standings->RefreshStandings();
        if (bringToFront) {
            QMdiSubWindow* sub = qobject_cast<QMdiSubWindow*>(standings->parentWidget());
            if (sub) {
                sub->showMaximized();
                m_mdiArea->setActiveSubWindow(sub);
            }
        }
        return;
    }
    auto* standings = new TfrmStandings(*m_session, *this);
    QMdiSubWindow* sub = m_mdiArea->addSubWindow(standings);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->showMaximized();
    m_mdiArea->setActiveSubWindow(sub);
}

QString TMainForm::dataFolder() const { return QString::fromStdString(m_session->dataDir()); }

bool TMainForm::isStandingsOpen() { return standingsForm() != nullptr; }

TfrmOutlook* TMainForm::outlookForm() const { return openChild<TfrmOutlook>(); }

TmdiBrackets* TMainForm::whatIfSheet() const
{
    // Closing, the sheet tells the outlook before Qt hides it: so it says itself that it is closed.
    for (QMdiSubWindow* sub : m_mdiArea->subWindowList())
        if (auto* sheet = qobject_cast<TmdiBrackets*>(sub->widget()); sheet && sheet->isWhatIf() && !sheet->isClosed())
            return sheet;
    return nullptr;
}

std::optional<IFrame::WhatIf> TMainForm::whatIf()
{
    if (const TmdiBrackets* sheet = whatIfSheet()) return sheet->whatIf();
    return std::nullopt;
}

void TMainForm::whatIfChanged()
{
    // The outlook reads the what-if when it starts computing, always after this returns.
    if (TfrmOutlook* outlook = outlookForm()) outlook->scheduleRefresh();
}

void TMainForm::listChanged()
{
    // The What If sheet follows the real results.
    if (TmdiBrackets* sheet = whatIfSheet()) {
        const int index = m_session->players().IndexOfId(ResultsId);
        sheet->takeResults(index >= 0 ? m_session->players()[index].Picks : PickArray{});
    }
    if (TfrmOutlook* outlook = outlookForm()) outlook->scheduleRefresh();
}

void TMainForm::mnuOutlookClick()
{
    const DrawingSuspended suspended(this);
    QMdiSubWindow* sub = nullptr;
    if (TfrmOutlook* outlook = outlookForm()) {
        sub = qobject_cast<QMdiSubWindow*>(outlook->parentWidget());
    } else {
        sub = m_mdiArea->addSubWindow(new TfrmOutlook(*m_session, *this));
        sub->setAttribute(Qt::WA_DeleteOnClose);
    }
    if (!sub) return;
    sub->showMaximized();
    m_mdiArea->setActiveSubWindow(sub);
}

QPrinter& TMainForm::printer()
{
    if (!m_printer) m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

void TMainForm::showInformation(const std::string& text) { ::showInformation(fromAnsi(text)); }

void TMainForm::showError(const std::string& text) { ::showError(QString::fromLocal8Bit(text.c_str())); }

void TMainForm::beep() { prompts().beep(); }

bool TMainForm::closeSheets()
{
    // Each sheet asks in turn; Cancel on one keeps the program running and the rest are not asked.
    for (QMdiSubWindow* sub : childWindows()) {
        auto* sheet = qobject_cast<TmdiBrackets*>(sub->widget());
        if (!sheet) continue;
        if (m_discardSheets) sheet->discardChanges();
        if (!sub->close()) return false;
    }
    return true;
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    if (!closeSheets()) {
        event->ignore();
        return;
    }
    // Nothing is lost when the write fails: every saved change is in the journal, which the next
    // start folds in. (The only unsaved state is the standings order, which the next sort restores.)
    if (const std::string failure = m_session->closePool(); !failure.empty())
        ::showError(QString::fromLocal8Bit(failure));
    event->accept();
}

void TMainForm::closeWithoutQuestions()
{
    // As Exit with "No" to saving open sheets: every saved sheet is on disk already. Open dialogs
    // and message boxes are dismissed first; the window closes once their loops have unwound.
    m_discardSheets = true;
    for (int guard = 0; guard < 32; ++guard) {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) break;
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
        QCoreApplication::processEvents();
    }
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

// ---- Commands -------------------------------------------------------------------------------

void TMainForm::mnuOptionsClick()
{
    TfrmOptions dialog(*m_session, this);
    // New round values change the outlook's totals.
    if (dialog.exec() == QDialog::Accepted) listChanged();
}

QString TMainForm::chooseImportFile(const QString& title)
{
    OpenFileRequest request;
    request.title = title;
    request.directory = dataFolder();
    request.filters = {QStringLiteral("Comma Separated (*.csv)"), QStringLiteral("Tab Separated (*.txt)"),
                       QStringLiteral("All Files (*)")};
    return prompts().openFile(request) ? request.fileName : QString();
}

void TMainForm::mnuImportFieldClick()
{
    const QString path = chooseImportFile(QStringLiteral("Import Field"));
    // New names change what the outlook shows, as the Options dialog's OK does.
    if (!path.isEmpty() && importFieldInteractive(*m_session, *this, path) == TransferOutcome::Done) listChanged();
}

// The standings, the outlook and the count panel follow the stored entries by themselves.
void TMainForm::mnuImportPicksClick()
{
    const QString path = chooseImportFile(QStringLiteral("Import Picks"));
    if (!path.isEmpty()) importPicksInteractive(*m_session, *this, path);
}

void TMainForm::mnuExportPicksClick()
{
    SaveFileRequest request;
    request.title = QStringLiteral("Export Picks");
    request.directory = dataFolder();
    request.fileName = QStringLiteral("Picks");
    request.defaultSuffix = QStringLiteral("csv");
    request.filters = {QStringLiteral("Comma Separated (*.csv)"), QStringLiteral("HTML (*.htm)")};
    request.suffixFollowsType = true;
    if (prompts().saveFile(request)) exportPicksInteractive(*m_session, *this, request.fileName);
}

void TMainForm::mnuPrintBlankClick()
{
    try {
        PrintPool(*m_session, *this, nullptr);
    } catch (...) {
        ::showError(QStringLiteral("Error printing blank pool."));
    }
}

void TMainForm::mnuPrintRulesClick() { printRules(*m_session, *this); }

void TMainForm::mnuEnterPicksClick() { OpenBracketSheet(0); }

void TMainForm::mnuOpenPicksClick()
{
    TfrmOpen dialog(*m_session, *this, this);
    if (dialog.exec() != QDialog::Accepted) return;
    for (std::int32_t id : dialog.SelectedPlayers()) OpenBracketSheet(id);
}

void TMainForm::mnuPlayerPrintPicksClick()
{
    if (auto* sheet = qobject_cast<TmdiBrackets*>(activeChild()))
        QCoreApplication::postEvent(sheet, new QEvent(PrintCommand));
}

void TMainForm::mnuSavePicksClick()
{
    if (auto* sheet = qobject_cast<TmdiBrackets*>(activeChild()))
        QCoreApplication::postEvent(sheet, new QEvent(SaveCommand));
}

void TMainForm::mnuCloseClick()
{
    if (QMdiSubWindow* sub = m_mdiArea->activeSubWindow()) sub->close();
}

void TMainForm::mnuEnterResultsClick() { OpenBracketSheet(ResultsId); }

void TMainForm::mnuWhatIfClick() { openWhatIf(); }

void TMainForm::mnuViewStdClick()
{
    BusyCursor busy;
    m_session->players().UpdateStandings(true);
}

void TMainForm::mnuResetClick()
{
    beep();
    if (!confirmDestructive(QStringLiteral(
            "You are about to delete all current pool information. THIS CAN NOT BE UNDONE. Continue?")))
        return;
    BusyCursor busy;
    // One journal record and one pass, however large the pool.
    m_session->players().deleteAllPlayers();
}

void TMainForm::mnuResetResultsClick()
{
    beep();
    if (!confirmDestructive(QStringLiteral(
            "You are about to delete all result information. THIS CAN NOT BE UNDONE. Continue?")))
        return;
    BusyCursor busy;
    m_session->players().DeletePlayer(ResultsId);
}

void TMainForm::mnuBackupClick() { runBackup(*m_session, *this); }

void TMainForm::mnuOpenDataFolderClick()
{
    if (!openUrl(QUrl::fromLocalFile(dataFolder())))
        ::showError(QStringLiteral("The data folder %1 could not be opened.").arg(QDir::toNativeSeparators(dataFolder())));
}

void TMainForm::mnuHlpFAQClick() { openUrl(helpPageFor(dataFolder())); }

void TMainForm::HelpAboutItemClick()
{
    TfrmSplash about(this);
    about.showPoolFolder(dataFolder());
    about.exec();
}

void TMainForm::btnPrintMouseUp(const QPoint& globalPos) { PopupMenu1->popup(globalPos); }
