#include "gui/options/options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>

#include "core/pool/team_files.h"
#include "core/session/pool_session.h"
#include "gui/options/edit_grid.h"
#include "core/settings/settings.h"
#include "gui/widgets/ansi_text.h"
#include "gui/widgets/guarded.h"
#include "gui/widgets/busy_cursor.h"
#include "gui/widgets/layout_table.h"
#include "gui/widgets/line_text.h"
#include "gui/widgets/prompts.h"

namespace {
constexpr int ClientWidth = 371;
constexpr int ClientHeight = 294;

constexpr int TeamColumnCount = 4;
constexpr int PayoutColumnCount = 2;
constexpr int GridRowHeight = 16;  // the header row too
constexpr int NoLimit = 0;
constexpr int DeadlineLength = 70;
constexpr int TiebreakerLength = 70;
constexpr int ReturnToLength = 200;

const QStringList OfferedRegions = {QStringLiteral("East"), QStringLiteral("Midwest"), QStringLiteral("South"),
                                    QStringLiteral("West")};
const char* const RoundCaptions[RoundCount] = {"First Round:",  "Second Round:", "Third Round:",
                                               "Fourth Round:", "Semi-Finals:",  "Championship:"};

enum TeamColumn { SeedColumn = 0, NameColumn = 1, WinsColumn = 2, LossesColumn = 3 };
constexpr int PayoutDescColumn = 0;
constexpr int PayoutPctColumn = 1;

template <class W, class... Args>
W* make(QWidget* parent, const char* name, Args&&... args)
{
    auto* widget = new W(std::forward<Args>(args)..., parent);
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QFrame* makeLine(QWidget* parent, const char* name, QFrame::Shape shape)
{
    auto* line = make<QFrame>(parent, name);
    line->setFrameShape(shape);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QLineEdit* makeBox(QWidget* parent, const char* name, int maxLength)
{
    auto* box = make<QLineEdit>(parent, name);
    if (maxLength > 0) box->setMaxLength(maxLength);
    keepOneLine(box);  // the rules sheet prints each text on a line of its own
    return box;
}

QTableWidgetItem* cell(QTableWidget* grid, int row, int column)
{
    QTableWidgetItem* item = grid->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        grid->setItem(row, column, item);
    }
    return item;
}

// The value of a round box: blanks of the mask are not part of it, and anything but a whole
// number (an empty box, a sign alone) is no value.
std::optional<int> roundValue(const QLineEdit* box) { return parseInteger(toAnsi(box->text())); }
}  // namespace

TfrmOptions::TfrmOptions(TPoolSession& session, QWidget* parent) : QDialog(parent), m_session(session)
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Options..."));
    setWindowFlags((windowFlags() | Qt::MSWindowsFixedSizeDialogHint) & ~Qt::WindowContextHelpButtonHint);
    setFixedSize(ClientWidth, ClientHeight);
    // The pixel layout is made for the small dialog font of the organiser's platform.
    QFont small = font();
    small.setPixelSize(DialogFontPixels);
    setFont(small);
    createControls();
    placeControls();
    FormCreate();
}

