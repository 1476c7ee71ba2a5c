#pragma once
#include <QEvent>
#include <QPointer>
#include <array>
#include <cstdint>
#include <vector>

#include "pool/bracket.h"
#include "pool/sheet_picks.h"
#include "ui/child_form.h"
#include "ui/layout_table.h"

class QCheckBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QScrollArea;
class IFrame;
class KeyReleases;
class TPoolSession;
struct TPlayer;

// The two private commands of a bracket sheet, posted by the main window.
constexpr QEvent::Type SaveCommand = static_cast<QEvent::Type>(1024);
constexpr QEvent::Type PrintCommand = static_cast<QEvent::Type>(1025);

// A bracket sheet: a new participant (id 0), the results (id -1) or a stored participant.
// The picks are chosen with Up, Down and Delete in the 63 read-only game cells "g1".."g63",
// checked and stored into the participant list on the save command.
class TmdiBrackets final : public TChildForm {
    Q_OBJECT
public:
    const LayoutTable& layoutTable() const { return m_layout; }
    TmdiBrackets(TPoolSession& session, IFrame& frame, int id, QWidget* parent = nullptr);
    void focusFirst();  // puts the focus where the sheet starts (the name box, or g1 for the results)
    void discardChanges() { SheetModified = 0; }  // the next close asks nothing

    int playerId() const { return PlayerId; }
    bool sheetModified() const { return SheetModified != 0; }
    const TSheetPicks& picks() const { return m_picks; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    LayoutTable m_layout;
    void createControls();
    void applyLayout();
    void nameTeamLabels();
    void InitBracket();
    void showEntry(const TPlayer& entry);
    void ShowPicks(const TPlayer& entry);

    void g1Enter(QWidget* control);
    void g1Exit(QWidget* control);
    void g1KeyUp(QLineEdit* cell, int key);
    void txtNameChange();

    bool SaveSheet();  // true when the sheet was stored
    // The check before saving; complete tells whether every game had a winner.
    bool ValidatePicks(std::uint8_t& complete);
    bool AddPlayerFromSheet(std::int32_t id);
    bool UpdatePlayerFromSheet(std::int32_t id);
    // Fills a new entry, or the stored one, from the sheet; the common half of adding and updating.
    bool storeSheet(std::int32_t id, bool append);
    void ClearSheet();
    void PrintSheet();

    void focusControl(QWidget* control);
    void showWhole(QWidget* control);  // scrolls the control fully into view
    void focusGame(int n);
    QWidget* nextInFocusOrder(QWidget* from, bool forward) const;
    int gameOfCell(const QObject* cell) const;
    QLineEdit* gameCell(int n) const { return m_cells[std::size_t(n)]; }
    QString teamText(TeamCode code) const;

    TPoolSession& m_session;
    IFrame& m_main;

    std::int32_t PlayerId = 0;
    std::uint8_t SheetModified = 0;
    TSheetPicks m_picks;

    QScrollArea* m_scroll = nullptr;
    QWidget* m_canvas = nullptr;
    QLineEdit* txtName = nullptr;
    QLineEdit* txtTiebreaker = nullptr;
    QCheckBox* chkPaid = nullptr;
    QLabel* lblRegion1 = nullptr;
    QLabel* lblRegion2 = nullptr;
    QLabel* lblRegion3 = nullptr;
    QLabel* lblRegion4 = nullptr;
    std::array<std::array<QLabel*, SeedCount>, RegionCount> m_teamLabels{};  // [region - 1][seed - 1]
    std::array<QLineEdit*, GameCount + 1> m_cells{};  // index 1..63
    std::vector<QWidget*> m_focusOrder;
    QPointer<QWidget> m_current;  // the highlighted control
    KeyReleases* m_releases = nullptr;  // tells a let-go key from the keyboard's repeats
};
