#include "gui/main/main_window.h"

#include <algorithm>

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include "core/transfer/entry_page.h"
#include "gui/main/backup.h"
#include "gui/main/help_page.h"
#include "gui/main/open_url.h"
#include "gui/main/splash.h"
#include "gui/options/options_dialog.h"
#include "gui/outlook/outlook_window.h"
#include "gui/players/player_manager.h"
#include "gui/printing/print_commands.h"
#include "gui/publish/publish_command.h"
#include "gui/settings/dialog_folder.h"
#include "gui/sheet/bracket_sheet.h"
#include "gui/standings/standings_window.h"
#include "gui/transfer/transfer_commands.h"
#include "gui/widgets/ansi_text.h"
#include "gui/widgets/busy_cursor.h"
#include "gui/widgets/child_window.h"
#include "gui/widgets/drawing_suspended.h"
#include "gui/widgets/guarded.h"
#include "gui/widgets/prompts.h"

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
    p.drawRect(QRectF(5.5, 1.5, 9, 6));  // the paper going in
    p.setBrush(QColor(150, 150, 155));
    p.drawRoundedRect(QRectF(1.5, 7.5, 17, 8), 2, 2);  // the body
    p.setBrush(Qt::white);
    p.drawRect(QRectF(5.5, 13.5, 9, 5));  // the printed sheet
    p.setPen(QColor(40, 160, 40));
    p.drawPoint(QPointF(16, 10));  // the power light
    return QIcon(picture);
}

// A tool button whose release opens the print pop-up at the mouse, as the drop-down does. A
// press without the mouse (the keyboard's Space, a screen reader's press action) opens it
// below the button.
class DropDownButton : public QToolButton {
public:
    explicit DropDownButton(QWidget* parent) : QToolButton(parent)
    {
        connect(this, &QToolButton::clicked, this, [this] {
            if (onRelease && !m_mouseRelease) onRelease(mapToGlobal(rect().bottomLeft()));
        });
    }
    std::function<void(const QPoint&)> onRelease;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        m_mouseRelease = true;  // the click this release gives is handled below, at the mouse
        QToolButton::mouseReleaseEvent(event);
        m_mouseRelease = false;
        if (onRelease && rect().contains(event->position().toPoint()))
            onRelease(mapToGlobal(event->position().toPoint()));
    }

private:
    bool m_mouseRelease = false;
};
}  // namespace

MainWindow::MainWindow(SettingsBackend& settings, const QString& dataDir, QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("Corvanta: NCAA Tournament Pool Manager"));
    setAcceptDrops(true);
    resize(772, 497);
    m_session = std::make_unique<PoolSession>(*this, QDir::toNativeSeparators(dataDir).toStdString(), settings);

    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setBackground(palette().brush(QPalette::Dark));
    setCentralWidget(m_mdiArea);
    createMenus();
    createToolBar();
    createStatusBar();
    nameControls();
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, guarded([this](QMdiSubWindow* sub) {
                updateMenuItems();
                // After the moves Qt makes while it activates the window.
                if (auto* child = sub ? qobject_cast<ChildWindow*>(sub->widget()) : nullptr)
                    QMetaObject::invokeMethod(child, &ChildWindow::restoreFocus, Qt::QueuedConnection);
            }));
    updateMenuItems();
    // The menu's shortcuts win over a text box's own keys (see eventFilter).
    qApp->installEventFilter(this);
}

MainWindow::~MainWindow()
{
    // No window change may reach updateMenuItems while the children go away.
    disconnect(m_mdiArea, nullptr, this, nullptr);
    for (QMdiSubWindow* sub : m_mdiArea->subWindowList()) delete sub;
    m_session.reset();
}