void TfrmOptions::createControls()
{
    pcOptions = make<QTabWidget>(this, "pcOptions");
    tbsRegions = make<QWidget>(nullptr, "tbsRegions");
    tbsTeams = make<QWidget>(nullptr, "tbsTeams");
    tbsScoring = make<QWidget>(nullptr, "tbsScoring");
    tbsRules = make<QWidget>(nullptr, "tbsRules");
    pcOptions->addTab(tbsRegions, QStringLiteral("Regions"));
    pcOptions->addTab(tbsTeams, QStringLiteral("Teams"));
    pcOptions->addTab(tbsScoring, QStringLiteral("Scoring"));
    pcOptions->addTab(tbsRules, QStringLiteral("Rules"));

    // Regions.
    static const char* const regionNames[RegionCount] = {"lstRegion1", "lstRegion2", "lstRegion3", "lstRegion4"};
    for (int i = 0; i < RegionCount; ++i) {
        QComboBox* box = make<QComboBox>(tbsRegions, regionNames[i]);
        box->setEditable(true);
        box->addItems(OfferedRegions);
        box->setInsertPolicy(QComboBox::NoInsert);
        // "east" is a name of its own, not a way of typing "East".
        box->completer()->setCaseSensitivity(Qt::CaseSensitive);
        lstRegion[i] = box;
    }
    linLeft = makeLine(tbsRegions, "linLeft", QFrame::VLine);
    linRight = makeLine(tbsRegions, "linRight", QFrame::VLine);
    linMiddle = makeLine(tbsRegions, "linMiddle", QFrame::HLine);

    // Teams.
    lblRegion = make<QLabel>(tbsTeams, "lblRegion", QStringLiteral("Region:"));
    lstRegions = make<QComboBox>(tbsTeams, "lstRegions");
    lstRegions->setMaxVisibleItems(RegionCount);
    lblTeamNameMax = make<QLabel>(tbsTeams, "lblTeamNameMax", QStringLiteral("(Team Name 12 characters max.)"));
    grdTeams = make<TEditGrid>(tbsTeams, "grdTeams", SeedCount, TeamColumnCount);
    grdTeams->setColumnWidths({64, 170, 52, 51});
    grdTeams->setRowHeight(GridRowHeight);
    for (int row = 0; row < SeedCount; ++row) {
        // The seed column is fixed: shown like a header, never current, never edited.
        QTableWidgetItem* seed = cell(grdTeams, row, SeedColumn);
        seed->setFlags(Qt::NoItemFlags);
        seed->setBackground(palette().button());
        seed->setForeground(palette().buttonText());
        for (int column = NameColumn; column <= LossesColumn; ++column) cell(grdTeams, row, column);
    }
    connect(grdTeams, &TEditGrid::editTextChanged, this, guarded([this](int row, int column, const QString& text) {
                grdTeamsSetEditText(column, row + 1, text);
            }));
    connect(grdTeams, &TEditGrid::escapePressed, this, guarded([this] { reject(); }));

    // Scoring.
    grpRoundValues = make<QGroupBox>(tbsScoring, "grpRoundValues", QStringLiteral("Round Values:"));
    for (int i = 0; i < RoundCount; ++i) {
        const QByteArray suffix = QByteArray::number(i + 1);
        QLabel* label = make<QLabel>(grpRoundValues, ("lblRnd" + suffix).constData(), QLatin1String(RoundCaptions[i]));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        lblRnd[i] = label;
        // Two positions, each a digit, a sign or blank; blanks are not part of the value.
        QLineEdit* box = make<QLineEdit>(grpRoundValues, ("txtRnd" + suffix).constData());
        box->setInputMask(QStringLiteral("##"));
        label->setBuddy(box);
        txtRnd[i] = box;
    }
    chkUseSeed = make<QCheckBox>(tbsScoring, "chkUseSeed", QStringLiteral("Multiply Round Value by Seed"));

    // Rules, in tab order.
    grpRules = make<QGroupBox>(tbsRules, "grpRules", QStringLiteral("Rules to Print:"));
    chkCost = make<QCheckBox>(grpRules, "chkCost", QStringLiteral("Cost per Entry:"));
    txtCost = makeBox(grpRules, "txtCost", NoLimit);
    chkDeadline = make<QCheckBox>(grpRules, "chkDeadline", QStringLiteral("Deadline........:"));
    txtDeadline = makeBox(grpRules, "txtDeadline", DeadlineLength);
    chkScoring = make<QCheckBox>(grpRules, "chkScoring", QStringLiteral("Scoring Format"));
    chkTiebreaker = make<QCheckBox>(grpRules, "chkTiebreaker", QStringLiteral("Tiebreaker.....:"));
    txtTiebreaker = makeBox(grpRules, "txtTiebreaker", TiebreakerLength);
    chkPayout = make<QCheckBox>(grpRules, "chkPayout", QStringLiteral("Payout...........:"));
    grdPayout = make<TEditGrid>(grpRules, "grdPayout", settings::PayoutRows, PayoutColumnCount);
    grdPayout->setColumnWidths({145, 67});
    grdPayout->setRowHeight(GridRowHeight);
    for (int row = 0; row < settings::PayoutRows; ++row) {
        cell(grdPayout, row, PayoutDescColumn);
        cell(grdPayout, row, PayoutPctColumn);
    }
    connect(grdPayout, &TEditGrid::escapePressed, this, guarded([this] { reject(); }));
    chkReturnTo = make<QCheckBox>(grpRules, "chkReturnTo", QStringLiteral("Return to........:"));
    txtReturnTo = makeBox(grpRules, "txtReturnTo", ReturnToLength);

    bvlButtons = makeLine(this, "bvlButtons", QFrame::HLine);
    cmdOk = make<QPushButton>(this, "cmdOk", QStringLiteral("OK"));
    cmdOk->setDefault(true);
    cmdCancel = make<QPushButton>(this, "cmdCancel", QStringLiteral("Cancel"));

    connect(cmdOk, &QPushButton::clicked, this, guarded(this, &TfrmOptions::cmdOkClick));
    connect(cmdCancel, &QPushButton::clicked, this, guarded([this] { reject(); }));
}

