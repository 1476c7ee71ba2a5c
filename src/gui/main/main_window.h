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
class ISettingsBackend;
class TChildForm;
class TmdiBrackets;
class TfrmOutlook;
class TfrmStandings;

// The frame window: menus, tool bar, status bar and the child windows. It owns the pool session
// for the whole run, is the pool host of the core and the frame of every window.
class TMainForm final : public QMainWindow, public IFrame {
    Q_OBJECT
public:
    // settings: the per-user settings store; dataDir: the folder of the data files (the one
    // chosen at start-up).
    TMainForm(ISettingsBackend& settings, const QString& dataDir, QWidget* parent = nullptr);
    ~TMainForm() override;

    TPoolSession& session() { return *m_session; }

    // Status bar.
    void SetStatusText(const std::string& text) override;
    void SetStatusText(const QString& text) override;
    void SetProgress(int percent) override;
    void setCountText(const std::string& text) override;
    void ShowAppHint(const QString& hint);

    // Child windows.
    int FindSheetWindow(int tag) override;
    std::optional<std::vector<int>> openSheetTags() override;
    QList<QMdiSubWindow*> childWindows() const;  // in creation order, the index FindSheetWindow uses
    TChildForm* activeChild() const;
    void OpenBracketSheet(int id) override;
    void openWhatIf() override;
    void UpdateMenuItems();
    QMdiArea* mdiArea() const { return m_mdiArea; }
    TfrmStandings* standingsForm() const;
    TfrmOutlook* outlookForm() const;
    TmdiBrackets* whatIfSheet() const;
    std::optional<WhatIf> whatIf() override;

    // The printer and copy count that every print starts from (the shared print dialog's state).
    QPrinter& printer() override;
    int& printCopies() override { return m_printCopies; }
    QWidget* frameWidget() override { return this; }

    // Pool host.
    void ShowStandings(bool bringToFront) override;
    bool isStandingsOpen() override;
    void showInformation(const std::string& text) override;
    void showError(const std::string& text) override;
    void beep() override;
    void listChanged() override;

    // Closes the program as Exit with "No" to every open sheet, without a question: the way out
    // on a termination signal or at the end of the desktop session.
    void closeWithoutQuestions();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Command handlers.
    void mnuResetClick();
    void mnuOptionsClick();
    void mnuImportFieldClick();
    void mnuPrintBlankClick();
    void mnuPrintRulesClick();
    void mnuBackupClick();
    void mnuOpenDataFolderClick();
    void mnuEnterPicksClick();
    void mnuOpenPicksClick();
    void mnuImportPicksClick();
    void mnuExportPicksClick();
    void mnuPlayerPrintPicksClick();
    void mnuSavePicksClick();
    void mnuCloseClick();
    void mnuEnterResultsClick();
    void mnuViewStdClick();
    void mnuOutlookClick();
    void mnuWhatIfClick();
    void mnuResetResultsClick();
    void mnuHlpFAQClick();
    void HelpAboutItemClick();
    void btnPrintMouseUp(const QPoint& globalPos);

    // Menu items, named as the program's documents name them.
    QAction* mnuReset = nullptr;
    QAction* mnuOptions = nullptr;
    QAction* mnuImportField = nullptr;
    QAction* mnuPrintBlank = nullptr;
    QAction* mnuPrintRules = nullptr;
    QAction* mnuBackup = nullptr;
    QAction* mnuOpenDataFolder = nullptr;
    QAction* mnuExit = nullptr;
    QAction* mnuEnterPicks = nullptr;
    QAction* mnuOpenPicks = nullptr;
    QAction* mnuImportPicks = nullptr;
    QAction* mnuExportPicks = nullptr;
    QAction* mnuPlayerPrintPicks = nullptr;
    QAction* mnuSavePicks = nullptr;
    QAction* mnuClose = nullptr;
    QAction* mnuEnterResults = nullptr;
    QAction* mnuViewStd = nullptr;
    QAction* mnuOutlook = nullptr;
    QAction* mnuWhatIf = nullptr;
    QAction* mnuResetResults = nullptr;
    QAction* WindowCascadeItem = nullptr;
    QAction* WindowTileItem = nullptr;
    QAction* WindowArrangeItem = nullptr;
    QAction* WindowMinimizeItem = nullptr;
    QAction* mnuHlpFAQ = nullptr;
    QAction* HelpAboutItem = nullptr;
    QMenu* mnuPool = nullptr;
    QMenu* mnuPlayer = nullptr;
    QMenu* mnuResults = nullptr;
    QMenu* mnuWindow = nullptr;
    QMenu* mnuHelp = nullptr;

    // Tool bar and its print pop-up.
    QToolBar* barToolbar = nullptr;
    QToolButton* btnNewPicks = nullptr;
    QToolButton* btnSave = nullptr;
    QToolButton* btnPM = nullptr;
    QToolButton* btnResults = nullptr;
    QToolButton* btnStandings = nullptr;
    QToolButton* btnOutlook = nullptr;
    QToolButton* btnPrint = nullptr;
    QToolButton* btnHelp = nullptr;
    QToolButton* btnExit = nullptr;
    QAction* btnSaveAction = nullptr;  // the tool bar's slot of btnSave, hidden with it
    QMenu* PopupMenu1 = nullptr;
    QAction* mnuPrintBlankPool = nullptr;
    QAction* mnuPrintPlayerPool = nullptr;

    // Status bar.
    QLabel* pnlCount = nullptr;
    QLabel* pnlHint = nullptr;
    QProgressBar* pbProgress = nullptr;

    void createMenus();
    void createToolBar();
    void createStatusBar();
    void fillWindowMenu();
    QAction* addItem(QMenu* menu, QAction*& item, const QString& caption, const QString& hint,
                     void (TMainForm::*handler)(), const QKeySequence& shortcut = {});
    QToolButton* addButton(QToolButton*& button, const QString& caption, const QString& hint,
                           void (TMainForm::*handler)(), QStyle::StandardPixmap icon);
    bool closeSheets();
    template <class Form> Form* openChild() const;  // the open child window of this kind
    void bringForward(QMdiSubWindow* sub);
    void showSheet(TmdiBrackets* sheet);  // a new sheet, maximised and active
    void whatIfChanged();
    QString dataFolder() const;
    // The file a spreadsheet import reads, chosen in the open dialog; empty when cancelled.
    QString chooseImportFile(const QString& title);
    void nameControls();

    std::unique_ptr<TPoolSession> m_session;
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