QAction* MainWindow::addItem(QMenu* menu, QAction*& item, const QString& caption, const QString& hint,
                             void (MainWindow::*handler)(), const QKeySequence& shortcut)
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
void MainWindow::nameControls()
{
    const std::pair<QObject*, const char*> names[] = {{m_resetAction, "mnuReset"},
                                                      {m_optionsAction, "mnuOptions"},
                                                      {m_importFieldAction, "mnuImportField"},
                                                      {m_publishAction, "mnuPublish"},
                                                      {m_printBlankAction, "mnuPrintBlank"},
                                                      {m_printRulesAction, "mnuPrintRules"},
                                                      {m_makeEntryPageAction, "mnuMakeEntryPage"},
                                                      {m_backupAction, "mnuBackup"},
                                                      {m_openDataFolderAction, "mnuOpenDataFolder"},
                                                      {m_exitAction, "mnuExit"},
                                                      {m_enterPicksAction, "mnuEnterPicks"},
                                                      {m_openPicksAction, "mnuOpenPicks"},
                                                      {m_importPicksAction, "mnuImportPicks"},
                                                      {m_exportPicksAction, "mnuExportPicks"},
                                                      {m_playerPrintPicksAction, "mnuPlayerPrintPicks"},
                                                      {m_savePicksAction, "mnuSavePicks"},
                                                      {m_closeAction, "mnuClose"},
                                                      {m_enterResultsAction, "mnuEnterResults"},
                                                      {m_standingsAction, "mnuViewStd"},
                                                      {m_outlookAction, "mnuOutlook"},
                                                      {m_whatIfAction, "mnuWhatIf"},
                                                      {m_resetResultsAction, "mnuResetResults"},
                                                      {WindowCascadeItem, "WindowCascadeItem"},
                                                      {WindowTileItem, "WindowTileItem"},
                                                      {WindowArrangeItem, "WindowArrangeItem"},
                                                      {WindowMinimizeItem, "WindowMinimizeItem"},
                                                      {m_helpAction, "mnuHlpFAQ"},
                                                      {HelpAboutItem, "HelpAboutItem"},
                                                      {m_poolMenu, "mnuPool"},
                                                      {m_playerMenu, "mnuPlayer"},
                                                      {m_resultsMenu, "mnuResults"},
                                                      {m_windowMenu, "mnuWindow"},
                                                      {m_helpMenu, "mnuHelp"},
                                                      {m_newPicksButton, "btnNewPicks"},
                                                      {m_saveButton, "btnSave"},
                                                      {m_playerManagerButton, "btnPM"},
                                                      {m_resultsButton, "btnResults"},
                                                      {m_outlookButton, "btnOutlook"},
                                                      {m_standingsButton, "btnStandings"},
                                                      {m_printButton, "btnPrint"},
                                                      {m_helpButton, "btnHelp"},
                                                      {m_exitButton, "btnExit"},
                                                      {m_saveButtonAction, "btnSaveAction"},
                                                      {PopupMenu1, "PopupMenu1"},
                                                      {m_printBlankPoolAction, "mnuPrintBlankPool"},
                                                      {m_printPlayerPoolAction, "mnuPrintPlayerPool"},
                                                      {m_countPanel, "pnlCount"},
                                                      {m_hintPanel, "pnlHint"},
                                                      {m_progressBar, "pbProgress"},
                                                      {m_toolBar, "barToolbar"}};
    for (const auto& [control, name] : names) control->setObjectName(QLatin1String(name));
}

