#include "gui/standings/standings_window.h"

#include <QActionGroup>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProxyStyle>
#include <QTableView>
#include <QVBoxLayout>

#include "gui/widgets/ansi_text.h"
#include "gui/widgets/guarded.h"
#include "gui/widgets/busy_cursor.h"
#include "core/session/pool_session.h"
#include "gui/widgets/frame.h"
#include "core/transfer/standings_export.h"
#include "gui/standings/standings_model.h"

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

TfrmStandings::TfrmStandings(TPoolSession& session, IFrame& frame, QWidget* parent)
    : TChildForm(parent), m_session(session), m_main(frame)
{
    setWindowTitle(QStringLiteral("Standings"));
    createControls();
    createPopUp();
    FormCreate();
}

TfrmStandings::~TfrmStandings() = default;

void TfrmStandings::createControls()
{
    setNormalSize(NormalSize);
    QVBoxLayout* layout = addStatusStrip(pnlStatus);
    pnlStatus->setFixedHeight(StatusHeight);
    pnlStatus->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QPalette red = pnlStatus->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    pnlStatus->setPalette(red);

    grdStandings = new QTableView(this);
    grdStandings->setObjectName(QStringLiteral("grdStandings"));
    grdStandings->setToolTip(QStringLiteral("Right-click for options"));
    grdStandings->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdStandings->setSelectionMode(QAbstractItemView::ContiguousSelection);
    grdStandings->setSelectionBehavior(QAbstractItemView::SelectItems);
    grdStandings->setShowGrid(true);
    grdStandings->setWordWrap(false);
    grdStandings->setTextElideMode(Qt::ElideNone);  // a long name is cut at the cell's edge
    grdStandings->setSortingEnabled(false);
    grdStandings->verticalHeader()->hide();
    grdStandings->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdStandings->verticalHeader()->setMinimumSectionSize(RowHeight);
    grdStandings->verticalHeader()->setDefaultSectionSize(RowHeight);
    grdStandings->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grdStandings->horizontalHeader()->setStretchLastSection(false);
    grdStandings->horizontalHeader()->setSectionsClickable(false);
    grdStandings->horizontalHeader()->setHighlightSections(false);  // a bold header would outgrow its column
    grdStandings->horizontalHeader()->setFixedHeight(RowHeight);
    grdStandings->horizontalHeader()->setTextElideMode(Qt::ElideNone);
    auto* headerStyle = new GridHeaderStyle;
    headerStyle->setParent(grdStandings->horizontalHeader());
    grdStandings->horizontalHeader()->setStyle(headerStyle);
    // Positions come in the coordinates of the scroll area's viewport.
    const auto attachPopUp = [this](QAbstractScrollArea* part) {
        part->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(part, &QWidget::customContextMenuRequested, this,
                guarded([this, part](const QPoint& pos) { mnuPopUp->popup(part->viewport()->mapToGlobal(pos)); }));
    };
    attachPopUp(grdStandings);
    attachPopUp(grdStandings->horizontalHeader());  // the header row belongs to the grid too
    layout->addWidget(grdStandings, 1);
}

QAction* TfrmStandings::addMenuItem(QMenu* menu, const char* name, const QString& caption, const QString& hint)
{
    // Owned by the window, not the menu, so the hint travels up to the main window's hint panel.
    auto* item = new QAction(caption, this);
    item->setObjectName(QLatin1String(name));
    item->setStatusTip(hint);
    menu->addAction(item);
    return item;
}

void TfrmStandings::createPopUp()
{
    mnuPopUp = new QMenu(this);
    mnuPopUp->setObjectName(QStringLiteral("mnuPopUp"));
    mnuSortMethod = addMenuItem(mnuPopUp, "mnuSortMethod", QStringLiteral("Sort &Ascending"),
                                QStringLiteral("Sort standings from lowest to highest (1 to 10, A to Z, etc.)"));
    mnuSortMethod->setCheckable(true);
    connect(mnuSortMethod, &QAction::triggered, this, guarded(this, &TfrmStandings::mnuSortMethodClick));

    mnuSortBy = mnuPopUp->addMenu(QStringLiteral("&Sort By"));
    mnuSortBy->setObjectName(QStringLiteral("mnuSortBy"));
    auto* group = new QActionGroup(this);
    group->setExclusive(true);
    struct SortItem {
        QAction** item;
        const char* name;
        QString caption;
    };
    for (const SortItem& sort : {SortItem{&mnuSortTotal, "mnuSortTotal", QStringLiteral("&Total Points")},
                                 SortItem{&mnuSortPotential, "mnuSortPotential", QStringLiteral("&Potential Points")},
                                 SortItem{&mnuSortName, "mnuSortName", QStringLiteral("&Name")},
                                 SortItem{&mnuSortChamp, "mnuSortChamp", QStringLiteral("&Champion")}}) {
        QAction* action = addMenuItem(mnuSortBy, sort.name, sort.caption, QString());
        action->setCheckable(true);
        group->addAction(action);
        connect(action, &QAction::triggered, this, guarded([this, action] { mnuSortTotalClick(action); }));
        *sort.item = action;
    }

    mnuPopUp->addSeparator();
    mnuCopy = addMenuItem(mnuPopUp, "mnuCopy", QStringLiteral("&Copy"), QStringLiteral("Copy standings to clipboard."));
    connect(mnuCopy, &QAction::triggered, this, guarded(this, &TfrmStandings::mnuCopyClick));
    mnuExport =
        addMenuItem(mnuPopUp, "mnuExport", QStringLiteral("&Export..."), QStringLiteral("Export standings to a file."));
    connect(mnuExport, &QAction::triggered, this, guarded(this, &TfrmStandings::mnuExportClick));
}

