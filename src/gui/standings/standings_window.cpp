#include "gui/standings/standings_window.h"

#include <QActionGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProxyStyle>
#include <QTableView>
#include <QVBoxLayout>

#include "core/outlook/payouts.h"
#include "core/session/pool_session.h"
#include "core/settings/settings.h"
#include "core/transfer/standings_export.h"
#include "gui/settings/dialog_folder.h"
#include "gui/standings/standings_model.h"
#include "gui/widgets/ansi_text.h"
#include "gui/widgets/busy_cursor.h"
#include "gui/widgets/drawing_suspended.h"
#include "gui/widgets/frame.h"
#include "gui/widgets/guarded.h"

namespace {
// The window's sizes in pixels at 96 dpi; the column widths live with the table. The strip and
// the grid follow the window's size (it opens maximised), so they stand in a box layout rather
// than in a fixed layout table. The normal size is the whole window's, frame and caption included.
constexpr QSize NormalSize{640, 316};
constexpr int StatusHeight = 17;
constexpr int RowHeight = 16;  // the header row too
constexpr int HeaderTextMargin = 1;

// The column widths were made for header texts that come close to a section's edges ("Total Pts"
// leaves its column three pixels); the style's own margins would cut them.
class GridHeaderStyle final : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        return metric == PM_HeaderMargin ? HeaderTextMargin : QProxyStyle::pixelMetric(metric, option, widget);
    }
};

const QString ExportTitle = QStringLiteral("Export Standings");
const QString ExportName = QStringLiteral("Standing");
const QString ExportSuffix = QStringLiteral("htm");
const QStringList ExportFilters = {QStringLiteral("HTML (*.htm)"), QStringLiteral("Comma Separated (*.csv)"),
                                   QStringLiteral("Tab Separated (*.txt)")};
constexpr int ExportHtmlType = 1;
constexpr int ExportCommaType = 2;
}  // namespace

StandingsWindow::StandingsWindow(PoolSession& session, Frame& frame, QWidget* parent)
    : ChildWindow(parent), m_session(session), m_main(frame)
{
    setWindowTitle(QStringLiteral("Standings"));
    createControls();
    createPopUp();
    prepareControls();
    m_poolChanges = m_session.subscribe(guarded(this, &StandingsWindow::onPoolChanged));
}

StandingsWindow::~StandingsWindow() = default;

void StandingsWindow::onPoolChanged(const PoolEvent& event)
{
    // Scoring is lazy: stored points are scored at once only while this window shows them. A
    // command over the whole list is told once, so it costs one pass.
    const bool stored = event.change == PoolChange::EntryStored || event.change == PoolChange::ListChanged;
    if (stored && event.scoringDue) {
        m_session.players().updateStandings();  // tells Rescored when it ran
    } else if (event.change == PoolChange::Rescored) {
        // One sheet scored moves one row; anything more sorts and refills the grid.
        if (m_model->followPass(m_session.players(), m_session.teams())) {
            m_standingsGrid->selectionModel()->clear();  // as a refill leaves it
            return;
        }
        const DrawingSuspended suspended(window());  // the change is painted in one go
        refreshStandings();
    }
}

void StandingsWindow::closeEvent(QCloseEvent* event)
{
    ChildWindow::closeEvent(event);
    if (event->isAccepted()) m_poolChanges.reset();
}