void MainWindow::createMenus()
{
    QMenuBar* bar = menuBar();
    m_poolMenu = bar->addMenu(QStringLiteral("&Pool"));
    addItem(m_poolMenu, m_resetAction, QStringLiteral("&New..."),
            QStringLiteral("Start a new pool, erasing all current player information"), &MainWindow::resetPool);
    m_poolMenu->addSeparator();
    addItem(m_poolMenu, m_optionsAction, QStringLiteral("&Options..."),
            QStringLiteral("Set pool options such as teams, scoring, rules, etc."), &MainWindow::showOptions,
            QKeySequence(Qt::CTRL | Qt::Key_O));
    addItem(m_poolMenu, m_importFieldAction, QStringLiteral("Import &Field..."),
            QStringLiteral("Read the teams and the regions' places in the bracket from a spreadsheet file"),
            &MainWindow::importField);
    addItem(m_poolMenu, m_publishAction, QStringLiteral("&Publish..."),
            QStringLiteral("Write the standings, the outlook, every bracket and a chart as a web site to a folder"),
            &MainWindow::publishSite);
    m_poolMenu->addSeparator();
    addItem(m_poolMenu, m_printBlankAction, QStringLiteral("Print &Blank Pool..."),
            QStringLiteral("Print a blank pool sheet for distribution"), &MainWindow::printBlankSheet);
    addItem(m_poolMenu, m_printRulesAction, QStringLiteral("Print &Rules..."),
            QStringLiteral("Print rules as set in Options"), &MainWindow::printRulesSheet);
    addItem(m_poolMenu, m_makeEntryPageAction, QStringLiteral("Make &Entry Page..."),
            QStringLiteral("Save a web page on which participants pick their winners and save them for Import Picks"),
            &MainWindow::makeEntryPage);
    m_poolMenu->addSeparator();
    addItem(m_poolMenu, m_backupAction, QStringLiteral("B&ackup Data Files"),
            QStringLiteral("Backup all current pool data"), &MainWindow::backUpPool,
            QKeySequence(Qt::CTRL | Qt::Key_B));
    addItem(m_poolMenu, m_openDataFolderAction, QStringLiteral("Open &Data Folder"),
            QStringLiteral("Show the folder that holds this pool's data files and backups"),
            &MainWindow::showDataFolder);
    m_poolMenu->addSeparator();
    addItem(m_poolMenu, m_exitAction, QStringLiteral("E&xit"), QStringLiteral("Exit the application"), nullptr);
    connect(m_exitAction, &QAction::triggered, this, guarded([this] { close(); }));

    m_playerMenu = bar->addMenu(QStringLiteral("P&layer"));
    addItem(m_playerMenu, m_enterPicksAction, QStringLiteral("&New Player"),
            QStringLiteral("Enter picks from pool sheets into the database."), &MainWindow::enterPicks,
            QKeySequence(Qt::CTRL | Qt::Key_N));
    addItem(m_playerMenu, m_openPicksAction, QStringLiteral("&Player Manager..."),
            QStringLiteral("List of players already entered"), &MainWindow::openPlayerManager,
            QKeySequence(Qt::CTRL | Qt::Key_P));
    addItem(m_playerMenu, m_importPicksAction, QStringLiteral("&Import Picks..."),
            QStringLiteral("Add participants from a spreadsheet file of their picks"), &MainWindow::importPicks);
    addItem(m_playerMenu, m_exportPicksAction, QStringLiteral("E&xport Picks..."),
            QStringLiteral("Save every participant's picks as a spreadsheet file or a web page"),
            &MainWindow::exportPicks);
    m_playerMenu->addSeparator();
    addItem(m_playerMenu, m_playerPrintPicksAction, QStringLiteral("P&rint Picks"), QString(),
            &MainWindow::printSheetPicks);
    addItem(m_playerMenu, m_savePicksAction, QStringLiteral("&Save Picks"), QStringLiteral("Save currently open picks"),
            &MainWindow::saveActiveSheet, QKeySequence(Qt::CTRL | Qt::Key_S));
    addItem(m_playerMenu, m_closeAction, QStringLiteral("&Close"), QStringLiteral("Close currently open picks"),
            &MainWindow::closeActiveWindow);

    m_resultsMenu = bar->addMenu(QStringLiteral("&Results"));
    addItem(m_resultsMenu, m_enterResultsAction, QStringLiteral("&Enter Results"),
            QStringLiteral("Enter actual tournament results"), &MainWindow::enterResults);
    addItem(m_resultsMenu, m_standingsAction, QStringLiteral("&View Standings"),
            QStringLiteral("View up to date tournament standings"), &MainWindow::showStandingsWindow,
            QKeySequence(Qt::CTRL | Qt::Key_V));
    addItem(m_resultsMenu, m_outlookAction, QStringLiteral("Pool &Outlook"),
            QStringLiteral("Who can still win: best and worst finish, chances to win and to be paid"),
            &MainWindow::showOutlook, QKeySequence(Qt::CTRL | Qt::Key_U));
    addItem(m_resultsMenu, m_whatIfAction, QStringLiteral("&What If..."),
            QStringLiteral("Choose winners of games not played yet and see the outlook they give"),
            &MainWindow::openWhatIf);
    m_resultsMenu->addSeparator();
    addItem(m_resultsMenu, m_resetResultsAction, QStringLiteral("&Clear Current Results..."),
            QStringLiteral("Reset all currently entered result selections"), &MainWindow::resetResults);

    m_windowMenu = bar->addMenu(QStringLiteral("&Window"));
    m_windowMenu->setObjectName(QStringLiteral("mnuWindow"));
    addItem(m_windowMenu, WindowCascadeItem, QStringLiteral("&Cascade"), QStringLiteral("Arrange windows to overlap"),
            nullptr);
    connect(WindowCascadeItem, &QAction::triggered, m_mdiArea, &QMdiArea::cascadeSubWindows);
    addItem(m_windowMenu, WindowTileItem, QStringLiteral("&Tile"), QStringLiteral("Arrange windows without overlap"),
            nullptr);
    connect(WindowTileItem, &QAction::triggered, m_mdiArea, &QMdiArea::tileSubWindows);
    addItem(m_windowMenu, WindowArrangeItem, QStringLiteral("&Arrange Icons"),
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
    addItem(m_windowMenu, WindowMinimizeItem, QStringLiteral("&Minimize All"), QStringLiteral("Minimize all windows"),
            nullptr);
    connect(WindowMinimizeItem, &QAction::triggered, this, guarded([this] {
                const auto subs = childWindows();
                for (auto it = subs.crbegin(); it != subs.crend(); ++it) (*it)->showMinimized();
            }));
    m_windowListSeparator = m_windowMenu->addSeparator();
    connect(m_windowMenu, &QMenu::aboutToShow, this, guarded(this, &MainWindow::fillWindowMenu));

    m_helpMenu = bar->addMenu(QStringLiteral("&Help"));
    addItem(m_helpMenu, m_helpAction, QStringLiteral("&Frequently Asked Questions..."), QString(),
            &MainWindow::showHelp);
    m_helpMenu->addSeparator();
    addItem(m_helpMenu, HelpAboutItem, QStringLiteral("&About..."), QString(), &MainWindow::showAbout);
}

void MainWindow::fillWindowMenu()
{
    // The list of open child windows stands below the menu's own items.
    const auto actions = m_windowMenu->actions();
    const qsizetype first = actions.indexOf(m_windowListSeparator) + 1;
    for (qsizetype i = first; i < actions.size(); ++i) {
        m_windowMenu->removeAction(actions[i]);
        delete actions[i];
    }
    const auto subs = childWindows();
    m_windowListSeparator->setVisible(!subs.isEmpty());
    int n = 0;
    for (QMdiSubWindow* sub : subs) {
        ++n;
        // A name's "&" would mark an access key and vanish ("Bob & Sue" showed as "Bob _Sue").
        const QString title = QString(sub->windowTitle()).replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* item = m_windowMenu->addAction(QStringLiteral("&%1 %2").arg(n).arg(title));
        item->setCheckable(true);
        item->setChecked(sub == m_mdiArea->activeSubWindow());
        connect(item, &QAction::triggered, this, guarded([this, sub] {
                    if (sub->isMinimized()) sub->showNormal();
                    m_mdiArea->setActiveSubWindow(sub);
                }));
    }
}

QToolButton* MainWindow::addButton(QToolButton*& button, const QString& caption, const QString& hint,
                                   void (MainWindow::*handler)(), QStyle::StandardPixmap icon)
{
    button = new QToolButton(m_toolBar);
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
    m_toolBar->addWidget(button);
    return button;
}

void MainWindow::createToolBar()
{
    m_toolBar = addToolBar(QStringLiteral("Tools"));
    m_toolBar->setObjectName(QStringLiteral("barToolbar"));
    m_toolBar->setMovable(false);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    m_toolBar->setFont(font);

    addButton(m_newPicksButton, QStringLiteral("New Picks"), QStringLiteral("New Player|Enter new player's picks"),
              &MainWindow::enterPicks, QStyle::SP_FileIcon);
    addButton(m_saveButton, QStringLiteral("Save Picks"), QStringLiteral("Save|Save current picks"),
              &MainWindow::saveActiveSheet, QStyle::SP_DialogSaveButton);
    m_saveButtonAction = m_toolBar->actions().last();
    addButton(m_playerManagerButton, QStringLiteral("Player Manager"), QStringLiteral("Player Manager"),
              &MainWindow::openPlayerManager, QStyle::SP_FileDialogDetailedView);
    addButton(m_resultsButton, QStringLiteral("Results"), QStringLiteral("Results|Enter actual results"),
              &MainWindow::enterResults, QStyle::SP_DialogApplyButton);
    addButton(m_standingsButton, QStringLiteral("Standings"), QStringLiteral("Standings|Show standings"),
              &MainWindow::showStandingsWindow, QStyle::SP_FileDialogListView);
    addButton(m_outlookButton, QStringLiteral("Outlook"), QStringLiteral("Outlook|Who can still win"),
              &MainWindow::showOutlook, QStyle::SP_FileDialogInfoView);

    PopupMenu1 = new QMenu(this);
    // A pop-up is a window of its own, so its items' hints never reach the status bar by
    // themselves; they show there like every other menu item's.
    connect(PopupMenu1, &QMenu::hovered, this, guarded([this](QAction* item) { showAppHint(item->statusTip()); }));
    addItem(PopupMenu1, m_printBlankPoolAction, QStringLiteral("Blank Pool"),
            QStringLiteral("Print Blank|Print Blank Pool for Distribution"), &MainWindow::printBlankSheet);
    m_printBlankPoolAction->setIcon(style()->standardIcon(QStyle::SP_FileIcon));
    addItem(PopupMenu1, m_printPlayerPoolAction, QStringLiteral("Player's Picks"),
            QStringLiteral("Print Picks|Print Current Player's Picks"), &MainWindow::printSheetPicks);
    m_printPlayerPoolAction->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));

    auto* print = new DropDownButton(m_toolBar);
    print->setText(QStringLiteral("Print..."));
    print->setIcon(printerIcon());
    print->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    print->setAutoRaise(true);
    print->setIconSize(QSize(20, 20));
    print->setFixedHeight(26);
    print->onRelease = [this](const QPoint& pos) { onPrintButtonReleased(pos); };
    m_printButton = print;
    m_toolBar->addWidget(print);

    addButton(m_helpButton, QStringLiteral("&Help"), QStringLiteral("Frequently Asked Questions"),
              &MainWindow::showHelp, QStyle::SP_DialogHelpButton);
    m_helpButton->setCursor(Qt::PointingHandCursor);
    // Its caption shows the access key of the Help menu, but Alt+H opens the menu every time:
    // two owners of one key would take turns.
    const auto dropAccessKey = [this] { m_helpButton->setShortcut(QKeySequence()); };
    dropAccessKey();
    connect(m_helpButton->defaultAction(), &QAction::changed, m_helpButton, dropAccessKey);
    addButton(m_exitButton, QStringLiteral("Exit"), QStringLiteral("Exit|Quit the Hoopfall"), nullptr,
              QStyle::SP_DialogCloseButton);
    connect(m_exitButton->defaultAction(), &QAction::triggered, this, guarded([this] { close(); }));
}

