#pragma once
#include <QMainWindow>
#include <QPointer>
#include <QStyle>
#include <memory>
#include <vector>

#include "core/session/pool_session.h"
#include "gui/widgets/frame.h"

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPrinter;
class QProgressBar;
class QToolBar;
class QToolButton;
class SettingsBackend;
class ChildWindow;
class BracketSheet;
class OutlookWindow;
class StandingsWindow;

// The frame window: menus, tool bar, status bar and the child windows. It owns the pool session
// for the whole run, is the pool host of the core and the frame of every window. The windows
// listen to the session for the pool's changes; this one relays none. An accepted close closes
// the pool (PICKS.HFD is written then); destroying the window writes nothing.
class MainWindow final : public QMainWindow, public Frame {
    Q_OBJECT
public:
    // settings: the per-user settings store; dataDir: the folder of the data files (the one
    // chosen at start-up).
    MainWindow(SettingsBackend& settings, const QString& dataDir, QWidget* parent = nullptr);
    ~MainWindow() override;

    PoolSession& session() { return *m_session; }

    // Shows the window maximized, filling its screen also where no window manager maximizes it.
    void showAtStart();

    // Status bar.
    void setStatusText(const std::string& text) override;
    void setStatusText(const QString& text) override;
    void setProgress(int percent) override;
    void setCountText(const std::string& text) override;
    void showAppHint(const QString& hint);

    // Child windows.
    int findSheetWindow(int tag) override;
    std::vector<int> openSheetTags() override;
    QList<QMdiSubWindow*> childWindows() const;  // in creation order, the index findSheetWindow uses
    ChildWindow* activeChild() const;
    void openBracketSheet(int id) override;
    void openWhatIf() override;
    void updateMenuItems();
    QMdiArea* mdiArea() const { return m_mdiArea; }
    StandingsWindow* standingsForm() const;
    OutlookWindow* outlookForm() const;
    BracketSheet* whatIfSheet() const;
    std::optional<WhatIf> whatIf() override;

    // The printer and copy count that every print starts from (the shared print dialog's state).
    QPrinter& printer() override;
    int& printCopies() override { return m_printCopies; }
    QWidget* frameWidget() override { return this; }

    // Refreshes the open standings window, or creates it (it fills itself); raises it maximised
    // when asked.
    void showStandings(bool bringToFront);
    bool isStandingsOpen() const { return standingsForm() != nullptr; }

    // Pool host.
    void showInformation(const std::string& text) override;
    void showError(const std::string& text) override;
    void beep() override;

    // Closes the program as Exit with "No" to every open sheet, without a question: the way out
    // on a termination signal or at the end of the desktop session.
    void closeWithoutQuestions();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Picks files dropped on the window are imported as Import Picks imports them.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Command handlers.
    void resetPool();
    void showOptions();
    void importField();
    void publishSite();
    void printBlankSheet();
    void printRulesSheet();
    void makeEntryPage();
    void backUpPool();
    void showDataFolder();
    void enterPicks();
    void openPlayerManager();
    void importPicks();
    void exportPicks();
    void printSheetPicks();
    void saveActiveSheet();
    void closeActiveWindow();
    void enterResults();
    void showStandingsWindow();
    void showOutlook();
    void resetResults();
    void showHelp();
    void showAbout();
    void onPrintButtonReleased(const QPoint& globalPos);

    // Menu items, named as the program's documents name them.
    QAction* m_resetAction = nullptr;
    QAction* m_optionsAction = nullptr;
    QAction* m_importFieldAction = nullptr;
    QAction* m_makeEntryPageAction = nullptr;
    QAction* m_printBlankAction = nullptr;
    QAction* m_printRulesAction = nullptr;
    QAction* m_backupAction = nullptr;
    QAction* m_publishAction = nullptr;
    QAction* m_openDataFolderAction = nullptr;
    QAction* m_exitAction = nullptr;
    QAction* m_enterPicksAction = nullptr;
    QAction* m_openPicksAction = nullptr;
    QAction* m_importPicksAction = nullptr;
    QAction* m_exportPicksAction = nullptr;
    QAction* m_playerPrintPicksAction = nullptr;
    QAction* m_savePicksAction = nullptr;
    QAction* m_closeAction = nullptr;
    QAction* m_enterResultsAction = nullptr;
    QAction* m_standingsAction = nullptr;
    QAction* m_outlookAction = nullptr;
    QAction* m_whatIfAction = nullptr;
    QAction* m_resetResultsAction = nullptr;
    QAction* WindowCascadeItem = nullptr;
    QAction* WindowTileItem = nullptr;
    QAction* WindowArrangeItem = nullptr;
    QAction* WindowMinimizeItem = nullptr;
    QAction* m_helpAction = nullptr;
    QAction* HelpAboutItem = nullptr;
    QMenu* m_poolMenu = nullptr;
    QMenu* m_playerMenu = nullptr;
    QMenu* m_resultsMenu = nullptr;
    QMenu* m_windowMenu = nullptr;
    QMenu* m_helpMenu = nullptr;

    // Tool bar and its print pop-up.
    QToolBar* m_toolBar = nullptr;
    QToolButton* m_newPicksButton = nullptr;
    QToolButton* m_saveButton = nullptr;
    QToolButton* m_playerManagerButton = nullptr;
    QToolButton* m_resultsButton = nullptr;
    QToolButton* m_standingsButton = nullptr;
    QToolButton* m_outlookButton = nullptr;
    QToolButton* m_printButton = nullptr;
    QToolButton* m_helpButton = nullptr;
    QToolButton* m_exitButton = nullptr;
    QAction* m_saveButtonAction = nullptr;  // the tool bar's slot of m_saveButton, hidden with it
    QMenu* PopupMenu1 = nullptr;
    QAction* m_printBlankPoolAction = nullptr;
    QAction* m_printPlayerPoolAction = nullptr;

    // Status bar.
    QLabel* m_countPanel = nullptr;
    QLabel* m_hintPanel = nullptr;
    QProgressBar* m_progressBar = nullptr;

    void createMenus();
    void createToolBar();
    void createStatusBar();
    void fillWindowMenu();
    QAction* addItem(QMenu* menu, QAction*& item, const QString& caption, const QString& hint,
                     void (MainWindow::*handler)(), const QKeySequence& shortcut = {});
    QToolButton* addButton(QToolButton*& button, const QString& caption, const QString& hint,
                           void (MainWindow::*handler)(), QStyle::StandardPixmap icon);
    bool closeSheets();
    template <class Form> Form* openChild() const;  // the open child window of this kind
    void bringForward(QMdiSubWindow* sub);
    void showSheet(BracketSheet* sheet);  // a new sheet, maximised and active
    // Creates the standings window, or raises the open one when asked, without refreshing it.
    void openStandings(bool bringToFront);
    QString dataFolder() const;
    // The file a spreadsheet import reads, chosen in the open dialog; empty when cancelled.
    QString chooseImportFile(const QString& title);
    void nameControls();

    std::unique_ptr<PoolSession> m_session;
    int m_printCopies = 1;
    std::unique_ptr<QPrinter> m_printer;
    QMdiArea* m_mdiArea = nullptr;
    QAction* m_windowListSeparator = nullptr;
    std::vector<QAction*> m_shortcutItems;  // the menu items with a shortcut
    bool m_discardSheets = false;
};

constexpr int PrinterIconSize = 20;

// Splits a hint at its bar: the part before is the tool tip, the part after the status text.
QString hintToolTip(const QString& hint);
QString hintStatus(const QString& hint);
