#include "gui/outlook/outlook_window.h"

#include <QAbstractTableModel>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableView>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "core/outlook/payouts.h"
#include "core/pool/errors.h"
#include "core/pool/file_io.h"
#include "core/session/pool_session.h"
#include "core/settings/settings.h"
#include "core/transfer/standings_export.h"
#include "gui/settings/dialog_folder.h"
#include "gui/widgets/ansi_text.h"
#include "gui/widgets/busy_cursor.h"
#include "gui/widgets/frame.h"
#include "gui/widgets/guarded.h"

using namespace outlook;

namespace {
constexpr QSize NormalSize{640, 316};
constexpr int RowHeight = 16;
constexpr std::array<int, OutlookColumnCount> ColumnWidths = {27, 150, 55, 70, 75, 55, 110, 60, 90};

const QString SaveAsTitle = QStringLiteral("Save Pool Outlook");
const QStringList SaveAsFilters = {QStringLiteral("HTML (*.htm)"), QStringLiteral("Comma Separated (*.csv)"),
                                   QStringLiteral("Tab Separated (*.txt)")};
constexpr int HtmlType = 1;
constexpr int CommaType = 2;

QString roundHeader(int round)
{
    static const char* const Names[RoundCount + 1] = {"",        "1st Round", "2nd Round",   "Sweet 16",
                                                      "Elite 8", "Final 4",   "Championship"};
    return QString::fromLatin1(Names[std::clamp(round, 0, RoundCount)]);
}

int clampPlaces(int places) { return std::clamp(places, 1, MaxPaidPlaces); }

// Put before everything the status strip says while a What If sheet is open.
QString whatIfPrefix(int decided)
{
    return QStringLiteral("What if: %1 %2 decided. ")
        .arg(decided)
        .arg(decided == 1 ? QStringLiteral("game") : QStringLiteral("games"));
}
}  // namespace

// The outlook grid: the table's rows, Win % also as a bar.
class OutlookModel final : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;
    const OutlookTable& table() const { return m_table; }
    void setTable(OutlookTable table)
    {
        beginResetModel();
        m_table = std::move(table);
        endResetModel();
    }
    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_table.rows().size());
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : m_table.columnCount();
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        const OutlookRow& row = m_table.rows()[std::size_t(index.row())];
        switch (role) {
        case Qt::DisplayRole: return fromAnsi(row.cells[std::size_t(index.column())]);
        case Qt::UserRole: return row.winPercent;
        case Qt::TextAlignmentRole:
            return index.column() == NameColumn || index.column() == CanWinColumn
                       ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                       : QVariant(Qt::AlignRight | Qt::AlignVCenter);
        default: return {};
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
        return QString::fromLatin1(OutlookHeaders[std::size_t(section)]);
    }

private:
    OutlookTable m_table;
};

// Who picked whom: a row per team still alive, a column per round still to play.
class PickedModel final : public QAbstractTableModel {
public:
    PickedModel(const TeamTable& teams, const std::array<std::string, 4>& regions, QObject* parent)
        : QAbstractTableModel(parent), m_teams(teams), m_regions(regions)
    {
    }
    void setShares(PickedShares shares)
    {
        beginResetModel();
        m_shares = std::move(shares);
        endResetModel();
    }
    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_shares.rows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : 1 + int(m_shares.rounds.size());
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        const PickedRow& row = m_shares.rows[std::size_t(index.row())];
        if (index.column() == 0) {
            if (role != Qt::DisplayRole) return {};
            const std::string& region = m_regions[std::size_t(regionOfCode(row.team) - 1)];
            return QStringLiteral("%1 %2 %3")
                .arg(fromAnsi(region))
                .arg(seedOfCode(row.team))
                .arg(toQString(m_teams.teamName(row.team)))
                .trimmed();
        }
        const double share = row.shares[std::size_t(index.column() - 1)];
        switch (role) {
        case Qt::DisplayRole: return QString::fromStdString(percentText(share));
        case Qt::TextAlignmentRole: return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        case Qt::BackgroundRole: {
            // White for nobody, deep orange for everybody.
            const double t = std::clamp(share / 100.0, 0.0, 1.0);
            return QColor(255, int(255 - t * 115), int(255 - t * 215));
        }
        case Qt::ForegroundRole: return QColor(Qt::black);
        default: return {};
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
        if (section == 0) return QStringLiteral("Team");
        return roundHeader(m_shares.rounds[std::size_t(section - 1)]);
    }

private:
    const TeamTable& m_teams;
    std::array<std::string, 4> m_regions;
    PickedShares m_shares;
};