void MainWindow::createStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(false);
    bar->setFixedHeight(19);
    m_countPanel = new QLabel(bar);
    m_countPanel->setObjectName(QStringLiteral("pnlCount"));
    m_countPanel->setFixedWidth(CountPanelWidth);
    m_countPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_hintPanel = new QLabel(bar);
    m_hintPanel->setObjectName(QStringLiteral("pnlHint"));
    m_hintPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_hintPanel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    m_hintPanel->setFont(font);
    m_progressBar = new QProgressBar(bar);
    m_progressBar->setObjectName(QStringLiteral("pbProgress"));
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);
    m_progressBar->setFixedWidth(168);
    m_progressBar->setTextVisible(false);
    bar->addPermanentWidget(m_countPanel);
    bar->addPermanentWidget(m_hintPanel, 1);
    bar->addPermanentWidget(m_progressBar);
}

bool MainWindow::event(QEvent* event)
{
    // Hints of menu items and tool buttons go to the hint panel, not to a status message.
    if (event->type() == QEvent::StatusTip) {
        showAppHint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
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

void MainWindow::setStatusText(const std::string& text) { setStatusText(fromMessage(text)); }

void MainWindow::setStatusText(const QString& text)
{
    m_hintPanel->setText(text);
    m_hintPanel->repaint();  // visible at once, also inside a loop that does not return to the event loop
}

void MainWindow::setProgress(int percent)
{
    m_progressBar->setValue(percent);
    m_progressBar->repaint();
}

void MainWindow::setCountText(const std::string& text)
{
    // The panel keeps its width until a count needs more: a framed label keeps half an "x"
    // before its text.
    const QString shown = fromMessage(text);
    const QFontMetrics metrics = m_countPanel->fontMetrics();
    const int needed = metrics.horizontalAdvance(shown) + metrics.horizontalAdvance(QLatin1Char('x')) / 2 +
                       2 * m_countPanel->frameWidth();
    m_countPanel->setFixedWidth(std::max(CountPanelWidth, needed));
    m_countPanel->setText(shown);
    m_countPanel->repaint();
}

void MainWindow::showAppHint(const QString& hint) { setStatusText(hint); }

QList<QMdiSubWindow*> MainWindow::childWindows() const { return m_mdiArea->subWindowList(QMdiArea::CreationOrder); }

int MainWindow::findSheetWindow(int tag)
{
    const auto subs = childWindows();
    for (int i = static_cast<int>(subs.size()) - 1; i >= 0; --i) {
        const auto* child = qobject_cast<ChildWindow*>(subs[i]->widget());
        if (child && child->tagIsEntryId() && child->tag() == tag) return i;
    }
    return -1;
}

std::vector<int> MainWindow::openSheetTags()
{
    std::vector<int> tags;
    for (const QMdiSubWindow* sub : childWindows()) {
        const auto* child = qobject_cast<ChildWindow*>(sub->widget());
        if (child && child->tagIsEntryId()) tags.push_back(child->tag());
    }
    return tags;
}

ChildWindow* MainWindow::activeChild() const
{
    QMdiSubWindow* sub = m_mdiArea->activeSubWindow();
    return sub ? qobject_cast<ChildWindow*>(sub->widget()) : nullptr;
}

template <class Form> Form* MainWindow::openChild() const
{
    // A closed window is hidden at once and deleted later: it no longer counts as open. A
    // minimised one hides its contents but not its frame.
    for (QMdiSubWindow* sub : m_mdiArea->subWindowList())
        if (auto* form = qobject_cast<Form*>(sub->widget()); form && !sub->isHidden()) return form;
    return nullptr;
}

StandingsWindow* MainWindow::standingsForm() const { return openChild<StandingsWindow>(); }

void MainWindow::openBracketSheet(int id)
{
    const DrawingSuspended suspended(this);
    if (id != 0) {
        if (const int index = findSheetWindow(id); index >= 0) {
            bringForward(childWindows()[index]);
            return;
        }
    }
    showSheet(new BracketSheet(*m_session, *this, id));
}

void MainWindow::openWhatIf()
{
    const DrawingSuspended suspended(this);
    // One at a time, as one sheet per stored entry.
    if (BracketSheet* open = whatIfSheet()) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(open->parentWidget())) bringForward(sub);
        return;
    }
    showSheet(new BracketSheet(*m_session, *this, BracketSheet::WhatIfMode{}));
}

