#pragma once
#include <QColor>
#include <QDialog>
#include <QPixmap>
#include <QString>
#include <vector>

#include "pool/players.h"

class QAction;
class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
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
PlayerItemLook playerItemLook(const TPlayer& entry, bool selected);

// The filters of "Show me:", by index.
enum PlayerFilter { AllPlayers, CompletePlayers, IncompletePlayers, PaidPlayers, UnpaidPlayers };
bool passesFilter(const TPlayer& entry, int filter);

inline const QString NoPlayerSelectedMessage = QStringLiteral("At least 1 player must be selected.");

// The Player Manager: lists, opens, deletes, prints and edits stored participants.
class TfrmOpen : public QDialog {
    Q_OBJECT
public:
    TfrmOpen(TPoolSession& session, IFrame& frame, QWidget* parent = nullptr);

    std::vector<TPlayer*> SelectedPlayers;  // chosen with Open, in list order

    // Empties the list and fills it with the participants that pass the filter, sorted by name
    // without regard to case; the current item stays at the same position.
    void FillPlayerList(int filter);
    // The entry a list item stands for.
    static TPlayer* EntryOf(const QListWidgetItem* item);

    // Handlers.
    void lstTypesClick();
    void cmdOpenClick();
    void mnuDeleteClick();
    void mnuPrintPicksClick();
    void mnuPropsClick();
    void lstPlayersDrawItem(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;

    // Controls, named as the program's documents name them.
    QListWidget* lstPlayers = nullptr;
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

private:
    void FormCreate();
    void CreateControls();
    void CreatePopupMenu();
    void PlaceControls();
    void showPopupMenu(const QPoint& pos);

    TPoolSession& m_session;
    IFrame& m_main;
    int m_filter = AllPlayers;
};