void StandingsWindow::createControls()
{
    setNormalSize(NormalSize);
    QVBoxLayout* layout = addStatusStrip(m_statusPanel);
    m_statusPanel->setFixedHeight(StatusHeight);
    m_statusPanel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QPalette red = m_statusPanel->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    m_statusPanel->setPalette(red);

    m_standingsGrid = new QTableView(this);
    m_standingsGrid->setObjectName(QStringLiteral("grdStandings"));
    m_standingsGrid->setToolTip(QStringLiteral("Right-click for options"));
    m_standingsGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Read only: Tab goes on to the next control instead of walking (and wrapping round) the cells.
    m_standingsGrid->setTabKeyNavigation(false);
    m_standingsGrid->setSelectionMode(QAbstractItemView::ContiguousSelection);
    m_standingsGrid->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_standingsGrid->setShowGrid(true);
    m_standingsGrid->setWordWrap(false);
    m_standingsGrid->setTextElideMode(Qt::ElideNone);  // a long name is cut at the cell's edge
    m_standingsGrid->setSortingEnabled(false);
    m_standingsGrid->verticalHeader()->hide();
    m_standingsGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_standingsGrid->verticalHeader()->setMinimumSectionSize(RowHeight);
    m_standingsGrid->verticalHeader()->setDefaultSectionSize(RowHeight);
    m_standingsGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_standingsGrid->horizontalHeader()->setStretchLastSection(false);
    m_standingsGrid->horizontalHeader()->setSectionsClickable(false);
    m_standingsGrid->horizontalHeader()->setHighlightSections(false);  // a bold header would outgrow its column
    m_standingsGrid->horizontalHeader()->setFixedHeight(RowHeight);
    m_standingsGrid->horizontalHeader()->setTextElideMode(Qt::ElideNone);
    auto* headerStyle = new GridHeaderStyle;
    headerStyle->setParent(m_standingsGrid->horizontalHeader());
    m_standingsGrid->horizontalHeader()->setStyle(headerStyle);
    // Positions come in the coordinates of the scroll area's viewport.
    const auto attachPopUp = [this](QAbstractScrollArea* part) {
        part->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(part, &QWidget::customContextMenuRequested, this,
                guarded([this, part](const QPoint& pos) { m_popUpMenu->popup(part->viewport()->mapToGlobal(pos)); }));
    };
    attachPopUp(m_standingsGrid);
    attachPopUp(m_standingsGrid->horizontalHeader());  // the header row belongs to the grid too
    layout->addWidget(m_standingsGrid, 1);
}

QAction* StandingsWindow::addMenuItem(QMenu* menu, const char* name, const QString& caption, const QString& hint)
{
    // Owned by the window, not the menu, so the hint travels up to the main window's hint panel.
    auto* item = new QAction(caption, this);
    item->setObjectName(QLatin1String(name));
    item->setStatusTip(hint);
    menu->addAction(item);
    return item;
}

void StandingsWindow::createPopUp()
{
    m_popUpMenu = new QMenu(this);
    m_popUpMenu->setObjectName(QStringLiteral("mnuPopUp"));
    m_sortMethodAction = addMenuItem(m_popUpMenu, "mnuSortMethod", QStringLiteral("Sort &Ascending"),
                                     QStringLiteral("Sort standings from lowest to highest (1 to 10, A to Z, etc.)"));
    m_sortMethodAction->setCheckable(true);
    connect(m_sortMethodAction, &QAction::triggered, this, guarded(this, &StandingsWindow::toggleSortDirection));

    m_sortByMenu = m_popUpMenu->addMenu(QStringLiteral("&Sort By"));
    m_sortByMenu->setObjectName(QStringLiteral("mnuSortBy"));
    auto* group = new QActionGroup(this);
    group->setExclusive(true);
    struct SortItem {
        QAction** item;
        const char* name;
        QString caption;
    };
    for (const SortItem& sort :
         {SortItem{&m_sortTotalAction, "mnuSortTotal", QStringLiteral("&Total Points")},
          SortItem{&m_sortPotentialAction, "mnuSortPotential", QStringLiteral("&Potential Points")},
          SortItem{&m_sortNameAction, "mnuSortName", QStringLiteral("&Name")},
          SortItem{&m_sortChampionAction, "mnuSortChamp", QStringLiteral("&Champion")}}) {
        QAction* action = addMenuItem(m_sortByMenu, sort.name, sort.caption, QString());
        action->setCheckable(true);
        group->addAction(action);
        connect(action, &QAction::triggered, this, guarded([this, action] { sortByTotal(action); }));
        *sort.item = action;
    }

    m_popUpMenu->addSeparator();
    m_copyAction =
        addMenuItem(m_popUpMenu, "mnuCopy", QStringLiteral("&Copy"), QStringLiteral("Copy standings to clipboard."));
    connect(m_copyAction, &QAction::triggered, this, guarded(this, &StandingsWindow::copyToClipboard));
    m_exportAction = addMenuItem(m_popUpMenu, "mnuExport", QStringLiteral("&Export..."),
                                 QStringLiteral("Export standings to a file."));
    connect(m_exportAction, &QAction::triggered, this, guarded(this, &StandingsWindow::exportStandings));
}

