#include "players/player_manager.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <algorithm>

#include "ui/layout_table.h"
#include "players/player_icons.h"
#include "players/player_props.h"
#include "printing/print_commands.h"
#include "ui/ansi_text.h"
#include "ui/busy_cursor.h"
#include "ui/drawing_suspended.h"
#include "session/pool_session.h"
#include "ui/frame.h"
#include "ui/prompts.h"

namespace {
constexpr int ItemHeight = 18;
constexpr int ColumnCount = 3;
constexpr int TextIndent = PlayerIconSize + 2;  // the name starts right of the icon
constexpr int TextDrop = 2;

// Hands the drawing of every list item to the dialog's handler.
class TPlayerItemDelegate final : public QStyledItemDelegate {
public:
    TPlayerItemDelegate(const TfrmOpen& form, QSize itemSize)
        : QStyledItemDelegate(form.lstPlayers), m_form(form), m_itemSize(itemSize)
    {
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        m_form.lstPlayersDrawItem(painter, option, index);
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override { return m_itemSize; }

private:
    const TfrmOpen& m_form;
    QSize m_itemSize;
};

const QStringList FilterNames = {QStringLiteral("All Players"), QStringLiteral("Complete Players"),
                                 QStringLiteral("Incomplete Players"), QStringLiteral("Paid Players"),
                                 QStringLiteral("Unpaid Players")};
}  // namespace

PlayerItemLook playerItemLook(const TPlayer& entry, bool selected)
{
    static const QColor Yellow(255, 255, 0);
    static const QColor Red(255, 0, 0);
    const bool complete = entry.Complete != 0;
    PlayerItemLook look;
    if (selected)
        look.textColor = complete ? QColor(Qt::white) : Yellow;
    else
        look.textColor = complete ? QColor(Qt::black) : Red;
    look.paidIcon = entry.Paid != 0;
    return look;
}

bool passesFilter(const TPlayer& entry, int filter)
{
    switch (filter) {
    case CompletePlayers: return entry.Complete != 0;
    case IncompletePlayers: return entry.Complete == 0;
    case PaidPlayers: return entry.Paid != 0;
    case UnpaidPlayers: return entry.Paid == 0;
    default: return true;
    }
}

TfrmOpen::TfrmOpen(TPoolSession& session, IFrame& frame, QWidget* parent)
    : QDialog(parent), imgPaid(paidIcon()), imgNotPaid(notPaidIcon()), m_session(session), m_main(frame)
{
    setWindowTitle(QStringLiteral("Player Manager"));
    CreateControls();
    CreatePopupMenu();
    PlaceControls();
    fixDialog(*this, {398, 229});

    // The column width follows from the list's inner width, known once the list is placed.
    const QSize cell((lstPlayers->width() - 2 * lstPlayers->frameWidth()) / ColumnCount, ItemHeight);
    lstPlayers->setGridSize(cell);
    lstPlayers->setItemDelegate(new TPlayerItemDelegate(*this, cell));
    FormCreate();
}

void TfrmOpen::FormCreate()
{
    FillPlayerList(AllPlayers);
    lstTypes->setCurrentIndex(AllPlayers);
    connect(lstTypes, &QComboBox::currentIndexChanged, this, &TfrmOpen::lstTypesClick);
    lstPlayers->setFocus();
}

void TfrmOpen::CreateControls()
{
    lstPlayers = new QListWidget(this);
    lstPlayers->setObjectName(QStringLiteral("lstPlayers"));
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
    connect(lstPlayers, &QListWidget::customContextMenuRequested, this, &TfrmOpen::showPopupMenu);
    connect(lstPlayers, &QListWidget::itemDoubleClicked, this, [this] { cmdOpenClick(); });

    lblShow = new QLabel(QStringLiteral("Show me:"), this);
    lstTypes = new QComboBox(this);
    lstTypes->setObjectName(QStringLiteral("lstTypes"));
    lstTypes->setEditable(false);
    lstTypes->addItems(FilterNames);
    lblShow->setBuddy(lstTypes);

    cmdOpen = new QPushButton(QStringLiteral("&Open"), this);
    cmdOpen->setObjectName(QStringLiteral("cmdOpen"));
    cmdOpen->setDefault(true);
    connect(cmdOpen, &QPushButton::clicked, this, &TfrmOpen::cmdOpenClick);
    cmdCancel = new QPushButton(QStringLiteral("&Close"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);  // Esc rejects as well
}

void TfrmOpen::CreatePopupMenu()
{
    PopupMenu = new QMenu(this);
    mnuOpen = PopupMenu->addAction(QStringLiteral("&Open"));
    mnuDelete = PopupMenu->addAction(QStringLiteral("&Delete"));
    PopupMenu->addSeparator();
    mnuPrintPicks = PopupMenu->addAction(QStringLiteral("P&rint Picks"));
    PopupMenu->addSeparator();
    mnuProps = PopupMenu->addAction(QStringLiteral("&Properties..."));
    connect(mnuOpen, &QAction::triggered, this, &TfrmOpen::cmdOpenClick);
    connect(mnuDelete, &QAction::triggered, this, &TfrmOpen::mnuDeleteClick);
    connect(mnuPrintPicks, &QAction::triggered, this, &TfrmOpen::mnuPrintPicksClick);
    connect(mnuProps, &QAction::triggered, this, &TfrmOpen::mnuPropsClick);
}

void TfrmOpen::PlaceControls()
{
    applyLayout({
        {lstPlayers, {4, 4, 389, 157}},
        {lblShow, {16, 170, 52, 16}},
        {lstTypes, {72, 168, 225, 21}},
        {cmdOpen, {312, 168, 75, 25}},
        {cmdCancel, {312, 200, 75, 25}},
    });
}

void TfrmOpen::showPopupMenu(const QPoint& pos) { PopupMenu->popup(lstPlayers->viewport()->mapToGlobal(pos)); }

TPlayer* TfrmOpen::EntryOf(const QListWidgetItem* item)
{
    return item ? static_cast<TPlayer*>(item->data(Qt::UserRole).value<void*>()) : nullptr;
}

void TfrmOpen::FillPlayerList(int filter)
{
    BusyCursor busy;
    DrawingSuspended suspended(this);
    const int current = lstPlayers->currentRow();
    lstPlayers->clear();

    struct Row {
        QString name;
        TPlayer* entry;
    };
    std::vector<Row> rows;
    TPlayers& players = m_session.players();
    for (int i = 0; i < players.count(); ++i) {
        TPlayer* entry = players.item(i);
        if (entry->Id != ResultsId && passesFilter(*entry, filter)) rows.push_back({fromAnsi(entry->Name.view()), entry});
    }
    // Equal names keep the participant list's order.
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        return QString::compare(a.name, b.name, Qt::CaseInsensitive) < 0;
    });
    for (const Row& row : rows) {
        auto* item = new QListWidgetItem(row.name);
        item->setData(Qt::UserRole, QVariant::fromValue(static_cast<void*>(row.entry)));
        lstPlayers->addItem(item);
    }

