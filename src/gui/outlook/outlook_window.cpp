#include "gui/outlook/outlook_window.h"

#include <QAbstractTableModel>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
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

#include "core/pool/errors.h"
#include "core/pool/file_io.h"
#include "core/session/pool_session.h"
#include "core/settings/settings.h"
#include "core/transfer/standings_export.h"
#include "gui/widgets/ansi_text.h"
#include "gui/widgets/busy_cursor.h"
#include "gui/widgets/frame.h"
#include "gui/widgets/guarded.h"

using namespace outlook;

namespace {
constexpr QSize NormalSize{640, 316};
constexpr int RowHeight = 16;
constexpr std::array<int, OutlookColumnCount> ColumnWidths = {27, 150, 55, 70, 75, 55, 110, 60};

const QString SaveAsTitle = QStringLiteral("Save Pool Outlook");
const QStringList SaveAsFilters = {QStringLiteral("HTML (*.htm)"), QStringLiteral("Comma Separated (*.csv)"),
                                   QStringLiteral("Tab Separated (*.txt)")};
constexpr int HtmlType = 1;
constexpr int CommaType = 2;

QString roundHeader(int round)
{
    static const char* const Names[RoundCount + 1] = {"", "1st Round", "2nd Round", "Sweet 16", "Elite 8", "Final 4",
                                                       "Championship"};
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
class TOutlookModel final : public QAbstractTableModel {
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
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : OutlookColumnCount; }
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
class TPickedModel final : public QAbstractTableModel {
public:
    TPickedModel(const TTeamTable& teams, const std::array<std::string, 4>& regions, QObject* parent)
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
                .arg(SeedOfCode(row.team))
                .arg(fromAnsi(std::string(m_teams.nameView(row.team))))
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
    const TTeamTable& m_teams;
    std::array<std::string, 4> m_regions;
    PickedShares m_shares;
};

// The standings page: every participant scored against the results the outlook uses.
class TScoreModel final : public QAbstractTableModel {
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

struct TfrmOutlook::Run {
    OutlookInput input;
    std::vector<std::string> names;
    QString whatIf;  // the status strip's prefix while a What If sheet is open
    std::atomic<bool> cancel{false};
    OutlookResult result;
    std::string error;
};

TfrmOutlook::TfrmOutlook(TPoolSession& session, IFrame& frame, QWidget* parent)
    : TChildForm(parent), m_session(session), m_main(frame)
{
    setWindowTag(OutlookTag);
    setWindowTitle(QStringLiteral("Pool Outlook"));
    createControls();
    createPopUp();
    dlgSaveAs.title = SaveAsTitle;
    dlgSaveAs.directory = QString::fromStdString(m_session.dataDir());
    dlgSaveAs.fileName = QStringLiteral("Outlook");
    dlgSaveAs.defaultSuffix = QStringLiteral("htm");
    dlgSaveAs.filters = SaveAsFilters;
    dlgSaveAs.filterIndex = HtmlType;
    dlgSaveAs.confirmOverwrite = true;
    dlgSaveAs.suffixFollowsType = true;
    startComputing();
}

TfrmOutlook::~TfrmOutlook()
{
    if (m_worker) {
        m_run->cancel = true;
        m_worker->wait();
        m_main.SetProgress(0);
    }
}

const OutlookTable& TfrmOutlook::table() const { return m_model->table(); }

void TfrmOutlook::createControls()
{
    setNormalSize(NormalSize);
    QVBoxLayout* layout = addStatusStrip(pnlStatus);
    pnlStatus->setMinimumWidth(1);  // a long summary must not widen the window

    pcOutlook = new QTabWidget(this);
    pcOutlook->setObjectName(QStringLiteral("pcOutlook"));
    layout->addWidget(pcOutlook, 1);

    // The paid places and Cancel sit beside the page tabs.
    auto* corner = new QWidget(pcOutlook);
    auto* strip = new QHBoxLayout(corner);
    strip->setContentsMargins(0, 0, 2, 0);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), corner);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setToolTip(QStringLiteral("Stop computing the outlook"));
    connect(btnCancel, &QPushButton::clicked, this, guarded(this, &TfrmOutlook::btnCancelClick));
    strip->addWidget(btnCancel);
    btnWhatIf = new QPushButton(QStringLiteral("What If..."), corner);
    btnWhatIf->setObjectName(QStringLiteral("btnWhatIf"));
    btnWhatIf->setToolTip(QStringLiteral("Choose winners of games not played yet"));
    connect(btnWhatIf, &QPushButton::clicked, this, guarded(this, &TfrmOutlook::btnWhatIfClick));
    strip->addWidget(btnWhatIf);
    lblPlaces = new QLabel(QStringLiteral("Paid places:"), corner);
    lblPlaces->setObjectName(QStringLiteral("lblPlaces"));
    strip->addWidget(lblPlaces);
    txtPlaces = new QSpinBox(corner);
    txtPlaces->setObjectName(QStringLiteral("txtPlaces"));
    txtPlaces->setRange(1, MaxPaidPlaces);
    txtPlaces->setToolTip(QStringLiteral("How many places win money"));
    {
        TRegIniFile store(m_session.settings());
        const QSignalBlocker quiet(txtPlaces);
        txtPlaces->setValue(
            clampPlaces(store.ReadInteger(settings::Other, settings::OutlookPlaces, settings::DefaultOutlookPlaces)));
    }
    lblPlaces->setBuddy(txtPlaces);
    connect(txtPlaces, &QSpinBox::valueChanged, this, guarded(this, &TfrmOutlook::txtPlacesChange));
    strip->addWidget(txtPlaces);
    pcOutlook->setCornerWidget(corner, Qt::TopRightCorner);

    m_model = new TOutlookModel(this);
    grdOutlook = makeGrid(this, "grdOutlook");
    grdOutlook->setToolTip(QStringLiteral("Right-click for options"));
    grdOutlook->setModel(m_model);
    grdOutlook->setItemDelegateForColumn(WinColumn, new WinBarDelegate(grdOutlook));
    for (int column = 0; column < OutlookColumnCount; ++column)
        grdOutlook->setColumnWidth(column, ColumnWidths[std::size_t(column)]);
    pcOutlook->addTab(grdOutlook, QStringLiteral("&Outlook"));

    m_picked = new TPickedModel(m_session.teams(), m_session.regionNames(), this);
    grdPicked = makeGrid(this, "grdPicked");
    grdPicked->setModel(m_picked);
    grdPicked->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    pcOutlook->addTab(grdPicked, QStringLiteral("Who Pic&ked Whom"));  // Alt+W is the Window menu's

    m_scores = new TScoreModel(this);
    grdWhatIfStandings = makeGrid(this, "grdWhatIfStandings");
    grdWhatIfStandings->setModel(m_scores);
    for (int column = 0; column < ScoreColumnCount; ++column)
        grdWhatIfStandings->setColumnWidth(column, StandingsColumnWidths[std::size_t(column)]);
    pcOutlook->addTab(grdWhatIfStandings, QStringLiteral("&Standings"));

    m_refreshTimer = new QTimer(this);
    m_refreshTimer->setSingleShot(true);
    m_refreshTimer->setInterval(0);
    connect(m_refreshTimer, &QTimer::timeout, this, guarded(this, &TfrmOutlook::startComputing));
}

void TfrmOutlook::createPopUp()
{
    mnuPopUp = new QMenu(this);
    mnuPopUp->setObjectName(QStringLiteral("mnuPopUp"));
    const auto item = [this](const char* name, const QString& caption, const QString& hint) {
        auto* action = new QAction(caption, this);
        action->setObjectName(QLatin1String(name));
        action->setStatusTip(hint);
        mnuPopUp->addAction(action);
        return action;
    };
    mnuCopy = item("mnuCopy", QStringLiteral("&Copy"), QStringLiteral("Copy the outlook to the clipboard."));
    connect(mnuCopy, &QAction::triggered, this, guarded(this, &TfrmOutlook::mnuCopyClick));
    mnuSaveAs = item("mnuSaveAs", QStringLiteral("Save &As..."), QStringLiteral("Save the outlook to a file."));
    connect(mnuSaveAs, &QAction::triggered, this, guarded(this, &TfrmOutlook::mnuSaveAsClick));
    for (QAbstractScrollArea* part : {static_cast<QAbstractScrollArea*>(grdOutlook),
                                      static_cast<QAbstractScrollArea*>(grdOutlook->horizontalHeader())}) {
        part->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(part, &QWidget::customContextMenuRequested, this,
                guarded([this, part](const QPoint& pos) { mnuPopUp->popup(part->viewport()->mapToGlobal(pos)); }));
    }
}

void TfrmOutlook::scheduleRefresh()
{
    if (m_worker) {
        m_again = true;
        m_run->cancel = true;
        return;
    }
    m_refreshTimer->start();
}

void TfrmOutlook::startComputing()
{
    if (m_worker) return;
    m_again = false;
    TRegIniFile store(m_session.settings());
    const int places =
        clampPlaces(store.ReadInteger(settings::Other, settings::OutlookPlaces, settings::DefaultOutlookPlaces));
    auto run = std::make_shared<Run>();
    run->input = outlookInputOf(m_session.players(), m_session.readScoringValues(), places);
    if (const std::optional<IFrame::WhatIf> whatIf = m_main.whatIf()) {
        run->input.results = whatIf->results;
        run->whatIf = whatIfPrefix(whatIf->decided);
    }
    run->names = participantNames(m_session.players());
    m_picked->setShares(pickedShares(run->input));
    m_scores->setRows(scoreRows(run->input, run->names));
    m_run = run;

    showStatus(run->whatIf +
               QStringLiteral("Computing the outlook of %1 participants...").arg(run->input.participants.size()));
    btnCancel->setVisible(true);
    // The window outlives its thread (the destructor waits for it), and a queued call is dropped
    // once the window is gone.
    m_worker = QThread::create([run, this] {
        OutlookOptions options;
        options.cancel = &run->cancel;
        options.progress = [this](double done) {
            QMetaObject::invokeMethod(this, [this, done] { m_main.SetProgress(int(done * 100)); }, Qt::QueuedConnection);
        };
        try {
            run->result = computeOutlook(run->input, options);
        } catch (const std::exception& error) {
            run->error = error.what();
        }
    });
    connect(m_worker, &QThread::finished, this, guarded(this, &TfrmOutlook::finishComputing));
    m_worker->start(QThread::LowPriority);
}

void TfrmOutlook::finishComputing()
{
    m_worker->wait();
    m_worker->deleteLater();
    m_worker = nullptr;
    m_main.SetProgress(0);
    btnCancel->setVisible(false);
    const std::shared_ptr<Run> run = m_run;
    if (m_again) {
        startComputing();
        return;
    }
    if (!run->error.empty()) {
        showStatus(run->whatIf +
                   QStringLiteral("The outlook could not be computed: %1").arg(QString::fromStdString(run->error)));
        emit computed();
        throw HoopError(run->error);
    }
    if (run->result.cancelled) {
        showStatus(run->whatIf + QStringLiteral("Cancelled; the figures shown are from before the last change."));
        emit computed();
        return;
    }
    m_model->setTable(OutlookTable(run->result, run->names));
    showStatus(run->whatIf + fromAnsi(m_model->table().summary()));
    emit computed();
}

void TfrmOutlook::btnCancelClick()
{
    if (m_run) m_run->cancel = true;
}

void TfrmOutlook::btnWhatIfClick() { m_main.openWhatIf(); }

void TfrmOutlook::txtPlacesChange(int places)
{
    TRegIniFile store(m_session.settings());
    store.WriteInteger(settings::Other, settings::OutlookPlaces, clampPlaces(places));
    scheduleRefresh();
}

void TfrmOutlook::showStatus(const QString& text)
{
    pnlStatus->setText(text);
    pnlStatus->setToolTip(text);  // the whole text when the strip is too narrow for it
}

void TfrmOutlook::mnuCopyClick()
{
    BusyCursor busy;
    QGuiApplication::clipboard()->setText(fromAnsi(outlookText(m_model->table(), OutlookFormat::Tab, "\r\n")));
    prompts().beep();
}

void TfrmOutlook::mnuSaveAsClick()
{
    SaveFileRequest request = dlgSaveAs;
    if (!prompts().saveFile(request)) return;
    dlgSaveAs.fileName = request.fileName;
    dlgSaveAs.filterIndex = request.filterIndex;
    BusyCursor busy;
    const std::string content =
        request.filterIndex == HtmlType
            ? outlookHtml(m_model->table(), asOfText(m_session.today()))
            : outlookText(m_model->table(), request.filterIndex == CommaType ? OutlookFormat::Comma : OutlookFormat::Tab,
                          "\r\n");
    writeFileAtomic(QFile::encodeName(request.fileName).toStdString(), content);
    m_main.SetStatusText(QStringLiteral("Pool Outlook saved to ") + QDir::toNativeSeparators(request.fileName));
}