void MainWindow::bringForward(QMdiSubWindow* sub)
{
    if (QMdiSubWindow* active = m_mdiArea->activeSubWindow(); active && active != sub) active->showMinimized();
    QApplication::processEvents();
    sub->showMaximized();
    m_mdiArea->setActiveSubWindow(sub);
    if (auto* child = qobject_cast<ChildWindow*>(sub->widget())) child->restoreFocus();
}

void MainWindow::showSheet(BracketSheet* sheet)
{
    QMdiSubWindow* sub = m_mdiArea->addSubWindow(sheet);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->showMaximized();
    m_mdiArea->setActiveSubWindow(sub);
    sheet->focusFirst();
}

void MainWindow::updateMenuItems()
{
    const bool any = !m_mdiArea->subWindowList().isEmpty();
    for (QAction* item : {WindowCascadeItem, WindowTileItem, WindowArrangeItem, WindowMinimizeItem})
        item->setEnabled(any);
    const auto* active = qobject_cast<BracketSheet*>(activeChild());
    const bool sheet = any && active != nullptr;
    for (QAction* item : {m_playerPrintPicksAction, m_printPlayerPoolAction, m_closeAction}) item->setEnabled(sheet);
    // A what-if is never stored.
    const bool storable = sheet && !active->isWhatIf();
    m_savePicksAction->setEnabled(storable);
    m_saveButtonAction->setVisible(storable);
}

