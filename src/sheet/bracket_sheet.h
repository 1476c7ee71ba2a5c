#pragma once
#include <QEvent>
#include <QPointer>
#include <array>
#include <cstdint>
#include <vector>

#include "pool/bracket.h"
#include "ui/child_form.h"

class QCheckBox;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QScrollArea;
class IFrame;
class TPoolSession;
struct TPlayer;

// The two private commands of a bracket sheet, posted by the main window.
constexpr QEvent::Type SaveCommand = static_cast<QEvent::Type>(1024);
constexpr QEvent::Type PrintCommand = static_cast<QEvent::Type>(1025);

// A bracket sheet: a new participant (id 0), the results (id -1) or a stored participant.
// The picks are chosen with Up, Down and Delete in the 63 read-only game cells, checked and
// stored into the participant list on the save command.
class TmdiBrackets final : public TChildForm {
    Q_OBJECT
public:
    // One game of the sheet: its pick and the two teams it is played between.
    struct GameRecord {
        TeamCode pick = 0;
        TeamCode slotA = 0;  // the upper team
        TeamCode slotB = 0;  // the lower team
        std::uint8_t nextGame = 0;  // 0 for the championship
    };

    TmdiBrackets(TPoolSession& session, IFrame& frame, int id, QWidget* parent = nullptr);
    void FocusFirst();  // puts the focus where the sheet starts (the name box, or g1 for the results)
    void DiscardChanges() { SheetModified = 0; }  // the next close asks nothing

    int PlayerId = 0;
    std::uint8_t SheetModified = 0;

    const GameRecord& Game(int n) const { return m_games.at(static_cast<std::size_t>(n)); }
    QLineEdit* Cell(int n) const;  // the cell of game n, found by its name "g" + n

    void ShowPicks(const TPlayer& entry);
    void AdvanceWinner(int n, TeamCode team);
    bool SaveSheet();  // true when the sheet was stored
    // The check before saving; complete tells whether every game had a winner.
    bool ValidatePicks(std::uint8_t& complete);
    bool AddPlayerFromSheet(std::int32_t id);
    bool UpdatePlayerFromSheet(std::int32_t id);
    void ClearSheet();
    void PrintSheet();

    QLineEdit* txtName = nullptr;
    QLineEdit* txtTiebreaker = nullptr;
    QCheckBox* chkPaid = nullptr;
    QLabel* lblRegion1 = nullptr;
    QLabel* lblRegion2 = nullptr;
    QLabel* lblRegion3 = nullptr;
    QLabel* lblRegion4 = nullptr;
    QLabel* lblDir = nullptr;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void CreateControls();
    void ApplyLayout();
    void NameTeamLabels();
    void InitBracket();
    void ShowEntry(const TPlayer& entry);

    void g1Enter(QWidget* control);
    void g1Exit(QWidget* control);
    void g1KeyUp(QLineEdit* cell, const QKeyEvent& key);
    void txtNameChange();

    // Fills a new entry, or the stored one, from the sheet; the common half of adding and updating.
    bool StoreSheet(std::int32_t id, bool append);
    void FocusControl(QWidget* control);
    void FocusGame(int n);
    QWidget* NextInFocusOrder(QWidget* from, bool forward) const;
    int GameOfCell(const QObject* cell) const;
    QString teamText(TeamCode code) const;

    TPoolSession& m_session;
    IFrame& m_main;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_canvas = nullptr;
    QFrame* pnlName = nullptr;
    std::array<std::array<QLabel*, SeedCount>, RegionCount> m_teamLabels{};  // [region - 1][seed - 1]
    std::array<QLineEdit*, GameCount + 1> m_cells{};  // index 1..63
    std::array<GameRecord, GameCount + 1> m_games{};   // index 1..63
    std::vector<QWidget*> m_focusOrder;
    QPointer<QWidget> m_current;  // the highlighted control
};
