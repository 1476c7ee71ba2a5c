#pragma once
#include <QColor>
#include <QDialog>
#include <QPixmap>
#include <QString>
#include <cstdint>
#include <vector>

#include "gui/players/player_list_model.h"
#include "gui/widgets/layout_table.h"

class QAction;
class QComboBox;
class QLabel;
class QListView;
class QMenu;
class QModelIndex;
class QPainter;
class QPushButton;
class QStyleOptionViewItem;
class IFrame;
class TPoolSession;

// How one list item looks: the name's colour and which of the two icons goes before it.
struct PlayerItemLook {
    QColor textColor;
    bool paidIcon = false;
};
// Selected items are written in white, or yellow while the sheet is incomplete; unselected
// ones in black, or red while incomplete. The icon says whether the participant has paid.
PlayerItemLook playerItemLook(bool complete, bool paid, bool selected);

inline const QString NoPlayerSelectedMessage = QStringLiteral("At least 1 player must be selected.");

// The Player Manager: lists, opens, deletes, prints and edits stored participants.
class TfrmOpen final : public QDialog {
    Q_OBJECT
public:
    const LayoutTable& layoutTable() const { return m_layout; }
    TfrmOpen(TPoolSession& session, IFrame& frame, QWidget* parent = nullptr);

    // The ids of the participants chosen with Open, in list order; empty until then.
    const std::vector<std::int32_t>& SelectedPlayers() const { return m_selectedPlayers; }

private:
    LayoutTable m_layout;
    void FormCreate();
    void CreateControls();
    void CreatePopupMenu();
    void PlaceControls();

    // Fills the list with the participants that pass the filter, sorted by name in the user's
    // language without regard to case; the current item stays at the same position.
    void FillPlayerList(int filter);
    std::vector<int> selectedRows() const;  // in list order
    int currentRow() const;                 // -1 when there is none

    // Handlers.
    void lstTypesClick();
    void cmdOpenClick();
    void mnuDeleteClick();
    void mnuPrintPicksClick();
    void mnuPropsClick();
    void showPopupMenu(const QPoint& pos);
    void lstPlayersDrawItem(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;

    // Controls, named as the program's documents name them.
    QListView* lstPlayers = nullptr;
    QLabel* lblShow = nullptr;
    QComboBox* lstTypes = nullptr;
    QPushButton* cmdOpen = nullptr;
    QPushButton* cmdCancel = nullptr;
    QMenu* PopupMenu = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuDelete = nullptr;
    QAction* mnuPrintPicks = nullptr;
    QAction* mnuProps = nullptr;
    QPixmap imgPaid;
    QPixmap imgNotPaid;

    TPoolSession& m_session;
    IFrame& m_main;
    TPlayerListModel* m_model = nullptr;
    int m_filter = AllPlayers;
    std::vector<std::int32_t> m_selectedPlayers;
};
