#pragma once
#include <QEvent>
#include <QPointer>
#include <array>
#include <cstdint>
#include <vector>

#include "core/pool/bracket.h"
#include "core/pool/pool_events.h"
#include "core/pool/sheet_picks.h"
#include "gui/widgets/child_window.h"
#include "gui/widgets/frame.h"
#include "gui/widgets/layout_table.h"

class QCheckBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QScrollArea;
class KeyReleases;
class PoolSession;
struct Player;

// The two private commands of a bracket sheet, posted by the main window.
constexpr QEvent::Type SaveCommand = static_cast<QEvent::Type>(1024);
constexpr QEvent::Type PrintCommand = static_cast<QEvent::Type>(1025);

// A bracket sheet: a new participant (id 0), the results (id -1), a stored participant, or the
// What If sheet (WhatIfMode). The picks are chosen with Up, Down and Delete in the 63
// read-only game cells "g1".."g63", checked and stored into the participant list on the save
// command. The What If sheet shows the real results and lets winners be chosen for the games not
// played yet; it is never stored. It listens to the pool for new results, and tells the pool
// session when its winners change, so the outlook computes again.
class BracketSheet final : public ChildWindow {
    Q_OBJECT
public:
    const LayoutTable& layoutTable() const { return m_layout; }
    BracketSheet(PoolSession& session, Frame& frame, int id, QWidget* parent = nullptr);
    struct WhatIfMode {};
    BracketSheet(PoolSession& session, Frame& frame, WhatIfMode, QWidget* parent = nullptr);
    // Puts the focus where the sheet starts: the name box, g1 for the results, the first game not
    // played for a what-if.
    void focusFirst();
    void discardChanges() { m_sheetModified = 0; }  // the next close asks nothing

    int playerId() const { return m_playerId; }
    bool sheetModified() const { return m_sheetModified != 0; }
    const SheetPicks& picks() const { return m_picks; }

    bool isWhatIf() const { return m_whatIf; }
    bool isClosed() const { return m_closed; }  // closed, waiting to be deleted
    // The real results with the winners chosen here, and how many games were chosen.
    Frame::WhatIf whatIf() const;
    // New real results: played games take them, a chosen winner stays where its game is still
    // open and still has it as one of its two teams.
    void takeResults(const PickArray& real);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    BracketSheet(PoolSession& session, Frame& frame, int id, bool whatIf, QWidget* parent);
    LayoutTable m_layout;
    void createControls();
    void applyLayout();
    void nameTeamLabels();
    void initBracket();
    void showEntry(const Player& entry);
    void showPicks(const Player& entry);

    void onGameFocused(QWidget* control);
    void onGameLeft(QWidget* control);
    void onGameKeyReleased(QLineEdit* cell, int key);
    void onNameEdited();

    bool saveSheet();  // true when the sheet was stored
    // The check before saving; complete tells whether every game had a winner.
    bool validatePicks(std::uint8_t& complete);
    bool addPlayerFromSheet(std::int32_t id);
    bool updatePlayerFromSheet(std::int32_t id);
    // Fills a new entry, or the stored one, from the sheet; the common half of adding and updating.
    bool storeSheet(std::int32_t id, bool append);
    void clearSheet();
    void printSheet();

    void focusControl(QWidget* control);
    void showWhole(QWidget* control);  // scrolls the control fully into view
    void focusGame(int n);
    bool takesFocus(const QWidget* control) const;
    // What If: a game with a real result is fixed; showGame shows a game's pick as such.
    bool playedGame(int n) const { return m_real[std::size_t(n)] != 0; }
    void showGame(int n);
    void dropStrayWinners(int from);  // chosen winners that left their game, from game `from` on
    QWidget* nextInFocusOrder(QWidget* from, bool forward) const;
    int gameOfCell(const QObject* cell) const;
    QLineEdit* gameCell(int n) const { return m_cells[std::size_t(n)]; }
    QString teamText(TeamCode code) const;
    // What a screen reader says for a game cell: the game, where it is, its teams and its pick.
    QString gameDescription(int n) const;
    void describeGames();  // after every change of a pick or the teams

    PoolSession& m_session;
    Frame& m_main;

    std::int32_t m_playerId = 0;
    std::uint8_t m_sheetModified = 0;
    SheetPicks m_picks;
    PickArray m_real{};  // What If: the real results it was last given
    bool m_whatIf = false;
    bool m_closed = false;
    PoolEvents::Subscription m_poolChanges;  // What If only

    QScrollArea* m_scroll = nullptr;
    QWidget* m_canvas = nullptr;
    QLineEdit* m_nameBox = nullptr;
    QLineEdit* m_tiebreakerBox = nullptr;
    QCheckBox* m_paidCheck = nullptr;
    QLabel* m_region1Label = nullptr;
    QLabel* m_region2Label = nullptr;
    QLabel* m_region3Label = nullptr;
    QLabel* m_region4Label = nullptr;
    std::array<std::array<QLabel*, SeedCount>, RegionCount> m_teamLabels{};  // [region - 1][seed - 1]
    std::array<QLineEdit*, GameCount + 1> m_cells{};                         // index 1..63
    std::vector<QWidget*> m_focusOrder;
    QPointer<QWidget> m_current;        // the highlighted control
    KeyReleases* m_releases = nullptr;  // tells a let-go key from the keyboard's repeats
};
