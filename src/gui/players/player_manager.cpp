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

#include "gui/players/player_icons.h"
#include "gui/players/player_properties.h"
#include "gui/printing/print_commands.h"
#include "core/session/pool_session.h"
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
class TPlayerItemDelegate final : public QStyledItemDelegate {
public:
    using Draw = std::function<void(QPainter*, const QStyleOptionViewItem&, const QModelIndex&)>;

    TPlayerItemDelegate(Draw draw, QSize itemSize, QObject* parent)
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

TfrmOpen::TfrmOpen(TPoolSession& session, IFrame& frame, QWidget* parent)
    : QDialog(parent), imgPaid(paidIcon()), imgNotPaid(notPaidIcon()), m_session(session), m_main(frame)
{
    setWindowTitle(QStringLiteral("Player Manager"));
    CreateControls();
    CreatePopupMenu();
    PlaceControls();
    fixDialog(*this, ClientSize);

    // The column width follows from the list's inner width, known once the list is placed.
    const QSize cell((lstPlayers->width() - 2 * lstPlayers->frameWidth()) / ColumnCount, ItemHeight);
    lstPlayers->setGridSize(cell);
    lstPlayers->setItemDelegate(new TPlayerItemDelegate(
        [this](QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) {
            lstPlayersDrawItem(painter, option, index);
        },
        cell, lstPlayers));
    FormCreate();
}

void TfrmOpen::FormCreate()
{
    FillPlayerList(AllPlayers);
    lstTypes->setCurrentIndex(AllPlayers);
    connect(lstTypes, &QComboBox::currentIndexChanged, this, guarded(this, &TfrmOpen::lstTypesClick));
    lstPlayers->setFocus();
}

void TfrmOpen::CreateControls()
{
    lstPlayers = new QListView(this);
    lstPlayers->setObjectName(QStringLiteral("lstPlayers"));
    m_model = new TPlayerListModel(lstPlayers);
    lstPlayers->setModel(m_model);
    lstPlayers->setViewMode(QListView::ListMode);
    lstPlayers->setFlow(QListView::TopToBottom);
    lstPlayers->setWrapping(true);
    lstPlayers->setResizeMode(QListView::Adjust);
    lstPlayers->setUniformItemSizes(true);
    lstPlayers->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);  // the names flow sideways
    lstPlayers->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstPlayers->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstPlayers->setToolTip(QStringLiteral("Right-click for Options"));
    lstPlayers->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lstPlayers, &QListView::customContextMenuRequested, this, guarded(this, &TfrmOpen::showPopupMenu));
    connect(lstPlayers, &QListView::doubleClicked, this, guarded(this, &TfrmOpen::cmdOpenClick));

    lblShow = new QLabel(QStringLiteral("Show me:"), this);
    lblShow->setObjectName(QStringLiteral("lblShow"));
    lstTypes = new QComboBox(this);
    lstTypes->setObjectName(QStringLiteral("lstTypes"));
    lstTypes->setEditable(false);
    lstTypes->addItems(FilterNames);
    lblShow->setBuddy(lstTypes);

    cmdOpen = new QPushButton(QStringLiteral("&Open"), this);
    cmdOpen->setObjectName(QStringLiteral("cmdOpen"));
    cmdOpen->setDefault(true);
    connect(cmdOpen, &QPushButton::clicked, this, guarded(this, &TfrmOpen::cmdOpenClick));
    cmdCancel = new QPushButton(QStringLiteral("&Close"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    connect(cmdCancel, &QPushButton::clicked, this, guarded([this] { reject(); }));  // Esc rejects as well
}

void TfrmOpen::CreatePopupMenu()
{
    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    const auto item = [this](QAction*& action, const QString& caption, const char* name, void (TfrmOpen::*handler)()) {
        action = PopupMenu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, guarded(this, handler));
    };
    item(mnuOpen, QStringLiteral("&Open"), "mnuOpen", &TfrmOpen::cmdOpenClick);
    item(mnuDelete, QStringLiteral("&Delete"), "mnuDelete", &TfrmOpen::mnuDeleteClick);
    PopupMenu->addSeparator();
    item(mnuPrintPicks, QStringLiteral("P&rint Picks"), "mnuPrintPicks", &TfrmOpen::mnuPrintPicksClick);
    PopupMenu->addSeparator();
    item(mnuProps, QStringLiteral("&Properties..."), "mnuProps", &TfrmOpen::mnuPropsClick);
}