void StandingsWindow::prepareControls()
{
    m_exportRequest.title = ExportTitle;
    m_exportRequest.fileName = ExportName;
    m_exportRequest.defaultSuffix = ExportSuffix;
    m_exportRequest.filters = ExportFilters;
    m_exportRequest.filterIndex = ExportHtmlType;
    m_exportRequest.confirmOverwrite = true;
    m_exportRequest.suffixFollowsType = true;  // a CSV typed as "Standing" is "Standing.csv"

    // The region headers are read once: a rename shows in the next standings window.
    m_model = new StandingsModel(m_session.regionNames(), this);
    m_standingsGrid->setModel(m_model);
    for (int column = 0; column < StandingsColumnCount; ++column)
        m_standingsGrid->setColumnWidth(column, StandingsColumnWidths[static_cast<std::size_t>(column)]);

    PlayerList& players = m_session.players();
    players.setSort(SortKey::Total, players.sortAscending());
    m_sortTotalAction->setChecked(true);
    m_sortMethodAction->setChecked(players.sortAscending());
    refreshStandings();
}

void StandingsWindow::refreshStandings()
{
    BusyCursor busy;
    PlayerList& players = m_session.players();
    players.sort();
    m_model->refill(players, m_session.teams());
    std::string status = sortStatusText(players.sortKey(), players.sortAscending());
    // With an entry fee, the pot: the fee of every participant marked paid.
    SettingsFile store(m_session.settings());
    if (const double fee = outlook::parseFee(store.readString(settings::Other, settings::EntryFee, "")).value_or(0);
        fee > 0)
        status += "   Pot: " + outlook::moneyText(fee * outlook::paidParticipants(players));
    m_statusPanel->setText(fromAnsi(status));
}

void StandingsWindow::sortByTotal(QAction* item)
{
    SortKey key = SortKey::Champion;
    if (item == m_sortNameAction)
        key = SortKey::Name;
    else if (item == m_sortTotalAction)
        key = SortKey::Total;
    else if (item == m_sortPotentialAction)
        key = SortKey::Potential;
    PlayerList& players = m_session.players();
    players.setSort(key, players.sortAscending());
    refreshStandings();
    item->setChecked(true);
}

void StandingsWindow::toggleSortDirection()
{
    PlayerList& players = m_session.players();
    players.setSort(players.sortKey(), !players.sortAscending());
    m_sortMethodAction->setChecked(players.sortAscending());
    refreshStandings();
}

void StandingsWindow::copyToClipboard() { exportText(QString()); }

void StandingsWindow::exportStandings()
{
    SaveFileRequest request = m_exportRequest;
    if (!chooseFileToSave(m_session.settings(), request)) return;
    m_exportRequest.fileName = request.fileName;
    m_exportRequest.filterIndex = request.filterIndex;
    if (request.filterIndex == ExportHtmlType)
        exportHtml(request.fileName);
    else
        exportText(request.fileName);
}

// The clipboard, or a file of the type chosen last in the export dialog.
void StandingsWindow::exportText(const QString& fileName)
{
    if (fileName.isEmpty()) {
        BusyCursor busy;
        QGuiApplication::clipboard()->setText(fromAnsi(exportClipboardText(m_model->table(), m_main)));
        prompts().beep();
        return;
    }
    const TextSeparator separator =
        m_exportRequest.filterIndex == ExportCommaType ? TextSeparator::Comma : TextSeparator::Tab;
    writeExport(fileName, [&](const std::string& path) { exportTextFile(m_model->table(), path, separator, m_main); });
}

void StandingsWindow::exportHtml(const QString& fileName)
{
    writeExport(fileName, [&](const std::string& path) {
        exportHtmlFile(m_model->table(), path, asOfText(m_session.today()), m_main);
    });
}

// A failed write is shown as any escaped error would be, and nothing claims success.
void StandingsWindow::writeExport(const QString& fileName, const std::function<void(const std::string&)>& write)
{
    BusyCursor busy;
    try {
        write(QFile::encodeName(fileName).toStdString());
    } catch (const std::exception& error) {
        reportError(error);
        return;
    }
    m_main.setStatusText(fromAnsi(ExportSuccessPrefix) + QDir::toNativeSeparators(fileName));
}