// The standings page: every participant scored against the results the outlook uses.
class ScoreModel final : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;
    void setRows(std::vector<ScoreRow> rows)
    {
        beginResetModel();
        m_rows = std::move(rows);
        endResetModel();
    }
    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(m_rows.size()); }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : ScoreColumnCount; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        switch (role) {
        case Qt::DisplayRole: return fromAnsi(m_rows[std::size_t(index.row())].cells[std::size_t(index.column())]);
        case Qt::TextAlignmentRole:
            return index.column() == 1 ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                       : QVariant(Qt::AlignRight | Qt::AlignVCenter);
        default: return {};
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
        return QString::fromLatin1(ScoreHeaders[std::size_t(section)]);
    }

private:
    std::vector<ScoreRow> m_rows;
};

namespace {
// Win % as a bar behind its figure.
class WinBarDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const double percent = std::clamp(index.data(Qt::UserRole).toDouble(), 0.0, 100.0);
        QRect bar = option.rect.adjusted(1, 2, -1, -2);
        bar.setWidth(int(bar.width() * percent / 100.0 + 0.5));
        if (bar.width() > 0) painter->fillRect(bar, QColor(120, 180, 240));
        QStyledItemDelegate::paint(painter, option, index);
    }
};

QTableView* makeGrid(QWidget* parent, const char* name)
{
    auto* grid = new QTableView(parent);
    grid->setObjectName(QLatin1String(name));
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Read only: Tab goes on to the next control instead of walking (and wrapping round) the cells.
    grid->setTabKeyNavigation(false);
    grid->setSelectionMode(QAbstractItemView::ContiguousSelection);
    grid->setWordWrap(false);
    grid->setTextElideMode(Qt::ElideNone);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setMinimumSectionSize(RowHeight);
    grid->verticalHeader()->setDefaultSectionSize(RowHeight);
    grid->horizontalHeader()->setSectionsClickable(false);
    grid->horizontalHeader()->setTextElideMode(Qt::ElideNone);
    return grid;
}
}  // namespace

struct OutlookWindow::Run {
    OutlookInput input;
    std::vector<std::string> names;
    QString whatIf;  // the status strip's prefix while a What If sheet is open
    std::atomic<bool> cancel{false};
    OutlookResult result;
    bool withWinnings = false;  // an entry fee is set: Exp. Winnings is shown
    std::string error;
};

OutlookWindow::OutlookWindow(PoolSession& session, Frame& frame, QWidget* parent)
    : ChildWindow(parent), m_session(session), m_main(frame)
{
    setWindowTag(OutlookTag);
    setWindowTitle(QStringLiteral("Pool Outlook"));
    createControls();
    createPopUp();
    m_saveAsRequest.title = SaveAsTitle;
    m_saveAsRequest.fileName = QStringLiteral("Outlook");
    m_saveAsRequest.defaultSuffix = QStringLiteral("htm");
    m_saveAsRequest.filters = SaveAsFilters;
    m_saveAsRequest.filterIndex = HtmlType;
    m_saveAsRequest.confirmOverwrite = true;
    m_saveAsRequest.suffixFollowsType = true;
    startComputing();
    // Every change of the entries, the results, the options or the what-if changes the figures;
    // a scoring pass does not (they are computed from the picks).
    m_poolChanges = m_session.subscribe(guarded([this](const PoolEvent& event) {
        if (event.change != PoolChange::Rescored) scheduleRefresh();
    }));
}

OutlookWindow::~OutlookWindow()
{
    if (m_worker) {
        m_run->cancel = true;
        m_worker->wait();
        m_main.setProgress(0);
    }
}

void OutlookWindow::closeEvent(QCloseEvent* event)
{
    ChildWindow::closeEvent(event);
    if (event->isAccepted()) m_poolChanges.reset();
}

const OutlookTable& OutlookWindow::table() const { return m_model->table(); }