void MainWindow::showStandings(bool bringToFront)
{
    if (StandingsWindow* standings = standingsForm()) {
        const DrawingSuspended suspended(this);
        standings->refreshStandings();
    }
    openStandings(bringToFront);
}

void MainWindow::openStandings(bool bringToFront)
{
    const DrawingSuspended suspended(this);
    if (StandingsWindow* standings = standingsForm()) {
        if (bringToFront) {
            QMdiSubWindow* sub = qobject_cast<QMdiSubWindow*>(standings->parentWidget());
            if (sub) {
                sub->showMaximized();
                m_mdiArea->setActiveSubWindow(sub);
            }
        }
        return;
    }
    auto* standings = new StandingsWindow(*m_session, *this);
    QMdiSubWindow* sub = m_mdiArea->addSubWindow(standings);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->showMaximized();
    m_mdiArea->setActiveSubWindow(sub);
}

QString MainWindow::dataFolder() const { return QString::fromStdString(m_session->dataDir()); }

OutlookWindow* MainWindow::outlookForm() const { return openChild<OutlookWindow>(); }

BracketSheet* MainWindow::whatIfSheet() const
{
    // Closing, the sheet tells the outlook before Qt hides it: so it says itself that it is closed.
    for (QMdiSubWindow* sub : m_mdiArea->subWindowList())
        if (auto* sheet = qobject_cast<BracketSheet*>(sub->widget()); sheet && sheet->isWhatIf() && !sheet->isClosed())
            return sheet;
    return nullptr;
}

