#include "gui/players/player_manager.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <algorithm>
#include <functional>

#include "core/session/pool_session.h"
#include "gui/players/player_icons.h"
#include "gui/players/player_properties.h"
#include "gui/printing/print_commands.h"
#include "gui/widgets/ansi_text.h"
#include "gui/widgets/busy_cursor.h"
#include "gui/widgets/drawing_suspended.h"
#include "gui/widgets/frame.h"
#include "gui/widgets/guarded.h"
#include "gui/widgets/layout_table.h"
#include "gui/widgets/prompts.h"

namespace {
constexpr QSize ClientSize(398, 229);
constexpr int ItemHeight = 18;
constexpr int ColumnCount = 3;
constexpr int TextIndent = PlayerIconSize + 2;  // the name starts right of the icon
constexpr int TextDrop = 2;

// Hands the drawing of every list item to the dialog's handler.
class PlayerItemDelegate final : public QStyledItemDelegate {
public:
    using Draw = std::function<void(QPainter*, const QStyleOptionViewItem&, const QModelIndex&)>;

    PlayerItemDelegate(Draw draw, QSize itemSize, QObject* parent)
        : QStyledItemDelegate(parent), m_draw(std::move(draw)), m_itemSize(itemSize)
    {
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        m_draw(painter, option, index);
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override { return m_itemSize; }

private:
    Draw m_draw;
    QSize m_itemSize;
};

const QStringList FilterNames = {QStringLiteral("All Players"), QStringLiteral("Complete Players"),
                                 QStringLiteral("Incomplete Players"), QStringLiteral("Paid Players"),
                                 QStringLiteral("Unpaid Players")};
}  // namespace

bool deletePlayerUnlessOpen(PoolSession& session, Frame& frame, std::int32_t id)
{
    if (frame.findSheetWindow(id) >= 0) {
        frame.showInformation(SheetOpenMessage);
        return false;
    }
    session.players().deletePlayer(id);
    return true;
}

PlayerItemLook playerItemLook(bool complete, bool paid, bool selected)
{
    static const QColor Yellow(255, 255, 0);
    static const QColor Red(255, 0, 0);
    PlayerItemLook look;
    if (selected)
        look.textColor = complete ? QColor(Qt::white) : Yellow;
    else
        look.textColor = complete ? QColor(Qt::black) : Red;
    look.paidIcon = paid;
    return look;
}

PlayerManager::PlayerManager(PoolSession& session, Frame& frame, QWidget* parent)
    : QDialog(parent), m_paidIcon(paidIcon()), m_notPaidIcon(notPaidIcon()), m_session(session), m_main(frame)
{
    setWindowTitle(QStringLiteral("Player Manager"));
    createControls();
    createPopupMenu();
    placeControls();
    fixDialog(*this, ClientSize);

    // The column width follows from the list's inner width, known once the list is placed.
    const QSize cell((m_playersList->width() - 2 * m_playersList->frameWidth()) / ColumnCount, ItemHeight);
    m_playersList->setGridSize(cell);
    m_playersList->setItemDelegate(
        new PlayerItemDelegate([this](QPainter* painter, const QStyleOptionViewItem& option,
                                      const QModelIndex& index) { lstPlayersDrawItem(painter, option, index); },
                               cell, m_playersList));
    prepareControls();
}

void PlayerManager::prepareControls()
{
    fillPlayerList(AllPlayers);
    m_typesChoice->setCurrentIndex(AllPlayers);
    connect(m_typesChoice, &QComboBox::currentIndexChanged, this, guarded(this, &PlayerManager::onFilterChosen));
    m_playersList->setFocus();
}

void PlayerManager::createControls()
{
    m_playersList = new QListView(this);
    m_playersList->setObjectName(QStringLiteral("lstPlayers"));
    m_model = new PlayerListModel(m_playersList);
    m_playersList->setModel(m_model);
    m_playersList->setViewMode(QListView::ListMode);
    m_playersList->setFlow(QListView::TopToBottom);
    m_playersList->setWrapping(true);
    m_playersList->setResizeMode(QListView::Adjust);
    m_playersList->setUniformItemSizes(true);
    m_playersList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);  // the names flow sideways
    m_playersList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_playersList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_playersList->setToolTip(QStringLiteral("Right-click for Options"));
    m_playersList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_playersList, &QListView::customContextMenuRequested, this, guarded(this, &PlayerManager::showPopupMenu));
    connect(m_playersList, &QListView::doubleClicked, this, guarded(this, &PlayerManager::openSelected));

    m_showLabel = new QLabel(QStringLiteral("Show me:"), this);
    m_showLabel->setObjectName(QStringLiteral("lblShow"));
    m_typesChoice = new QComboBox(this);
    m_typesChoice->setObjectName(QStringLiteral("lstTypes"));
    m_typesChoice->setEditable(false);
    m_typesChoice->addItems(FilterNames);
    m_showLabel->setBuddy(m_typesChoice);

    m_openButton = new QPushButton(QStringLiteral("&Open"), this);
    m_openButton->setObjectName(QStringLiteral("cmdOpen"));
    m_openButton->setDefault(true);
    connect(m_openButton, &QPushButton::clicked, this, guarded(this, &PlayerManager::openSelected));
    m_cancelButton = new QPushButton(QStringLiteral("&Close"), this);
    m_cancelButton->setObjectName(QStringLiteral("cmdCancel"));
    m_cancelButton->setAutoDefault(false);
    connect(m_cancelButton, &QPushButton::clicked, this, guarded([this] { reject(); }));  // Esc rejects as well
}