void TfrmOpen::PlaceControls()
{
    m_layout.within(this, {
        {lstPlayers, {4, 4, 389, 157}},
        {lblShow, {16, 170, 52, 16}},
        {lstTypes, {72, 168, 225, 21}},
        {cmdOpen, {312, 168, 75, 25}},
        {cmdCancel, {312, 200, 75, 25}},
    });
    applyLayout(m_layout);
}

void TfrmOpen::showPopupMenu(const QPoint& pos) { PopupMenu->popup(lstPlayers->viewport()->mapToGlobal(pos)); }

void TfrmOpen::FillPlayerList(int filter)
{
    BusyCursor busy;
    DrawingSuspended suspended(this);
    const int current = currentRow();
    m_model->fill(m_session.players(), filter);

    // A sideways scroll bar only when the names overflow three columns, which then lose a row to
    // it; a list that fits uses every row.
    const int fullRows = (lstPlayers->height() - 2 * lstPlayers->frameWidth()) / ItemHeight;
    lstPlayers->setHorizontalScrollBarPolicy(m_model->rowCount() <= ColumnCount * fullRows ? Qt::ScrollBarAlwaysOff
                                                                                            : Qt::ScrollBarAlwaysOn);

    // The same position, which may now hold another participant; none when the list got shorter.
    // Only the focus moves there: the selection stays empty, as after any refill.
    if (current >= 0 && current < m_model->rowCount())
        lstPlayers->selectionModel()->setCurrentIndex(m_model->index(current), QItemSelectionModel::NoUpdate);
}

std::vector<int> TfrmOpen::selectedRows() const
{
    std::vector<int> rows;
    for (const QItemSelectionRange& range : lstPlayers->selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row) rows.push_back(row);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

int TfrmOpen::currentRow() const { return lstPlayers->currentIndex().row(); }

void TfrmOpen::lstTypesClick()
{
    m_filter = std::max(0, lstTypes->currentIndex());
    FillPlayerList(m_filter);
}

void TfrmOpen::cmdOpenClick()
{
    m_selectedPlayers.clear();
    for (int row : selectedRows()) m_selectedPlayers.push_back(m_model->idAt(row));
    if (m_selectedPlayers.empty()) {
        showInformation(NoPlayerSelectedMessage);
        return;
    }
    accept();
}

void TfrmOpen::mnuDeleteClick()
{
    // The rows stay in the list until the refill below, still showing an entry deleted meanwhile.
    const std::vector<int> chosen = selectedRows();
    if (chosen.empty()) {
        showInformation(NoPlayerSelectedMessage);
        return;
    }
    TPlayers& players = m_session.players();
    bool deleted = false;
    try {
        for (int row : chosen) {
            if (!confirmDestructive(QStringLiteral("Delete picks for ") + m_model->nameAt(row) + QStringLiteral("?")))
                continue;
            BusyCursor busy;
            if (players.DeletePlayer(m_model->idAt(row))) deleted = true;
        }
    } catch (...) {
        // The deletions before a refused one are done: the list shows them before the error.
        if (deleted) FillPlayerList(m_filter);
        throw;
    }
    if (deleted) FillPlayerList(m_filter);
}

void TfrmOpen::mnuPrintPicksClick()
{
    const int row = currentRow();
    if (row < 0) return;
    TPlayers& players = m_session.players();
    if (const int index = players.IndexOfId(m_model->idAt(row)); index >= 0)
        PrintPool(m_session, m_main, players.item(index));
}

void TfrmOpen::mnuPropsClick()
{
    const int row = currentRow();
    if (row < 0) return;
    TfrmProps props(this, m_session.players(), m_model->idAt(row));
    props.exec();
    if (props.Changed()) FillPlayerList(m_filter);
}

void TfrmOpen::lstPlayersDrawItem(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const
{
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QPalette::ColorGroup group = !option.state.testFlag(QStyle::State_Enabled) ? QPalette::Disabled
                                       : option.state.testFlag(QStyle::State_Active) ? QPalette::Active
                                                                                     : QPalette::Inactive;
    painter->fillRect(option.rect, option.palette.brush(group, selected ? QPalette::Highlight : QPalette::Base));

    if (index.isValid()) {
        const PlayerItemLook look = playerItemLook(index.data(TPlayerListModel::CompleteRole).toBool(),
                                                   index.data(TPlayerListModel::PaidRole).toBool(), selected);
        painter->drawPixmap(option.rect.topLeft(), look.paidIcon ? imgPaid : imgNotPaid);
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
        (widget ? widget->style() : QApplication::style())->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
}