void TfrmOptions::placeControls()
{
    m_layout
        .within(this, {
            {pcOptions, {0, 0, 371, 249}},
            {bvlButtons, {0, 252, 371, 2}},
            {cmdOk, {8, 262, 75, 25}},
            {cmdCancel, {288, 262, 75, 25}},
        })
        // The four positions, joined by an H as the semi-finals pair them.
        .within(tbsRegions, {
            {lstRegion[0], {8, 32, 145, 21}},
            {lstRegion[1], {8, 136, 145, 21}},
            {lstRegion[2], {208, 32, 145, 21}},
            {lstRegion[3], {208, 136, 145, 21}},
            {linLeft, {79, 53, 3, 83}},
            {linRight, {279, 53, 3, 83}},
            {linMiddle, {81, 93, 198, 3}},
        })
        .within(tbsTeams, {
            {lblRegion, {8, 6, 42, 16}},
            {lstRegions, {52, 4, 110, 21}},
            {lblTeamNameMax, {170, 6, 194, 16}},
            {grdTeams, {4, 30, 359, 186}},
        })
        .within(tbsScoring, {
            {grpRoundValues, {8, 8, 351, 100}},
            {chkUseSeed, {8, 116, 250, 17}},
        })
        .within(grpRoundValues, {
            {lblRnd[0], {8, 24, 90, 16}},
            {txtRnd[0], {104, 22, 25, 21}},
            {lblRnd[1], {8, 48, 90, 16}},
            {txtRnd[1], {104, 46, 25, 21}},
            {lblRnd[2], {8, 72, 90, 16}},
            {txtRnd[2], {104, 70, 25, 21}},
            {lblRnd[3], {176, 24, 90, 16}},
            {txtRnd[3], {272, 22, 25, 21}},
            {lblRnd[4], {176, 48, 90, 16}},
            {txtRnd[4], {272, 46, 25, 21}},
            {lblRnd[5], {176, 72, 90, 16}},
            {txtRnd[5], {272, 70, 25, 21}},
        })
        .within(tbsRules, {
            {grpRules, {4, 2, 359, 212}},
        })
        .within(grpRules, {
            {chkCost, {8, 18, 104, 17}},
            {txtCost, {112, 16, 41, 21}},
            {chkScoring, {200, 18, 150, 17}},
            {chkDeadline, {8, 42, 104, 17}},
            {txtDeadline, {112, 40, 239, 21}},
            {chkTiebreaker, {8, 66, 104, 17}},
            {txtTiebreaker, {112, 64, 239, 21}},
            {chkPayout, {8, 90, 104, 17}},
            {grdPayout, {112, 88, 239, 90}},
            {chkReturnTo, {8, 184, 104, 17}},
            {txtReturnTo, {112, 182, 239, 21}},
        });
    applyLayout(m_layout);
}