void PlayerManager::createPopupMenu()
{
    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    const auto item = [this](QAction*& action, const QString& caption, const char* name,
                             void (PlayerManager::*handler)()) {
        action = PopupMenu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, guarded(this, handler));
    };
    item(m_openAction, QStringLiteral("&Open"), "mnuOpen", &PlayerManager::openSelected);
    item(m_deleteAction, QStringLiteral("&Delete"), "mnuDelete", &PlayerManager::deleteSelected);
    PopupMenu->addSeparator();
    item(m_printPicksAction, QStringLiteral("P&rint Picks"), "mnuPrintPicks", &PlayerManager::printSelected);
    PopupMenu->addSeparator();
    item(m_propertiesAction, QStringLiteral("&Properties..."), "mnuProps", &PlayerManager::showProperties);
}

void PlayerManager::placeControls()
{
    m_layout.within(this, {
                              {m_playersList, {4, 4, 389, 157}},
                              {m_showLabel, {16, 170, 52, 16}},
                              {m_typesChoice, {72, 168, 225, 21}},
                              {m_openButton, {312, 168, 75, 25}},
                              {m_cancelButton, {312, 200, 75, 25}},
                          });
    applyLayout(m_layout);
}

void PlayerManager::showPopupMenu(const QPoint& pos) { PopupMenu->popup(m_playersList->viewport()->mapToGlobal(pos)); }

void PlayerManager::fillPlayerList(int filter)
{
    BusyCursor busy;
    DrawingSuspended suspended(this);
    const int current = currentRow();
    m_model->fill(m_session.players(), filter);

    // A sideways scroll bar only when the names overflow three columns, which then lose a row to
    // it; a list that fits uses every row.
    const int fullRows = (m_playersList->height() - 2 * m_playersList->frameWidth()) / ItemHeight;
    m_playersList->setHorizontalScrollBarPolicy(m_model->rowCount() <= ColumnCount * fullRows ? Qt::ScrollBarAlwaysOff
                                                                                              : Qt::ScrollBarAlwaysOn);

    // The same position, which may now hold another participant; the last row when the list got
    // shorter, the first when there was none, so the focus frame always shows where the keys start
    // (without one the first Down went straight to the second name). Only the focus moves there:
    // the selection stays empty, as after any refill.
    const int rows = m_model->rowCount();
    if (rows > 0)
        m_playersList->selectionModel()->setCurrentIndex(m_model->index(std::clamp(current, 0, rows - 1)),
                                                         QItemSelectionModel::NoUpdate);
}

