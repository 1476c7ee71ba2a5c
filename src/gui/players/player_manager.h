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
class Frame;
class PoolSession;

// How one list item looks: the name's colour and which of the two icons goes before it.
struct PlayerItemLook {
    QColor textColor;
    bool paidIcon = false;
};
// Selected items are written in white, or yellow while the sheet is incomplete; unselected
// ones in black, or red while incomplete. The icon says whether the participant has paid.
PlayerItemLook playerItemLook(bool complete, bool paid, bool selected);

inline const QString NoPlayerSelectedMessage = QStringLiteral("At least 1 player must be selected.");

// Deletes the entry with this id unless a sheet of it is open in the frame, which says so in a
// box instead. True when it was deleted.
bool deletePlayerUnlessOpen(PoolSession& session, Frame& frame, std::int32_t id);

// The Player Manager: lists, opens, deletes, prints and edits stored participants.
class PlayerManager final : public QDialog {
    Q_OBJECT
public:
    const LayoutTable& layoutTable() const { return m_layout; }
    PlayerManager(PoolSession& session, Frame& frame, QWidget* parent = nullptr);

    // The ids of the participants chosen with Open, in list order; empty until then.
    const std::vector<std::int32_t>& selectedPlayers() const { return m_selectedPlayers; }

private:
    LayoutTable m_layout;
    void prepareControls();
    void createControls();
    void createPopupMenu();
    void placeControls();

    // Fills the list with the participants that pass the filter, sorted by name in the user's
    // language without regard to case; the current item stays at the same position.
    void fillPlayerList(int filter);
    std::vector<int> selectedRows() const;  // in list order
    int currentRow() const;                 // -1 when there is none

    // Handlers.
    void onFilterChosen();
    void openSelected();
    void deleteSelected();
    void printSelected();
    void showProperties();
    void showPopupMenu(const QPoint& pos);
    void lstPlayersDrawItem(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;

    // Controls, named as the program's documents name them.
    QListView* m_playersList = nullptr;
    QLabel* m_showLabel = nullptr;
    QComboBox* m_typesChoice = nullptr;
    QPushButton* m_openButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QMenu* PopupMenu = nullptr;
    QAction* m_openAction = nullptr;
    QAction* m_deleteAction = nullptr;
    QAction* m_printPicksAction = nullptr;
    QAction* m_propertiesAction = nullptr;
    QPixmap m_paidIcon;
    QPixmap m_notPaidIcon;

    PoolSession& m_session;
    Frame& m_main;
    PlayerListModel* m_model = nullptr;
    int m_filter = AllPlayers;
    std::vector<std::int32_t> m_selectedPlayers;
};
