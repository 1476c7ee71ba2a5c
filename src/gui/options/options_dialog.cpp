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

#include "core/outlook/payouts.h"
#include "core/pool/team_files.h"
#include "core/session/pool_session.h"
#include "core/settings/settings.h"
#include "gui/options/edit_grid.h"
#include "gui/widgets/ansi_text.h"
#include "gui/widgets/busy_cursor.h"
#include "gui/widgets/guarded.h"
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
const char* const RoundCaptions[RoundCount] = {
    "First Round:", "Second Round:", "Third Round:", "Fourth Round:", "Semi-Finals:", "Championship:"};

enum TeamColumn { SeedColumn = 0, NameColumn = 1, WinsColumn = 2, LossesColumn = 3 };
constexpr int PayoutDescColumn = 0;
constexpr int PayoutPctColumn = 1;

template <class W, class... Args> W* make(QWidget* parent, const char* name, Args&&... args)
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

OptionsDialog::OptionsDialog(PoolSession& session, QWidget* parent) : QDialog(parent), m_session(session)
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
    prepareControls();
}

void OptionsDialog::createControls()
{
    m_pages = make<QTabWidget>(this, "pcOptions");
    m_regionsPage = make<QWidget>(nullptr, "tbsRegions");
    m_teamsPage = make<QWidget>(nullptr, "tbsTeams");
    m_scoringPage = make<QWidget>(nullptr, "tbsScoring");
    m_rulesPage = make<QWidget>(nullptr, "tbsRules");
    m_pages->addTab(m_regionsPage, QStringLiteral("Regions"));
    m_pages->addTab(m_teamsPage, QStringLiteral("Teams"));
    m_pages->addTab(m_scoringPage, QStringLiteral("Scoring"));
    m_pages->addTab(m_rulesPage, QStringLiteral("Rules"));

    // Regions.
    static const char* const regionNames[RegionCount] = {"lstRegion1", "lstRegion2", "lstRegion3", "lstRegion4"};
    for (int i = 0; i < RegionCount; ++i) {
        QComboBox* box = make<QComboBox>(m_regionsPage, regionNames[i]);
        box->setEditable(true);
        box->addItems(OfferedRegions);
        box->setInsertPolicy(QComboBox::NoInsert);
        // "east" is a name of its own, not a way of typing "East".
        box->completer()->setCaseSensitivity(Qt::CaseSensitive);
        lstRegion[i] = box;
    }
    m_leftLine = makeLine(m_regionsPage, "linLeft", QFrame::VLine);
    m_rightLine = makeLine(m_regionsPage, "linRight", QFrame::VLine);
    m_middleLine = makeLine(m_regionsPage, "linMiddle", QFrame::HLine);

    // Teams.
    m_regionLabel = make<QLabel>(m_teamsPage, "lblRegion", QStringLiteral("Region:"));
    m_regionsChoice = make<QComboBox>(m_teamsPage, "lstRegions");
    m_regionsChoice->setMaxVisibleItems(RegionCount);
    m_teamNameMaxLabel = make<QLabel>(m_teamsPage, "lblTeamNameMax", QStringLiteral("(Team Name 12 characters max.)"));
    m_teamsGrid = make<EditGrid>(m_teamsPage, "grdTeams", SeedCount, TeamColumnCount);
    m_teamsGrid->setColumnWidths({64, 170, 52, 51});
    m_teamsGrid->setRowHeight(GridRowHeight);
    for (int row = 0; row < SeedCount; ++row) {
        // The seed column is fixed: shown like a header, never current, never edited.
        QTableWidgetItem* seed = cell(m_teamsGrid, row, SeedColumn);
        seed->setFlags(Qt::NoItemFlags);
        seed->setBackground(palette().button());
        seed->setForeground(palette().buttonText());
        for (int column = NameColumn; column <= LossesColumn; ++column) cell(m_teamsGrid, row, column);
    }
    connect(m_teamsGrid, &EditGrid::editTextChanged, this,
            guarded([this](int row, int column, const QString& text) { grdTeamsSetEditText(column, row + 1, text); }));
    connect(m_teamsGrid, &EditGrid::escapePressed, this, guarded([this] { reject(); }));

    // Scoring.
    m_roundValuesGroup = make<QGroupBox>(m_scoringPage, "grpRoundValues", QStringLiteral("Round Values:"));
    for (int i = 0; i < RoundCount; ++i) {
        const QByteArray suffix = QByteArray::number(i + 1);
        QLabel* label =
            make<QLabel>(m_roundValuesGroup, ("lblRnd" + suffix).constData(), QLatin1String(RoundCaptions[i]));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        lblRnd[i] = label;
        // Two positions, each a digit, a sign or blank; blanks are not part of the value.
        QLineEdit* box = make<QLineEdit>(m_roundValuesGroup, ("txtRnd" + suffix).constData());
        box->setInputMask(QStringLiteral("##"));
        label->setBuddy(box);
        txtRnd[i] = box;
    }
    m_useSeedCheck = make<QCheckBox>(m_scoringPage, "chkUseSeed", QStringLiteral("Multiply Round Value by Seed"));
    m_feeLabel = make<QLabel>(m_scoringPage, "lblEntryFee", QStringLiteral("&Entry Fee:"));
    m_feeBox = make<QLineEdit>(m_scoringPage, "txtEntryFee");
    m_feeBox->setToolTip(QStringLiteral("What each participant pays, such as 5 or 12.50; empty for none"));
    m_feeLabel->setBuddy(m_feeBox);
    m_payoutsLabel = make<QLabel>(m_scoringPage, "lblPayouts", QStringLiteral("Pa&youts:"));
    m_payoutsBox = make<QLineEdit>(m_scoringPage, "txtPayouts");
    m_payoutsBox->setToolTip(QStringLiteral("By place, a percentage or fee: 60,30,10 or 50,30,20,fee"));
    m_payoutsLabel->setBuddy(m_payoutsBox);

    // Rules, in tab order.
    m_rulesGroup = make<QGroupBox>(m_rulesPage, "grpRules", QStringLiteral("Rules to Print:"));
    m_costCheck = make<QCheckBox>(m_rulesGroup, "chkCost", QStringLiteral("Cost per Entry:"));
    m_costBox = makeBox(m_rulesGroup, "txtCost", NoLimit);
    m_deadlineCheck = make<QCheckBox>(m_rulesGroup, "chkDeadline", QStringLiteral("Deadline........:"));
    m_deadlineBox = makeBox(m_rulesGroup, "txtDeadline", DeadlineLength);
    m_scoringCheck = make<QCheckBox>(m_rulesGroup, "chkScoring", QStringLiteral("Scoring Format"));
    m_tiebreakerCheck = make<QCheckBox>(m_rulesGroup, "chkTiebreaker", QStringLiteral("Tiebreaker.....:"));
    m_tiebreakerBox = makeBox(m_rulesGroup, "txtTiebreaker", TiebreakerLength);
    m_payoutCheck = make<QCheckBox>(m_rulesGroup, "chkPayout", QStringLiteral("Payout...........:"));
    m_payoutGrid = make<EditGrid>(m_rulesGroup, "grdPayout", settings::PayoutRows, PayoutColumnCount);
    m_payoutGrid->setColumnWidths({145, 67});
    m_payoutGrid->setRowHeight(GridRowHeight);
    for (int row = 0; row < settings::PayoutRows; ++row) {
        cell(m_payoutGrid, row, PayoutDescColumn);
        cell(m_payoutGrid, row, PayoutPctColumn);
    }
    connect(m_payoutGrid, &EditGrid::escapePressed, this, guarded([this] { reject(); }));
    m_returnToCheck = make<QCheckBox>(m_rulesGroup, "chkReturnTo", QStringLiteral("Return to........:"));
    m_returnToBox = makeBox(m_rulesGroup, "txtReturnTo", ReturnToLength);

    m_buttonsBevel = makeLine(this, "bvlButtons", QFrame::HLine);
    m_okButton = make<QPushButton>(this, "cmdOk", QStringLiteral("OK"));
    m_okButton->setDefault(true);
    m_cancelButton = make<QPushButton>(this, "cmdCancel", QStringLiteral("Cancel"));

    connect(m_okButton, &QPushButton::clicked, this, guarded(this, &OptionsDialog::acceptChanges));
    connect(m_cancelButton, &QPushButton::clicked, this, guarded([this] { reject(); }));
}