void TfrmOptions::showEvent(QShowEvent* event)
{
    // Centred on the screen, not on the main window.
    if (QScreen* where = screen()) move(where->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

void TfrmOptions::FormCreate()
{
    LoadWorkTeams();

    grdTeams->setHorizontalHeaderLabels(
        {QStringLiteral("Seed"), QStringLiteral("Team Name"), QStringLiteral("Wins"), QStringLiteral("Losses")});
    for (int seed = 1; seed <= SeedCount; ++seed) grdTeams->item(seed - 1, SeedColumn)->setText(QString::number(seed) + '.');
    grdPayout->setHorizontalHeaderLabels({QStringLiteral("Description"), QStringLiteral("% of Pot")});

    const std::array<std::string, RegionCount> regions = m_session.regionNames();
    for (int i = 0; i < RegionCount; ++i) {
        lstRegion[i]->setCurrentIndex(-1);
        lstRegion[i]->setEditText(fromAnsi(regions[std::size_t(i)]));
    }

    readSettings();

    // The list of the Teams page is read from the file again and keeps these names while the
    // dialog is open, whatever is typed on the Regions page.
    for (const std::string& name : m_session.regionNames()) lstRegions->addItem(fromAnsi(name));
    lstRegions->setCurrentIndex(0);
    ShowRegionTeams();
    connect(lstRegions, &QComboBox::currentIndexChanged, this, guarded(this, &TfrmOptions::lstRegionsClick));

    pcOptions->setCurrentIndex(0);
}

void TfrmOptions::LoadWorkTeams()
{
    for (int region = 1; region <= RegionCount; ++region) {
        for (int seed = 1; seed <= SeedCount; ++seed) {
            TTeam& entry = m_workTeams[region - 1][seed - 1];
            entry = m_session.teams().entry(region, seed);
            entry.region = static_cast<std::uint8_t>(region);
            entry.seed = static_cast<std::uint8_t>(seed);
        }
    }
}

void TfrmOptions::StoreWorkTeams()
{
    for (int region = 1; region <= RegionCount; ++region)
        for (int seed = 1; seed <= SeedCount; ++seed) m_session.teams().entry(region, seed) = m_workTeams[region - 1][seed - 1];
}

int TfrmOptions::SelectedRegion() const { return lstRegions->currentIndex() + 1; }

void TfrmOptions::ShowRegionTeams()
{
    const int region = SelectedRegion();
    if (region < 1 || region > RegionCount) return;
    // An editor still open shows a cell of the region shown before; its text is stored already.
    grdTeams->closeOpenEditor();
    for (int seed = 1; seed <= SeedCount; ++seed) {
        const TTeam& entry = m_workTeams[region - 1][seed - 1];
        grdTeams->item(seed - 1, NameColumn)->setText(fromAnsi(entry.name.view()));
        grdTeams->item(seed - 1, WinsColumn)->setText(fromAnsi(entry.wins.view()));
        grdTeams->item(seed - 1, LossesColumn)->setText(fromAnsi(entry.losses.view()));
    }
}

void TfrmOptions::lstRegionsClick() { ShowRegionTeams(); }

void TfrmOptions::grdTeamsSetEditText(int column, int row, const QString& text)
{
    const int region = SelectedRegion();
    if (region < 1 || region > RegionCount || row < 1 || row > SeedCount) return;
    TTeam& entry = m_workTeams[region - 1][row - 1];
    // The fields cut to their widths on the stored bytes (12, 2 and 2).
    switch (column) {
    case NameColumn: entry.name = toAnsi(text); break;
    case WinsColumn: entry.wins = toAnsi(text); break;
    case LossesColumn: entry.losses = toAnsi(text); break;
    default: break;
    }
}

std::array<std::string, RegionCount> TfrmOptions::storedRegionNames() const
{
    // Compared as the file will keep them, so two names that differ only in what the file drops
    // (blanks around a name, a second line) count as the same name.
    std::array<std::string, RegionCount> names;
    for (int i = 0; i < RegionCount; ++i) names[i] = regionNameAsStored(toAnsi(lstRegion[i]->currentText()));
    return names;
}

bool TfrmOptions::regionsUnique()
{
    // Compared as they will be stored, so two names that the code page cannot tell apart count
    // as the same name.
    const std::array<std::string, RegionCount> names = storedRegionNames();
    for (int i = 0; i < RegionCount; ++i)
        for (int j = i + 1; j < RegionCount; ++j)
            if (names[i] == names[j]) return false;
    return true;
}

std::string TfrmOptions::KeptText::bytesFor(const QString& text) const { return toAnsiKeeping(text, shown, stored); }

bool TfrmOptions::roundValuesValid()
{
    for (int i = 0; i < RoundCount; ++i) {
        if (txtRnd[i]->text() == m_keptRounds[i].shown || roundValue(txtRnd[i])) continue;
        pcOptions->setCurrentWidget(tbsScoring);
        txtRnd[i]->setFocus();
        showInformation(lblRnd[i]->text() + QStringLiteral(" needs a whole number."));
        return false;
    }
    return true;
}

std::array<TfrmOptions::TextSetting, 4> TfrmOptions::ruleTexts() const
{
    return {{{txtCost, settings::Cost, settings::DefaultCost},
             {txtDeadline, settings::Deadline, settings::DefaultDeadline},
             {txtTiebreaker, settings::Tiebreaker, settings::DefaultTiebreaker},
             {txtReturnTo, settings::ReturnTo, settings::DefaultReturnTo}}};
}

std::array<TfrmOptions::SwitchSetting, 6> TfrmOptions::ruleSwitches() const
{
    return {{{chkCost, settings::PrintCost},
             {chkDeadline, settings::PrintDeadline},
             {chkTiebreaker, settings::PrintTiebreaker},
             {chkScoring, settings::PrintScoring},
             {chkPayout, settings::PrintPayout},
             {chkReturnTo, settings::PrintReturnTo}}};
}

void TfrmOptions::readSettings()
{
    using namespace settings;
    TRegIniFile store(m_session.settings());
    for (int round = 1; round <= RoundCount; ++round) {
        KeptRound& kept = m_keptRounds[round - 1];
        kept.stored = store.ReadInteger(Scoring, roundName(round), defaultRoundValue(round));
        txtRnd[round - 1]->setText(QString::number(kept.stored));
        kept.shown = txtRnd[round - 1]->text();
    }
    chkUseSeed->setChecked(store.ReadBool(Scoring, MultiplybySeed, DefaultMultiplyBySeed));
    const std::array<TextSetting, 4> texts = ruleTexts();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        KeptText& kept = m_keptRules[i];
        kept.stored = store.ReadString(Rules, texts[i].name, texts[i].def);
        texts[i].box->setText(fromAnsi(kept.stored));
        kept.shown = texts[i].box->text();
        texts[i].box->setCursorPosition(0);  // show the beginning of a long text
    }
    for (int row = 1; row <= PayoutRows; ++row) {
        for (int column : {PayoutDescColumn, PayoutPctColumn}) {
            KeptText& kept = m_keptPayout[row - 1][column];
            kept.stored = column == PayoutDescColumn ? store.ReadString(Rules, payDescName(row), optionsPayDescDefault(row))
                                                     : store.ReadString(Rules, payPctName(row), optionsPayPctDefault(row));
            grdPayout->item(row - 1, column)->setText(fromAnsi(kept.stored));
            kept.shown = grdPayout->item(row - 1, column)->text();
        }
    }
    for (const SwitchSetting& option : ruleSwitches()) option.box->setChecked(store.ReadBool(Rules, option.name, DefaultPrintSwitch));
}

void TfrmOptions::writeSettings()
{
    using namespace settings;
    TRegIniFile store(m_session.settings());
    for (int round = 1; round <= RoundCount; ++round) {
        const KeptRound& kept = m_keptRounds[round - 1];
        const QLineEdit* box = txtRnd[round - 1];
        store.WriteInteger(Scoring, roundName(round),
                           box->text() == kept.shown ? kept.stored : roundValue(box).value_or(defaultRoundValue(round)));
    }
    store.WriteBool(Scoring, MultiplybySeed, chkUseSeed->isChecked());
    const std::array<TextSetting, 4> texts = ruleTexts();
    for (std::size_t i = 0; i < texts.size(); ++i)
        store.WriteString(Rules, texts[i].name, m_keptRules[i].bytesFor(texts[i].box->text()));
    for (int row = 1; row <= PayoutRows; ++row) {
        for (int column : {PayoutDescColumn, PayoutPctColumn})
            store.WriteString(Rules, column == PayoutDescColumn ? payDescName(row) : payPctName(row),
                              m_keptPayout[row - 1][column].bytesFor(grdPayout->item(row - 1, column)->text()));
    }
    for (const SwitchSetting& option : ruleSwitches()) store.WriteBool(Rules, option.name, option.box->isChecked());
}

void TfrmOptions::cmdOkClick()
{
    if (!regionsUnique()) {
        pcOptions->setCurrentWidget(tbsRegions);
        showInformation(QStringLiteral("Regions must be unique."));
        return;
    }
    // A payout cell still being edited holds its text in the editor only.
    grdPayout->commitOpenEditor();
    if (!roundValuesValid()) return;

    try {
        StoreWorkTeams();
        {
            BusyCursor busy;
            m_session.SaveTeams();
        }
        m_session.saveRegions(storedRegionNames());
        writeSettings();
    } catch (const std::exception& error) {
        // The save stops at the failed step; what was written before stays written, and the
        // dialog closes as it would have.
        reportError(error);
    }
    accept();
}