void TfrmStandings::FormCreate()
{
    dlgExport.title = ExportTitle;
    dlgExport.directory = QString::fromStdString(m_session.dataDir());
    dlgExport.fileName = ExportName;
    dlgExport.defaultSuffix = ExportSuffix;
    dlgExport.filters = ExportFilters;
    dlgExport.filterIndex = ExportHtmlType;
    dlgExport.confirmOverwrite = true;
    dlgExport.suffixFollowsType = true;  // a CSV typed as "Standing" is "Standing.csv"

    // The region headers are read once: a rename shows in the next standings window.
    m_model = new TStandingsModel(m_session.regionNames(), this);
    grdStandings->setModel(m_model);
    for (int column = 0; column < StandingsColumnCount; ++column)
        grdStandings->setColumnWidth(column, StandingsColumnWidths[static_cast<std::size_t>(column)]);

    TPlayers& players = m_session.players();
    players.setSort(SortKey::Total, players.SortAscending());
    mnuSortTotal->setChecked(true);
    mnuSortMethod->setChecked(players.SortAscending());
    RefreshStandings();
}

void TfrmStandings::RefreshStandings()
{
    BusyCursor busy;
    TPlayers& players = m_session.players();
    players.sort();
    m_model->refill(players, m_session.teams());
    pnlStatus->setText(fromAnsi(sortStatusText(players.SortKey(), players.SortAscending())));
}

void TfrmStandings::mnuSortTotalClick(QAction* item)
{
    SortKey key = SortKey::Champion;
    if (item == mnuSortName)
        key = SortKey::Name;
    else if (item == mnuSortTotal)
        key = SortKey::Total;
    else if (item == mnuSortPotential)
        key = SortKey::Potential;
    TPlayers& players = m_session.players();
    players.setSort(key, players.SortAscending());
    RefreshStandings();
    item->setChecked(true);
}

void TfrmStandings::mnuSortMethodClick()
{
    TPlayers& players = m_session.players();
    players.setSort(players.SortKey(), !players.SortAscending());
    mnuSortMethod->setChecked(players.SortAscending());
    RefreshStandings();
}

void TfrmStandings::mnuCopyClick() { ExportText(QString()); }

void TfrmStandings::mnuExportClick()
{
    SaveFileRequest request = dlgExport;
    if (!prompts().saveFile(request)) return;
    dlgExport.fileName = request.fileName;
    dlgExport.filterIndex = request.filterIndex;
    if (request.filterIndex == ExportHtmlType)
        ExportHtml(request.fileName);
    else
        ExportText(request.fileName);
}

// The clipboard, or a file of the type chosen last in the export dialog.
void TfrmStandings::ExportText(const QString& fileName)
{
    if (fileName.isEmpty()) {
        BusyCursor busy;
        QGuiApplication::clipboard()->setText(fromAnsi(exportClipboardText(m_model->table(), m_main)));
        prompts().beep();
        return;
    }
    const TextSeparator separator =
        dlgExport.filterIndex == ExportCommaType ? TextSeparator::Comma : TextSeparator::Tab;
    writeExport(fileName, [&](const std::string& path) { exportTextFile(m_model->table(), path, separator, m_main); });
}

void TfrmStandings::ExportHtml(const QString& fileName)
{
    writeExport(fileName,
                [&](const std::string& path) { exportHtmlFile(m_model->table(), path, asOfText(m_session.today()), m_main); });
}

// A failed write is shown as any escaped error would be, and nothing claims success.
void TfrmStandings::writeExport(const QString& fileName, const std::function<void(const std::string&)>& write)
{
    BusyCursor busy;
    try {
        write(QFile::encodeName(fileName).toStdString());
    } catch (const std::exception& error) {
        reportError(error);
        return;
    }
    m_main.SetStatusText(fromAnsi(ExportSuccessPrefix) + QDir::toNativeSeparators(fileName));
}