void OutlookWindow::createControls()
{
    setNormalSize(NormalSize);
    QVBoxLayout* layout = addStatusStrip(m_statusPanel);
    m_statusPanel->setMinimumWidth(1);  // a long summary must not widen the window

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("pcOutlook"));
    layout->addWidget(m_pages, 1);

    // The paid places and Cancel sit beside the page tabs.
    auto* corner = new QWidget(m_pages);
    auto* strip = new QHBoxLayout(corner);
    strip->setContentsMargins(0, 0, 2, 0);
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), corner);
    m_cancelButton->setObjectName(QStringLiteral("btnCancel"));
    m_cancelButton->setToolTip(QStringLiteral("Stop computing the outlook"));
    connect(m_cancelButton, &QPushButton::clicked, this, guarded(this, &OutlookWindow::cancelRun));
    strip->addWidget(m_cancelButton);
    m_computeButton = new QPushButton(QStringLiteral("Com&pute"), corner);
    m_computeButton->setObjectName(QStringLiteral("btnCompute"));
    m_computeButton->setToolTip(QStringLiteral("Compute the outlook again (F5)"));
    m_computeButton->setVisible(false);
    connect(m_computeButton, &QPushButton::clicked, this, guarded(this, &OutlookWindow::computeAgain));
    strip->addWidget(m_computeButton);
    m_computeAction = new QAction(QStringLiteral("Compute Again"), this);
    m_computeAction->setObjectName(QStringLiteral("actCompute"));
    m_computeAction->setShortcut(QKeySequence(Qt::Key_F5));
    m_computeAction->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(m_computeAction, &QAction::triggered, this, guarded(this, &OutlookWindow::computeAgain));
    addAction(m_computeAction);
    m_whatIfButton = new QPushButton(QStringLiteral("What If..."), corner);
    m_whatIfButton->setObjectName(QStringLiteral("btnWhatIf"));
    m_whatIfButton->setToolTip(QStringLiteral("Choose winners of games not played yet"));
    connect(m_whatIfButton, &QPushButton::clicked, this, guarded(this, &OutlookWindow::onWhatIfPressed));
    strip->addWidget(m_whatIfButton);
    m_placesLabel = new QLabel(QStringLiteral("Paid places:"), corner);
    m_placesLabel->setObjectName(QStringLiteral("lblPlaces"));
    strip->addWidget(m_placesLabel);
    m_placesBox = new QSpinBox(corner);
    m_placesBox->setObjectName(QStringLiteral("txtPlaces"));
    m_placesBox->setRange(1, MaxPaidPlaces);
    m_placesBox->setToolTip(QStringLiteral("How many places win money"));
    {
        SettingsFile store(m_session.settings());
        const QSignalBlocker quiet(m_placesBox);
        m_placesBox->setValue(
            clampPlaces(store.readInteger(settings::Other, settings::OutlookPlaces, settings::DefaultOutlookPlaces)));
    }
    m_placesLabel->setBuddy(m_placesBox);
    connect(m_placesBox, &QSpinBox::valueChanged, this, guarded(this, &OutlookWindow::onPlacesEdited));
    strip->addWidget(m_placesBox);
    m_pages->setCornerWidget(corner, Qt::TopRightCorner);

    m_model = new OutlookModel(this);
    m_outlookGrid = makeGrid(this, "grdOutlook");
    m_outlookGrid->setModel(m_model);
    m_outlookGrid->setItemDelegateForColumn(WinColumn, new WinBarDelegate(m_outlookGrid));
    for (int column = 0; column < OutlookColumnCount; ++column)
        m_outlookGrid->setColumnWidth(column, ColumnWidths[std::size_t(column)]);
    m_pages->addTab(m_outlookGrid, QStringLiteral("&Outlook"));

    m_picked = new PickedModel(m_session.teams(), m_session.regionNames(), this);
    m_pickedGrid = makeGrid(this, "grdPicked");
    m_pickedGrid->setModel(m_picked);
    m_pickedGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_pages->addTab(m_pickedGrid, QStringLiteral("Who Pic&ked Whom"));  // Alt+W is the Window menu's

    m_scores = new ScoreModel(this);
    m_whatIfStandingsGrid = makeGrid(this, "grdWhatIfStandings");
    m_whatIfStandingsGrid->setModel(m_scores);
    for (int column = 0; column < ScoreColumnCount; ++column)
        m_whatIfStandingsGrid->setColumnWidth(column, StandingsColumnWidths[std::size_t(column)]);
    m_pages->addTab(m_whatIfStandingsGrid, QStringLiteral("&Standings"));

    m_refreshTimer = new QTimer(this);
    m_refreshTimer->setSingleShot(true);
    m_refreshTimer->setInterval(0);
    connect(m_refreshTimer, &QTimer::timeout, this, guarded(this, &OutlookWindow::startComputing));
}