void OptionsDialog::placeControls()
{
    m_layout
        .within(this,
                {
                    {m_pages, {0, 0, 371, 249}},
                    {m_buttonsBevel, {0, 252, 371, 2}},
                    {m_okButton, {8, 262, 75, 25}},
                    {m_cancelButton, {288, 262, 75, 25}},
                })
        // The four positions, joined by an H as the semi-finals pair them.
        .within(m_regionsPage,
                {
                    {lstRegion[0], {8, 32, 145, 21}},
                    {lstRegion[1], {8, 136, 145, 21}},
                    {lstRegion[2], {208, 32, 145, 21}},
                    {lstRegion[3], {208, 136, 145, 21}},
                    {m_leftLine, {79, 53, 3, 83}},
                    {m_rightLine, {279, 53, 3, 83}},
                    {m_middleLine, {81, 93, 198, 3}},
                })
        .within(m_teamsPage,
                {
                    {m_regionLabel, {8, 6, 42, 16}},
                    {m_regionsChoice, {52, 4, 110, 21}},
                    {m_teamNameMaxLabel, {170, 6, 194, 16}},
                    {m_teamsGrid, {4, 30, 359, 186}},
                })
        .within(m_scoringPage,
                {
                    {m_roundValuesGroup, {8, 8, 351, 100}},
                    {m_useSeedCheck, {8, 116, 250, 17}},
                    {m_feeLabel, {8, 146, 80, 16}},
                    {m_feeBox, {96, 144, 80, 21}},
                    {m_payoutsLabel, {8, 172, 80, 16}},
                    {m_payoutsBox, {96, 170, 160, 21}},
                })
        .within(m_roundValuesGroup,
                {
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
        .within(m_rulesPage,
                {
                    {m_rulesGroup, {4, 2, 359, 212}},
                })
        .within(m_rulesGroup, {
                                  {m_costCheck, {8, 18, 104, 17}},
                                  {m_costBox, {112, 16, 41, 21}},
                                  {m_scoringCheck, {200, 18, 150, 17}},
                                  {m_deadlineCheck, {8, 42, 104, 17}},
                                  {m_deadlineBox, {112, 40, 239, 21}},
                                  {m_tiebreakerCheck, {8, 66, 104, 17}},
                                  {m_tiebreakerBox, {112, 64, 239, 21}},
                                  {m_payoutCheck, {8, 90, 104, 17}},
                                  {m_payoutGrid, {112, 88, 239, 90}},
                                  {m_returnToCheck, {8, 184, 104, 17}},
                                  {m_returnToBox, {112, 182, 239, 21}},
                              });
    applyLayout(m_layout);
}

void OptionsDialog::showEvent(QShowEvent* event)
{
    // Centred on the screen, not on the main window.
    if (QScreen* where = screen()) move(where->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

void OptionsDialog::prepareControls()
{
    loadWorkTeams();

    m_teamsGrid->setHorizontalHeaderLabels(
        {QStringLiteral("Seed"), QStringLiteral("Team Name"), QStringLiteral("Wins"), QStringLiteral("Losses")});
    for (int seed = 1; seed <= SeedCount; ++seed)
        m_teamsGrid->item(seed - 1, SeedColumn)->setText(QString::number(seed) + '.');
    m_payoutGrid->setHorizontalHeaderLabels({QStringLiteral("Description"), QStringLiteral("% of Pot")});

    const std::array<std::string, RegionCount> regions = m_session.regionNames();
    for (int i = 0; i < RegionCount; ++i) {
        lstRegion[i]->setCurrentIndex(-1);
        lstRegion[i]->setEditText(fromAnsi(regions[std::size_t(i)]));
    }

    readSettings();

    // The list of the Teams page is read from the file again and keeps these names while the
    // dialog is open, whatever is typed on the Regions page.
    for (const std::string& name : m_session.regionNames()) m_regionsChoice->addItem(fromAnsi(name));
    m_regionsChoice->setCurrentIndex(0);
    showRegionTeams();
    connect(m_regionsChoice, &QComboBox::currentIndexChanged, this, guarded(this, &OptionsDialog::onRegionChosen));

    m_pages->setCurrentIndex(0);
}

void OptionsDialog::loadWorkTeams()
{
    for (int region = 1; region <= RegionCount; ++region) {
        for (int seed = 1; seed <= SeedCount; ++seed) {
            Team& entry = m_workTeams[region - 1][seed - 1];
            entry = m_session.teams().entry(region, seed);
            entry.region = static_cast<std::uint8_t>(region);
            entry.seed = static_cast<std::uint8_t>(seed);
        }
    }
}

void OptionsDialog::storeWorkTeams()
{
    for (int region = 1; region <= RegionCount; ++region)
        for (int seed = 1; seed <= SeedCount; ++seed)
            m_session.teams().entry(region, seed) = m_workTeams[region - 1][seed - 1];
}

int OptionsDialog::selectedRegion() const { return m_regionsChoice->currentIndex() + 1; }

void OptionsDialog::showRegionTeams()
{
    const int region = selectedRegion();
    if (region < 1 || region > RegionCount) return;
    // An editor still open shows a cell of the region shown before; its text is stored already.
    m_teamsGrid->closeOpenEditor();
    for (int seed = 1; seed <= SeedCount; ++seed) {
        const Team& entry = m_workTeams[region - 1][seed - 1];
        m_teamsGrid->item(seed - 1, NameColumn)->setText(toQString(entry.name.text()));
        m_teamsGrid->item(seed - 1, WinsColumn)->setText(toQString(entry.wins.text()));
        m_teamsGrid->item(seed - 1, LossesColumn)->setText(toQString(entry.losses.text()));
    }
}

void OptionsDialog::onRegionChosen() { showRegionTeams(); }

void OptionsDialog::grdTeamsSetEditText(int column, int row, const QString& text)
{
    const int region = selectedRegion();
    if (region < 1 || region > RegionCount || row < 1 || row > SeedCount) return;
    Team& entry = m_workTeams[region - 1][row - 1];
    // The fields cut to their widths on the stored bytes (12, 2 and 2).
    switch (column) {
    case NameColumn: entry.name = toAnsi(text); break;
    case WinsColumn: entry.wins = toAnsi(text); break;
    case LossesColumn: entry.losses = toAnsi(text); break;
    default: break;
    }
}

std::array<std::string, RegionCount> OptionsDialog::storedRegionNames() const
{
    // Compared as the file will keep them, so two names that differ only in what the file drops
    // (blanks around a name, a second line) count as the same name.
    std::array<std::string, RegionCount> names;
    for (int i = 0; i < RegionCount; ++i) names[i] = regionNameAsStored(toAnsi(lstRegion[i]->currentText()));
    return names;
}

bool OptionsDialog::regionsUnique()
{
    // Compared as they will be stored, so two names that the code page cannot tell apart count
    // as the same name.
    const std::array<std::string, RegionCount> names = storedRegionNames();
    for (int i = 0; i < RegionCount; ++i)
        for (int j = i + 1; j < RegionCount; ++j)
            if (names[i] == names[j]) return false;
    return true;
}

std::string OptionsDialog::KeptText::bytesFor(const QString& text) const { return toAnsiKeeping(text, shown, stored); }

bool OptionsDialog::roundValuesValid()
{
    for (int i = 0; i < RoundCount; ++i) {
        if (txtRnd[i]->text() == m_keptRounds[i].shown || roundValue(txtRnd[i])) continue;
        m_pages->setCurrentWidget(m_scoringPage);
        txtRnd[i]->setFocus();
        showInformation(lblRnd[i]->text() + QStringLiteral(" needs a whole number."));
        return false;
    }
    return true;
}

std::array<OptionsDialog::TextSetting, 4> OptionsDialog::ruleTexts() const
{
    return {{{m_costBox, settings::Cost, settings::DefaultCost},
             {m_deadlineBox, settings::Deadline, settings::DefaultDeadline},
             {m_tiebreakerBox, settings::Tiebreaker, settings::DefaultTiebreaker},
             {m_returnToBox, settings::ReturnTo, settings::DefaultReturnTo}}};
}

std::array<OptionsDialog::SwitchSetting, 6> OptionsDialog::ruleSwitches() const
{
    return {{{m_costCheck, settings::PrintCost},
             {m_deadlineCheck, settings::PrintDeadline},
             {m_tiebreakerCheck, settings::PrintTiebreaker},
             {m_scoringCheck, settings::PrintScoring},
             {m_payoutCheck, settings::PrintPayout},
             {m_returnToCheck, settings::PrintReturnTo}}};
}

void OptionsDialog::readSettings()
{
    using namespace settings;
    SettingsFile store(m_session.settings());
    for (int round = 1; round <= RoundCount; ++round) {
        KeptRound& kept = m_keptRounds[round - 1];
        kept.stored = store.readInteger(Scoring, roundName(round), defaultRoundValue(round));
        txtRnd[round - 1]->setText(QString::number(kept.stored));
        kept.shown = txtRnd[round - 1]->text();
    }
    m_useSeedCheck->setChecked(store.readBool(Scoring, MultiplybySeed, DefaultMultiplyBySeed));
    m_feeBox->setText(fromAnsi(store.readString(Other, EntryFee, "")));
    m_feeShown = m_feeBox->text();
    m_payoutsBox->setText(fromAnsi(store.readString(Other, Payouts, DefaultPayouts)));
    m_payoutsShown = m_payoutsBox->text();
    const std::array<TextSetting, 4> texts = ruleTexts();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        KeptText& kept = m_keptRules[i];
        kept.stored = store.readString(Rules, texts[i].name, texts[i].def);
        texts[i].box->setText(fromAnsi(kept.stored));
        kept.shown = texts[i].box->text();
        texts[i].box->setCursorPosition(0);  // show the beginning of a long text
    }
    for (int row = 1; row <= PayoutRows; ++row) {
        for (int column : {PayoutDescColumn, PayoutPctColumn}) {
            KeptText& kept = m_keptPayout[row - 1][column];
            kept.stored = column == PayoutDescColumn
                              ? store.readString(Rules, payDescName(row), optionsPayDescDefault(row))
                              : store.readString(Rules, payPctName(row), optionsPayPctDefault(row));
            m_payoutGrid->item(row - 1, column)->setText(fromAnsi(kept.stored));
            kept.shown = m_payoutGrid->item(row - 1, column)->text();
        }
    }
    for (const SwitchSetting& option : ruleSwitches())
        option.box->setChecked(store.readBool(Rules, option.name, DefaultPrintSwitch));
}

void OptionsDialog::writeSettings()
{
    using namespace settings;
    SettingsFile store(m_session.settings());
    for (int round = 1; round <= RoundCount; ++round) {
        const KeptRound& kept = m_keptRounds[round - 1];
        const QLineEdit* box = txtRnd[round - 1];
        store.writeInteger(Scoring, roundName(round),
                           box->text() == kept.shown ? kept.stored
                                                     : roundValue(box).value_or(defaultRoundValue(round)));
    }
    store.writeBool(Scoring, MultiplybySeed, m_useSeedCheck->isChecked());
    if (m_feeBox->text() != m_feeShown) store.writeString(Other, EntryFee, toAnsi(m_feeBox->text().trimmed()));
    if (m_payoutsBox->text() != m_payoutsShown)
        store.writeString(Other, Payouts, toAnsi(m_payoutsBox->text().trimmed()));
    const std::array<TextSetting, 4> texts = ruleTexts();
    for (std::size_t i = 0; i < texts.size(); ++i)
        store.writeString(Rules, texts[i].name, m_keptRules[i].bytesFor(texts[i].box->text()));
    for (int row = 1; row <= PayoutRows; ++row) {
        for (int column : {PayoutDescColumn, PayoutPctColumn})
            store.writeString(Rules, column == PayoutDescColumn ? payDescName(row) : payPctName(row),
                              m_keptPayout[row - 1][column].bytesFor(m_payoutGrid->item(row - 1, column)->text()));
    }
    for (const SwitchSetting& option : ruleSwitches()) store.writeBool(Rules, option.name, option.box->isChecked());
}

void OptionsDialog::acceptChanges()
{
    if (!regionsUnique()) {
        m_pages->setCurrentWidget(m_regionsPage);
        showInformation(QStringLiteral("Regions must be unique."));
        return;
    }
    // A payout cell still being edited holds its text in the editor only.
    m_payoutGrid->commitOpenEditor();
    if (!roundValuesValid()) return;
    // The money is checked only when changed: what the store held stays as it was.
    const auto refuse = [this](QLineEdit* box, const QString& text) {
        m_pages->setCurrentWidget(m_scoringPage);
        box->setFocus();
        showInformation(text);
    };
    const std::string fee = toAnsi(m_feeBox->text().trimmed());
    if (m_feeBox->text() != m_feeShown && !fee.empty() && !outlook::parseFee(fee))
        return refuse(m_feeBox, QStringLiteral("The entry fee needs a sum such as 5 or 12.50."));
    const std::string payouts = toAnsi(m_payoutsBox->text().trimmed());
    if (m_payoutsBox->text() != m_payoutsShown && !payouts.empty() && !outlook::parsePayouts(payouts))
        return refuse(m_payoutsBox,
                      QStringLiteral("Payouts need a percentage or fee for each place, such as 60,30,10 or "
                                     "50,30,20,fee."));

    try {
        storeWorkTeams();
        {
            BusyCursor busy;
            m_session.saveTeams();
        }
        m_session.saveRegions(storedRegionNames());
        writeSettings();
    } catch (const std::exception& error) {
        // The save stops at the failed step; what was written before stays written, and the
        // dialog closes as it would have.
        reportError(error);
    }
    // New round values, payouts and names change what the windows computed from them; the
    // stored points wait for the next scoring pass.
    m_session.optionsChanged();
    accept();
}