std::optional<Frame::WhatIf> MainWindow::whatIf()
{
    if (const BracketSheet* sheet = whatIfSheet()) return sheet->whatIf();
    return std::nullopt;
}

void MainWindow::showOutlook()
{
    const DrawingSuspended suspended(this);
    QMdiSubWindow* sub = nullptr;
    if (OutlookWindow* outlook = outlookForm()) {
        sub = qobject_cast<QMdiSubWindow*>(outlook->parentWidget());
    } else {
        sub = m_mdiArea->addSubWindow(new OutlookWindow(*m_session, *this));
        sub->setAttribute(Qt::WA_DeleteOnClose);
    }
    if (!sub) return;
    sub->showMaximized();
    m_mdiArea->setActiveSubWindow(sub);
}

QPrinter& MainWindow::printer()
{
    if (!m_printer) m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

void MainWindow::showInformation(const std::string& text) { ::showInformation(fromMessage(text)); }

void MainWindow::showError(const std::string& text) { ::showError(fromMessage(text)); }

void MainWindow::beep() { prompts().beep(); }

bool MainWindow::closeSheets()
{
    // Each sheet asks in turn; Cancel on one keeps the program running and the rest are not asked.
    for (QMdiSubWindow* sub : childWindows()) {
        auto* sheet = qobject_cast<BracketSheet*>(sub->widget());
        if (!sheet) continue;
        if (m_discardSheets) sheet->discardChanges();
        if (!sub->close()) return false;
    }
    return true;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!closeSheets()) {
        event->ignore();
        return;
    }
    // Nothing is lost when the write fails: every saved change is in the journal, which the next
    // start folds in. (The only unsaved state is the standings order, which the next sort restores.)
    try {
        m_session->closePool();
    } catch (const std::exception& error) {
        reportError(error);
    }
    event->accept();
}

void MainWindow::showAtStart()
{
    // "Maximized" is a request to the window manager; without one the window kept its first size.
    // Its own size is the screen's, so it fills the screen either way.
    if (const QScreen* screen = this->screen()) setGeometry(screen->availableGeometry());
    showMaximized();
}

void MainWindow::closeWithoutQuestions()
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

void MainWindow::showOptions()
{
    OptionsDialog dialog(*m_session, this);
    dialog.exec();
}

QString MainWindow::chooseImportFile(const QString& title)
{
    OpenFileRequest request;
    request.title = title;
    request.filters = {QStringLiteral("Comma Separated (*.csv)"), QStringLiteral("Tab Separated (*.txt)"),
                       QStringLiteral("All Files (*)")};
    return chooseFileToOpen(m_session->settings(), request) ? request.fileName : QString();
}

void MainWindow::importField()
{
    const QString path = chooseImportFile(QStringLiteral("Import Field"));
    if (!path.isEmpty()) importFieldInteractive(*m_session, *this, path);
}

// The standings, the outlook and the count panel follow the stored entries by themselves.
void MainWindow::importPicks()
{
    OpenFileRequest request;
    request.title = QStringLiteral("Import Picks");
    request.filters = {QStringLiteral("Comma Separated (*.csv)"), QStringLiteral("Tab Separated (*.txt)"),
                       QStringLiteral("All Files (*)")};
    // The entry pages come back one file per participant: all of them in one go.
    request.several = true;
    if (!chooseFileToOpen(m_session->settings(), request)) return;
    const QStringList paths = request.fileNames.isEmpty() ? QStringList{request.fileName} : request.fileNames;
    importPicksInteractive(*m_session, *this, paths);
}

