#pragma once
#include <functional>
#include <string>

#include "core/pool/pool_events.h"
#include "gui/widgets/child_window.h"
#include "gui/widgets/prompts.h"

class QAction;
class QLabel;
class QMenu;
class QTableView;
class Frame;
class PoolSession;
class StandingsModel;

// The one standings window: the sorted participant list in a grid, with a pop-up menu to change
// the order, copy the grid to the clipboard and export it to a file. Its controls and menu items
// carry their names as object names. While it is open it listens to the pool: stored points
// that wait for scoring make it ask for a scoring pass, and each pass refreshes it.
class StandingsWindow final : public ChildWindow {
    Q_OBJECT
public:
    StandingsWindow(PoolSession& session, Frame& frame, QWidget* parent = nullptr);
    ~StandingsWindow() override;

    // Sorts the shared list and refills the grid from it.
    void refreshStandings();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void onPoolChanged(const PoolEvent& event);
    void createControls();
    void createPopUp();
    void prepareControls();
    QAction* addMenuItem(QMenu* menu, const char* name, const QString& caption, const QString& hint);

    // Handlers of the pop-up menu.
    void sortByTotal(QAction* item);  // serves the four "Sort By" items
    void toggleSortDirection();
    void copyToClipboard();
    void exportStandings();

    // Empty file name: the clipboard.
    void exportText(const QString& fileName);
    void exportHtml(const QString& fileName);
    void writeExport(const QString& fileName, const std::function<void(const std::string&)>& write);

    PoolSession& m_session;
    Frame& m_main;
    StandingsModel* m_model = nullptr;

    QLabel* m_statusPanel = nullptr;
    QTableView* m_standingsGrid = nullptr;
    QMenu* m_popUpMenu = nullptr;
    QAction* m_sortMethodAction = nullptr;
    QMenu* m_sortByMenu = nullptr;
    QAction* m_sortTotalAction = nullptr;
    QAction* m_sortPotentialAction = nullptr;
    QAction* m_sortNameAction = nullptr;
    QAction* m_sortChampionAction = nullptr;
    QAction* m_copyAction = nullptr;
    QAction* m_exportAction = nullptr;
    PoolEvents::Subscription m_poolChanges;  // dropped at closing: a closed window is deleted later
    // The export dialog's settings; its file name and type carry over from one export to the next
    // while the window stays open.
    SaveFileRequest m_exportRequest;
};
