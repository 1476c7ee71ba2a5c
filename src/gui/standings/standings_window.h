#pragma once
#include <functional>
#include <string>

#include "gui/widgets/child_window.h"
#include "gui/widgets/prompts.h"

class QAction;
class QLabel;
class QMenu;
class QTableView;
class IFrame;
class TPoolSession;
class TStandingsModel;

// The one standings window: the sorted participant list in a grid, with a pop-up menu to change
// the order, copy the grid to the clipboard and export it to a file. Its controls and menu items
// carry their names as object names.
class TfrmStandings final : public TChildForm {
    Q_OBJECT
public:
    TfrmStandings(TPoolSession& session, IFrame& frame, QWidget* parent = nullptr);
    ~TfrmStandings() override;

    // Sorts the shared list and refills the grid from it.
    void RefreshStandings();
private:
    void createControls();
    void createPopUp();
    void FormCreate();
    QAction* addMenuItem(QMenu* menu, const char* name, const QString& caption, const QString& hint);

    // Handlers of the pop-up menu.
    void mnuSortTotalClick(QAction* item);  // serves the four "Sort By" items
    void mnuSortMethodClick();
    void mnuCopyClick();
    void mnuExportClick();

    // Empty file name: the clipboard.
    void ExportText(const QString& fileName);
    void ExportHtml(const QString& fileName);
    void writeExport(const QString& fileName, const std::function<void(const std::string&)>& write);

    TPoolSession& m_session;
    IFrame& m_main;
    TStandingsModel* m_model = nullptr;

    QLabel* pnlStatus = nullptr;
    QTableView* grdStandings = nullptr;
    QMenu* mnuPopUp = nullptr;
    QAction* mnuSortMethod = nullptr;
    QMenu* mnuSortBy = nullptr;
    QAction* mnuSortTotal = nullptr;
    QAction* mnuSortPotential = nullptr;
    QAction* mnuSortName = nullptr;
    QAction* mnuSortChamp = nullptr;
    QAction* mnuCopy = nullptr;
    QAction* mnuExport = nullptr;
    // The export dialog's settings; its file name and type carry over from one export to the next
    // while the window stays open.
    SaveFileRequest dlgExport;
};