void OutlookWindow::createPopUp()
{
    m_popUpMenu = new QMenu(this);
    m_popUpMenu->setObjectName(QStringLiteral("mnuPopUp"));
    const auto item = [this](const char* name, const QString& caption, const QString& hint) {
        auto* action = new QAction(caption, this);
        action->setObjectName(QLatin1String(name));
        action->setStatusTip(hint);
        m_popUpMenu->addAction(action);
        return action;
    };
    m_copyAction = item("mnuCopy", QStringLiteral("&Copy"), QStringLiteral("Copy the outlook to the clipboard."));
    connect(m_copyAction, &QAction::triggered, this, guarded(this, &OutlookWindow::copyToClipboard));
    m_saveAsAction = item("mnuSaveAs", QStringLiteral("Save &As..."), QStringLiteral("Save the outlook to a file."));
    connect(m_saveAsAction, &QAction::triggered, this, guarded(this, &OutlookWindow::saveAs));
    // Every page has the menu; Copy and Save As take the page it was opened on.
    for (QTableView* grid : {m_outlookGrid, m_pickedGrid, m_whatIfStandingsGrid}) {
        grid->setToolTip(QStringLiteral("Right-click for options"));
        for (QAbstractScrollArea* part :
             {static_cast<QAbstractScrollArea*>(grid), static_cast<QAbstractScrollArea*>(grid->horizontalHeader())}) {
            part->setContextMenuPolicy(Qt::CustomContextMenu);
            connect(part, &QWidget::customContextMenuRequested, this, guarded([this, part](const QPoint& pos) {
                        m_popUpMenu->popup(part->viewport()->mapToGlobal(pos));
                    }));
        }
    }
}

void OutlookWindow::scheduleRefresh()
{
    if (m_worker) {
        m_again = true;
        m_run->cancel = true;
        return;
    }
    m_refreshTimer->start();
}

void OutlookWindow::startComputing()
{
    if (m_worker) return;
    m_again = false;
    SettingsFile store(m_session.settings());
    const int places =
        clampPlaces(store.readInteger(settings::Other, settings::OutlookPlaces, settings::DefaultOutlookPlaces));
    auto run = std::make_shared<Run>();
    run->input = outlookInputOf(m_session.players(), m_session.readScoringValues(), places);
    const Money money = moneyOf(store.readString(settings::Other, settings::EntryFee, ""),
                                store.readString(settings::Other, settings::Payouts, settings::DefaultPayouts));
    if (money.fee > 0)
        run->input.prizes = prizesOf(money.fee * paidParticipants(m_session.players()), money.fee, money.payouts);
    run->withWinnings = money.fee > 0;
    if (const std::optional<Frame::WhatIf> whatIf = m_main.whatIf()) {
        run->input.results = whatIf->results;
        run->whatIf = whatIfPrefix(whatIf->decided);
    }
    run->names = participantNames(m_session.players());
    m_picked->setShares(pickedShares(run->input));
    m_scores->setRows(scoreRows(run->input, run->names));
    m_run = run;

    showStatus(run->whatIf +
               QStringLiteral("Computing the outlook of %1 participants...").arg(run->input.participants.size()));
    m_cancelButton->setVisible(true);
    m_computeButton->setVisible(false);
    // The window outlives its thread (the destructor waits for it), and a queued call is dropped
    // once the window is gone.
    m_worker = QThread::create([run, this] {
        OutlookOptions options;
        options.cancel = &run->cancel;
        options.progress = [this](double done) {
            QMetaObject::invokeMethod(
                this, [this, done] { m_main.setProgress(int(done * 100)); }, Qt::QueuedConnection);
        };
        try {
            run->result = computeOutlook(run->input, options);
        } catch (const std::exception& error) {
            run->error = error.what();
        }
    });
    connect(m_worker, &QThread::finished, this, guarded(this, &OutlookWindow::finishComputing));
    m_worker->start(QThread::LowPriority);
}

