#pragma once
#include <QPointer>
#include <atomic>
#include <memory>

#include "core/outlook/outlook.h"
#include "core/outlook/outlook_table.h"
#include "core/pool/pool_events.h"
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
class Frame;
class PoolSession;
class OutlookModel;
class PickedModel;
class ScoreModel;

// The tag of the outlook window: no participant or results sheet has it.
constexpr int OutlookTag = -2;

using outlook::PageGrid;

// Pool Outlook: who can still win, each participant's best and worst finish and chances, who
// picked whom, and the standings. The figures are computed on a thread of their own, with
// progress in the main window's bar, and again whenever the entries, the results, the paid places
// or the winners of an open What If sheet change; while that sheet is open they are those of its
// what-if. After a Cancel, Compute (or F5) starts again.
class OutlookWindow final : public ChildWindow {
    Q_OBJECT
public:
    OutlookWindow(PoolSession& session, Frame& frame, QWidget* parent = nullptr);
    ~OutlookWindow() override;

    // Computes the figures again soon; changes that come together start one computation.
    void scheduleRefresh();
    bool isComputing() const { return m_worker != nullptr; }
    const outlook::OutlookTable& table() const;

signals:
    void computed();  // the grid shows new figures (or the computation was cancelled)

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void createPopUp();
    void startComputing();
    void finishComputing();
    void cancelRun();
    void computeAgain();
    // The grid of the page shown, for Copy and Save As of pages other than the outlook.
    PageGrid shownPage() const;
    void onWhatIfPressed();
    void onPlacesEdited(int places);
    void copyToClipboard();
    void saveAs();
    void showStatus(const QString& text);

    PoolSession& m_session;
    Frame& m_main;
    OutlookModel* m_model = nullptr;
    PickedModel* m_picked = nullptr;
    ScoreModel* m_scores = nullptr;

    QLabel* m_statusPanel = nullptr;
    QLabel* m_placesLabel = nullptr;
    QSpinBox* m_placesBox = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QPushButton* m_computeButton = nullptr;
    QPushButton* m_whatIfButton = nullptr;
    QTabWidget* m_pages = nullptr;
    QTableView* m_outlookGrid = nullptr;
    QTableView* m_pickedGrid = nullptr;
    QTableView* m_whatIfStandingsGrid = nullptr;
    QMenu* m_popUpMenu = nullptr;
    QAction* m_copyAction = nullptr;
    QAction* m_saveAsAction = nullptr;
    QAction* m_computeAction = nullptr;
    QTimer* m_refreshTimer = nullptr;
    SaveFileRequest m_saveAsRequest;

    // The computation under way: its thread, its cancel flag and what it fills in.
    struct Run;
    std::shared_ptr<Run> m_run;
    QThread* m_worker = nullptr;
    bool m_again = false;                    // a change came while computing: start over when it ends
    PoolEvents::Subscription m_poolChanges;  // dropped at closing: a closed window is deleted later
};