std::vector<int> PlayerManager::selectedRows() const
{
    std::vector<int> rows;
    for (const QItemSelectionRange& range : m_playersList->selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row) rows.push_back(row);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

int PlayerManager::currentRow() const { return m_playersList->currentIndex().row(); }

void PlayerManager::onFilterChosen()
{
    m_filter = std::max(0, m_typesChoice->currentIndex());
    fillPlayerList(m_filter);
}

void PlayerManager::openSelected()
{
    m_selectedPlayers.clear();
    for (int row : selectedRows()) m_selectedPlayers.push_back(m_model->idAt(row));
    if (m_selectedPlayers.empty()) {
        showInformation(NoPlayerSelectedMessage);
        return;
    }
    accept();
}

void PlayerManager::deleteSelected()
{
    // The rows stay in the list until the refill below, still showing an entry deleted meanwhile.
    const std::vector<int> chosen = selectedRows();
    if (chosen.empty()) {
        showInformation(NoPlayerSelectedMessage);
        return;
    }
    bool deleted = false;
    try {
        for (int row : chosen) {
            if (!confirmDestructive(QStringLiteral("Delete picks for ") + m_model->nameAt(row) + QStringLiteral("?")))
                continue;
            BusyCursor busy;
            if (deletePlayerUnlessOpen(m_session, m_main, m_model->idAt(row))) deleted = true;
        }
    } catch (...) {
        // The deletions before a refused one are done: the list shows them before the error.
        if (deleted) fillPlayerList(m_filter);
        throw;
    }
    if (deleted) fillPlayerList(m_filter);
}

void PlayerManager::printSelected()
{
    const int row = currentRow();
    if (row < 0) return;
    PlayerList& players = m_session.players();
    if (const int index = players.indexOfId(m_model->idAt(row)); index >= 0)
        printPool(m_session, m_main, players.item(index));
}

void PlayerManager::showProperties()
{
    const int row = currentRow();
    if (row < 0) return;
    PlayerProperties props(this, m_session.players(), m_model->idAt(row));
    props.exec();
    if (props.changed()) fillPlayerList(m_filter);
}

void PlayerManager::lstPlayersDrawItem(QPainter* painter, const QStyleOptionViewItem& option,
                                       const QModelIndex& index) const
{
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QPalette::ColorGroup group = !option.state.testFlag(QStyle::State_Enabled) ? QPalette::Disabled
                                       : option.state.testFlag(QStyle::State_Active) ? QPalette::Active
                                                                                     : QPalette::Inactive;
    painter->fillRect(option.rect, option.palette.brush(group, selected ? QPalette::Highlight : QPalette::Base));

    if (index.isValid()) {
        const PlayerItemLook look = playerItemLook(index.data(PlayerListModel::CompleteRole).toBool(),
                                                   index.data(PlayerListModel::PaidRole).toBool(), selected);
        painter->drawPixmap(option.rect.topLeft(), look.paidIcon ? m_paidIcon : m_notPaidIcon);
        const QRect textRect = option.rect.adjusted(TextIndent, 0, 0, 0);
        painter->save();
        painter->setClipRect(textRect);
        painter->setFont(option.font);
        painter->setPen(look.textColor);
        painter->drawText(textRect.adjusted(0, TextDrop, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                          index.data(Qt::DisplayRole).toString());
        painter->restore();
    }
    if (option.state.testFlag(QStyle::State_HasFocus)) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.backgroundColor = option.palette.color(group, selected ? QPalette::Highlight : QPalette::Base);
        const QWidget* widget = option.widget;
        (widget ? widget->style() : QApplication::style())
            ->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
}