void OutlookWindow::finishComputing()
{
    m_worker->wait();
    m_worker->deleteLater();
    m_worker = nullptr;
    m_main.setProgress(0);
    m_cancelButton->setVisible(false);
    m_computeButton->setVisible(true);
    const std::shared_ptr<Run> run = m_run;
    if (m_again) {
        startComputing();
        return;
    }
    if (!run->error.empty()) {
        showStatus(run->whatIf + QStringLiteral("The outlook could not be computed: %1").arg(fromMessage(run->error)));
        emit computed();
        throw HoopError(run->error);
    }
    if (run->result.cancelled) {
        showStatus(run->whatIf + QStringLiteral("Cancelled; the figures shown are from before the last change."));
        emit computed();
        return;
    }
    const int columns = m_model->columnCount();
    m_model->setTable(OutlookTable(run->result, run->names, run->withWinnings));
    // Exp. Winnings comes and goes with the entry fee.
    for (int column = columns; column < m_model->columnCount(); ++column)
        m_outlookGrid->setColumnWidth(column, ColumnWidths[std::size_t(column)]);
    showStatus(run->whatIf + fromAnsi(m_model->table().summary()));
    emit computed();
}

void OutlookWindow::cancelRun()
{
    if (m_run) m_run->cancel = true;
}

void OutlookWindow::computeAgain()
{
    if (!m_worker) startComputing();
}

PageGrid OutlookWindow::shownPage() const
{
    const auto* grid = static_cast<const QTableView*>(m_pages->currentWidget());
    const QAbstractItemModel* model = grid->model();
    PageGrid page;
    page.title = grid == m_pickedGrid ? "Who Picked Whom" : "Pool Outlook Standings";
    for (int column = 0; column < model->columnCount(); ++column) {
        page.headers.push_back(toAnsi(model->headerData(column, Qt::Horizontal).toString()));
        // The team and the name are text; the other columns are figures.
        page.textColumns.push_back(grid == m_pickedGrid ? column == 0 : column == 1);
    }
    for (int row = 0; row < model->rowCount(); ++row) {
        std::vector<std::string> cells;
        for (int column = 0; column < model->columnCount(); ++column)
            cells.push_back(toAnsi(model->index(row, column).data().toString()));
        page.rows.push_back(std::move(cells));
    }
    return page;
}

void OutlookWindow::onWhatIfPressed() { m_main.openWhatIf(); }

void OutlookWindow::onPlacesEdited(int places)
{
    SettingsFile store(m_session.settings());
    store.writeInteger(settings::Other, settings::OutlookPlaces, clampPlaces(places));
    scheduleRefresh();
}

void OutlookWindow::showStatus(const QString& text)
{
    m_statusPanel->setText(text);
    m_statusPanel->setToolTip(text);  // the whole text when the strip is too narrow for it
}

void OutlookWindow::copyToClipboard()
{
    BusyCursor busy;
    const std::string text = m_pages->currentWidget() == m_outlookGrid
                                 ? outlookText(m_model->table(), OutlookFormat::Tab, "\r\n")
                                 : pageGridText(shownPage(), OutlookFormat::Tab, "\r\n");
    QGuiApplication::clipboard()->setText(fromAnsi(text));
    prompts().beep();
}

void OutlookWindow::saveAs()
{
    const bool outlookPage = m_pages->currentWidget() == m_outlookGrid;
    SaveFileRequest request = m_saveAsRequest;
    if (!outlookPage)
        request.fileName =
            m_pages->currentWidget() == m_pickedGrid ? QStringLiteral("Picked") : QStringLiteral("Standings");
    if (!chooseFileToSave(m_session.settings(), request)) return;
    if (outlookPage) m_saveAsRequest.fileName = request.fileName;
    m_saveAsRequest.filterIndex = request.filterIndex;
    BusyCursor busy;
    // The text types as UTF-8 with a byte-order mark, as the standings export writes them.
    const OutlookFormat format = request.filterIndex == CommaType ? OutlookFormat::Comma : OutlookFormat::Tab;
    std::string content;
    if (outlookPage)
        content = request.filterIndex == HtmlType ? outlookHtml(m_model->table(), asOfText(m_session.today()))
                                                  : utf8FileText(outlookText(m_model->table(), format, "\r\n"));
    else
        content = request.filterIndex == HtmlType ? pageGridHtml(shownPage(), asOfText(m_session.today()))
                                                  : utf8FileText(pageGridText(shownPage(), format, "\r\n"));
    writeFileAtomic(QFile::encodeName(request.fileName).toStdString(), content);
    m_main.setStatusText(QStringLiteral("Pool Outlook saved to ") + QDir::toNativeSeparators(request.fileName));
}
