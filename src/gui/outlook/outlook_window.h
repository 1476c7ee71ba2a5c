#pragma once
#include <QPointer>
#include <atomic>
#include <memory>

#include "core/outlook/outlook.h"
#include "core/outlook/outlook_table.h"
#include "gui/widgets/child_window.h"
#include "gui/widgets/prompts.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableView;
class QThread;
class QTimer;
class IFrame;
class TPoolSession;
class TOutlookModel;
class TPickedModel;
class TScoreModel;

// The tag of the outlook window: no participant or results sheet has it.
constexpr int OutlookTag = -2;

// Pool Outlook: who can still win, each participant's best and worst finish and chances, who
// picked whom, and the standings. The figures are computed on a thread of their own, with
// progress in the main window's bar, and again whenever the entries, the results, the paid places
// or the winners of an open What If sheet change; while that sheet is open they are those of its
// what-if.
class TfrmOutlook final : public TChildForm {
    Q_OBJECT
public:
    TfrmOutlook(TPoolSession& session, IFrame& frame, QWidget* parent = nullptr);
    ~TfrmOutlook() override;

    // Computes the figures again soon; changes that come together start one computation.
    void scheduleRefresh();
    bool isComputing() const { return m_worker != nullptr; }
    const outlook::OutlookTable& table() const;

signals:
    void computed();  // the grid shows new figures (or the computation was cancelled)

private:
    void createControls();
    void createPopUp();
    void startComputing();
    void finishComputing();
    void btnCancelClick();
    void btnWhatIfClick();
    void txtPlacesChange(int places);
    void mnuCopyClick();
    void mnuSaveAsClick();
    void showStatus(const QString& text);

    TPoolSession& m_session;
    IFrame& m_main;
    TOutlookModel* m_model = nullptr;
    TPickedModel* m_picked = nullptr;
    TScoreModel* m_scores = nullptr;

    QLabel* pnlStatus = nullptr;
    QLabel* lblPlaces = nullptr;
    QSpinBox* txtPlaces = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnWhatIf = nullptr;
    QTabWidget* pcOutlook = nullptr;
    QTableView* grdOutlook = nullptr;
    QTableView* grdPicked = nullptr;
    QTableView* grdWhatIfStandings = nullptr;
    QMenu* mnuPopUp = nullptr;
    QAction* mnuCopy = nullptr;
    QAction* mnuSaveAs = nullptr;
    QTimer* m_refreshTimer = nullptr;
    SaveFileRequest dlgSaveAs;

    // The computation under way: its thread, its cancel flag and what it fills in.
    struct Run;
    std::shared_ptr<Run> m_run;
    QThread* m_worker = nullptr;
    bool m_again = false;  // a change came while computing: start over when it ends
};