namespace {
// The local files a drag carries; empty when it carries anything else.
QStringList droppedFiles(const QMimeData* data)
{
    QStringList paths;
    if (!data || !data->hasUrls()) return paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) return {};
        paths << url.toLocalFile();
    }
    return paths;
}
}  // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedFiles(event->mimeData()).isEmpty() && !QApplication::activeModalWidget()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const QStringList paths = droppedFiles(event->mimeData());
    if (paths.isEmpty() || QApplication::activeModalWidget()) return;
    event->acceptProposedAction();
    // After the drop has ended, so the program that dragged is not held while the report is open.
    QMetaObject::invokeMethod(this, guarded([this, paths] { importPicksInteractive(*m_session, *this, paths); }),
                              Qt::QueuedConnection);
}

void MainWindow::makeEntryPage()
{
    SaveFileRequest request;
    request.title = QStringLiteral("Make Entry Page");
    request.fileName = QDir(dialogStartFolder(m_session->settings())).filePath(QLatin1String(EntryPageDefaultName));
    request.defaultSuffix = QStringLiteral("htm");
    request.filters = {QStringLiteral("Web Page (*.htm *.html)")};
    if (chooseFileToSave(m_session->settings(), request)) makeEntryPageInteractive(*m_session, *this, request.fileName);
}

void MainWindow::exportPicks()
{
    SaveFileRequest request;
    request.title = QStringLiteral("Export Picks");
    request.fileName = QStringLiteral("Picks");
    request.defaultSuffix = QStringLiteral("csv");
    request.filters = {QStringLiteral("Comma Separated (*.csv)"), QStringLiteral("HTML (*.htm)")};
    request.suffixFollowsType = true;
    if (chooseFileToSave(m_session->settings(), request)) exportPicksInteractive(*m_session, *this, request.fileName);
}

void MainWindow::publishSite() { publishInteractive(*m_session, *this); }

void MainWindow::printBlankSheet()
{
    try {
        printPool(*m_session, *this, nullptr);
    } catch (...) {
        ::showError(QStringLiteral("Error printing blank pool."));
    }
}

void MainWindow::printRulesSheet() { printRules(*m_session, *this); }

void MainWindow::enterPicks() { openBracketSheet(0); }

void MainWindow::openPlayerManager()
{
    PlayerManager dialog(*m_session, *this, this);
    if (dialog.exec() != QDialog::Accepted) return;
    for (std::int32_t id : dialog.selectedPlayers()) openBracketSheet(id);
}

void MainWindow::printSheetPicks()
{
    if (auto* sheet = qobject_cast<BracketSheet*>(activeChild()))
        QCoreApplication::postEvent(sheet, new QEvent(PrintCommand));
}

void MainWindow::saveActiveSheet()
{
    if (auto* sheet = qobject_cast<BracketSheet*>(activeChild()))
        QCoreApplication::postEvent(sheet, new QEvent(SaveCommand));
}

void MainWindow::closeActiveWindow()
{
    if (QMdiSubWindow* sub = m_mdiArea->activeSubWindow()) sub->close();
}

void MainWindow::enterResults() { openBracketSheet(ResultsId); }

void MainWindow::showStandingsWindow()
{
    BusyCursor busy;
    // An open window refreshed itself when the pass told it.
    if (m_session->players().updateStandings()) openStandings(true);
}

void MainWindow::resetPool()
{
    beep();
    if (!confirmDestructive(
            QStringLiteral("You are about to delete all current pool information. THIS CAN NOT BE UNDONE. Continue?")))
        return;
    BusyCursor busy;
    // One journal record and one pass, however large the pool; the open sheets' entries stay.
    m_session->players().deleteAllPlayers(openSheetTags());
}

void MainWindow::resetResults()
{
    beep();
    if (!confirmDestructive(
            QStringLiteral("You are about to delete all result information. THIS CAN NOT BE UNDONE. Continue?")))
        return;
    BusyCursor busy;
    deletePlayerUnlessOpen(*m_session, *this, ResultsId);
}

void MainWindow::backUpPool() { runBackup(*m_session, *this); }

void MainWindow::showDataFolder()
{
    if (!openUrl(QUrl::fromLocalFile(dataFolder())))
        ::showError(
            QStringLiteral("The data folder %1 could not be opened.").arg(QDir::toNativeSeparators(dataFolder())));
}

void MainWindow::showHelp() { openUrl(helpPageFor(dataFolder())); }

void MainWindow::showAbout()
{
    SplashWindow about(this);
    about.showPoolFolder(dataFolder());
    about.exec();
}

void MainWindow::onPrintButtonReleased(const QPoint& globalPos) { PopupMenu1->popup(globalPos); }