    // A sideways scroll bar only when the names overflow three columns, which then lose a row to
    // it; a list that fits uses every row.
    const int fullRows = (lstPlayers->height() - 2 * lstPlayers->frameWidth()) / ItemHeight;
    lstPlayers->setHorizontalScrollBarPolicy(lstPlayers->count() <= ColumnCount * fullRows ? Qt::ScrollBarAlwaysOff
                                                                                            : Qt::ScrollBarAlwaysOn);

    // The same position, which may now hold another participant; none when the list got shorter.
    // Only the focus moves there: the selection stays empty, as after any refill.
    if (current >= 0 && current < lstPlayers->count())
        lstPlayers->selectionModel()->setCurrentIndex(lstPlayers->model()->index(current, 0),
                                                      QItemSelectionModel::NoUpdate);
}

void TfrmOpen::lstTypesClick()
{
    m_filter = std::max(0, lstTypes->currentIndex());
    FillPlayerList(m_filter);
}

void TfrmOpen::cmdOpenClick()
{
    SelectedPlayers.clear();
    for (int row = 0; row < lstPlayers->count(); ++row) {
        const QListWidgetItem* item = lstPlayers->item(row);
        if (item->isSelected()) SelectedPlayers.push_back(EntryOf(item));
    }
    if (SelectedPlayers.empty()) {
        showInformation(NoPlayerSelectedMessage);
        return;
    }
    accept();
}

void TfrmOpen::mnuDeleteClick()
{
    // The items stay in the list until the refill below, so an entry deleted meanwhile must stay
    // readable: the participant list keeps removed entries in its storage.
    std::vector<TPlayer*> chosen;
    for (int row = 0; row < lstPlayers->count(); ++row)
        if (lstPlayers->item(row)->isSelected()) chosen.push_back(EntryOf(lstPlayers->item(row)));
    if (chosen.empty()) {
        showInformation(NoPlayerSelectedMessage);
        return;
    }
    TPlayers& players = m_session.players();
    bool deleted = false;
    for (const TPlayer* entry : chosen) {
        if (!confirmOkCancel(QStringLiteral("Delete picks for ") + fromAnsi(entry->Name.view()) + QStringLiteral("?")))
            continue;
        BusyCursor busy;
        if (players.DeletePlayer(entry->Id)) deleted = true;
    }
    if (deleted) FillPlayerList(m_filter);
}

void TfrmOpen::mnuPrintPicksClick()
{
    if (const TPlayer* entry = EntryOf(lstPlayers->currentItem())) PrintPool(m_session, m_main, entry);
}

void TfrmOpen::mnuPropsClick()
{
    const TPlayer* entry = EntryOf(lstPlayers->currentItem());
    if (!entry) return;
    TfrmProps props(this, m_session.players(), entry->Id);
    props.exec();
    if (props.Changed) FillPlayerList(m_filter);
}

void TfrmOpen::lstPlayersDrawItem(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const
{
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QPalette::ColorGroup group = !option.state.testFlag(QStyle::State_Enabled) ? QPalette::Disabled
                                       : option.state.testFlag(QStyle::State_Active) ? QPalette::Active
                                                                                     : QPalette::Inactive;
    painter->fillRect(option.rect, option.palette.brush(group, selected ? QPalette::Highlight : QPalette::Base));

    const auto* entry = static_cast<const TPlayer*>(index.data(Qt::UserRole).value<void*>());
    if (entry) {
        const PlayerItemLook look = playerItemLook(*entry, selected);
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
