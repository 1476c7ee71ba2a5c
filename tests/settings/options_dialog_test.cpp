// The Options dialog, driven as the organiser drives it: real keys and clicks on the offscreen
// dialog, boxes answered by the prompts fake, the files it writes compared byte for byte.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <memory>

#include "pool/bracket.h"
#include "pool/team_files.h"
#include "settings/edit_grid.h"
#include "settings/options_dialog.h"
#include "settings/settings.h"
#include "shell/main_window.h"
#include "support/fake_prompts.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace {
// A settings store that also remembers the order of the writes.
class RecordingSettings final : public MemorySettings {
public:
    std::vector<std::string> written;
    void Write(const std::string& section, const std::string& name, const std::string& value) override
    {
        MemorySettings::Write(section, name, value);
        written.push_back(section + "/" + name);
    }
};

// One record of the team file as it must be on disk.
std::string Record(int region, int seed, const std::string& name, const std::string& wins, const std::string& losses)
{
    std::string bytes(TeamRecordSize, '\0');
    bytes[0] = static_cast<char>(region);
    bytes[1] = static_cast<char>(seed);
    bytes[2] = static_cast<char>(name.size());
    bytes.replace(3, name.size(), name);
    bytes[15] = static_cast<char>(wins.size());
    bytes.replace(16, wins.size(), wins);
    bytes[18] = static_cast<char>(losses.size());
    bytes.replace(19, losses.size(), losses);
    return bytes;
}

struct TeamText {
    std::string name, wins, losses;
};
using TeamChanges = std::map<std::pair<int, int>, TeamText>;

// The whole team file: empty names and "00" records, except the given teams.
std::string TeamFile(const TeamChanges& teams)
{
    std::string bytes;
    for (int region = 1; region <= 4; ++region) {
        for (int seed = 1; seed <= 16; ++seed) {
            auto it = teams.find({region, seed});
            const TeamText team = it == teams.end() ? TeamText{"", "00", "00"} : it->second;
            bytes += Record(region, seed, team.name, team.wins, team.losses);
        }
    }
    return bytes;
}

// A team of the table as start-up would have loaded it.
void setTeam(int region, int seed, std::string_view name, std::string_view wins, std::string_view losses, int storedPlace)
{
    TTeam& team = TeamEntry(region, seed);
    team.region = team.seed = static_cast<std::uint8_t>(storedPlace);
    team.name = name;
    team.wins = wins;
    team.losses = losses;
}

std::string RegionFile(const std::string& r1, const std::string& r2, const std::string& r3, const std::string& r4)
{
    return "[Regions]\r\n1=" + r1 + "\r\n2=" + r2 + "\r\n3=" + r3 + "\r\n4=" + r4 + "\r\n";
}

enum Page { RegionsPage, TeamsPage, ScoringPage, RulesPage };
enum Column { NameColumn = 1, WinsColumn = 2, LossesColumn = 3 };

class OptionsDialogTest : public ::testing::Test {
public:  // the lambdas of table-driven cases use the helpers too
    void SetUp() override
    {
        m_previousStore = &SettingsStore();
        SetSettingsStore(&store);
        TestPrompts().clear();
        ClearTeams();
    }
    void TearDown() override
    {
        dialog.reset();
        SetSettingsStore(m_previousStore);
        TestPrompts().clear();
        ClearTeams();
    }

    // Opens the dialog as the main window does, but without blocking in a modal loop.
    TfrmOptions& open(const std::string& folder = {})
    {
        dialog = std::make_unique<TfrmOptions>(QString::fromStdString(folder.empty() ? dir.path() : folder));
        dialog->show();
        dialog->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        return *dialog;
    }

    template <class T>
    T* child(const QString& name) const
    {
        T* widget = dialog->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    QTabWidget* pages() const { return child<QTabWidget>(QStringLiteral("pcOptions")); }
    QComboBox* regionBox(int position) const { return child<QComboBox>(QStringLiteral("lstRegion%1").arg(position)); }
    QLineEdit* roundBox(int round) const { return child<QLineEdit>(QStringLiteral("txtRnd%1").arg(round)); }
    TEditGrid* teams() const { return child<TEditGrid>(QStringLiteral("grdTeams")); }
    TEditGrid* payout() const { return child<TEditGrid>(QStringLiteral("grdPayout")); }

    void clickPage(Page page) const
    {
        QTabBar* bar = pages()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
        ASSERT_EQ(pages()->currentIndex(), page);
    }

    // Replaces the whole text of a box by typing.
    static void retype(QLineEdit* box, const QString& text)
    {
        box->setFocus();
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Delete);
        for (QChar ch : text) {
            if (ch.unicode() < 0x80)
                QTest::keyClick(box, ch.toLatin1());
            else  // a key that only brings its character, as a foreign keyboard layout sends it
                QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        }
    }
    void typeRegions(const QStringList& names) const
    {
        for (int i = 0; i < 4; ++i) retype(regionBox(i + 1)->lineEdit(), names[i]);
    }

    // Chooses position 1..4 on the Teams page with the keyboard.
    void chooseRegion(int position) const
    {
        auto* list = child<QComboBox>(QStringLiteral("lstRegions"));
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Home);
        for (int i = 1; i < position; ++i) QTest::keyClick(list, Qt::Key_Down);
        ASSERT_EQ(list->currentIndex(), position - 1);
    }

    // Clicks a cell of a grid (opening its editor) and types over its text.
    static void typeCell(TEditGrid* grid, int row, int column, const QString& text)
    {
        QCoreApplication::processEvents();  // a grid just shown lays out its scroll range late
        grid->scrollToItem(grid->item(row, column));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(grid->item(row, column)).center());
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(editor, nullptr);
        ASSERT_EQ(grid->currentRow(), row);
        ASSERT_EQ(grid->currentColumn(), column);
        retype(editor, text);
    }
    void typeTeam(int seed, int column, const QString& text) const { typeCell(teams(), seed - 1, column, text); }
    QString shownTeam(int seed, int column) const { return teams()->item(seed - 1, column)->text(); }

    void clickOk() const { QTest::mouseClick(child<QPushButton>(QStringLiteral("cmdOk")), Qt::LeftButton); }
    bool closedWith(QDialog::DialogCode code) const { return !dialog->isVisible() && dialog->result() == code; }
    void expectNothingWritten() const
    {
        EXPECT_FALSE(dir.exists(TeamsFileName));
        EXPECT_FALSE(dir.exists(RegionsFileName));
        EXPECT_TRUE(store.values.empty());
    }

    TempDir dir;
    RecordingSettings store;
    std::unique_ptr<TfrmOptions> dialog;

private:
    ISettingsBackend* m_previousStore = nullptr;
};

// ---- Layout ---------------------------------------------------------------------------------

TEST_F(OptionsDialogTest, LayoutCaptionsAndLimits)
{
    open();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Options..."));
    EXPECT_EQ(dialog->size(), QSize(371, 294));
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());
    EXPECT_EQ(pages()->geometry(), QRect(0, 0, 371, 249));
    EXPECT_EQ(pages()->currentIndex(), RegionsPage);
    const QStringList tabs = {"Regions", "Teams", "Scoring", "Rules"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(pages()->tabText(i), tabs[i]);

    const QRect regionPlaces[] = {{8, 32, 145, 21}, {8, 136, 145, 21}, {208, 32, 145, 21}, {208, 136, 145, 21}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(regionBox(i + 1)->geometry(), regionPlaces[i]);
        EXPECT_TRUE(regionBox(i + 1)->isEditable());
        QStringList offered;
        for (int k = 0; k < regionBox(i + 1)->count(); ++k) offered << regionBox(i + 1)->itemText(k);
        EXPECT_EQ(offered, QStringList({"East", "Midwest", "South", "West"}));
    }

    TEditGrid* grid = teams();
    EXPECT_EQ(grid->rowCount(), 16);
    EXPECT_EQ(grid->columnCount(), 4);
    const QStringList headers = {"Seed", "Team Name", "Wins", "Losses"};
    const int widths[] = {64, 170, 52, 51};
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(grid->horizontalHeaderItem(c)->text(), headers[c]);
        EXPECT_EQ(grid->columnWidth(c), widths[c]);
    }
    for (int seed = 1; seed <= 16; ++seed) {
        EXPECT_EQ(grid->item(seed - 1, 0)->text(), QStringLiteral("%1.").arg(seed));
        EXPECT_FALSE(grid->item(seed - 1, 0)->flags() & Qt::ItemIsEditable);
        EXPECT_EQ(grid->rowHeight(seed - 1), 16);
    }
    EXPECT_EQ(child<QLabel>(QStringLiteral("lblRegion"))->text(), QStringLiteral("Region:"));
    EXPECT_EQ(child<QLabel>(QStringLiteral("lblTeamNameMax"))->text(), QStringLiteral("(Team Name 12 characters max.)"));
    EXPECT_EQ(child<QComboBox>(QStringLiteral("lstRegions"))->maxVisibleItems(), 4);
    EXPECT_FALSE(child<QComboBox>(QStringLiteral("lstRegions"))->isEditable());

    const QStringList captions = {"First Round:", "Second Round:", "Third Round:", "Fourth Round:", "Semi-Finals:",
                                  "Championship:"};
    for (int r = 1; r <= 6; ++r) {
        EXPECT_EQ(child<QLabel>(QStringLiteral("lblRnd%1").arg(r))->text(), captions[r - 1]);
        EXPECT_EQ(roundBox(r)->maxLength(), 2);
    }
    EXPECT_EQ(child<QCheckBox>(QStringLiteral("chkUseSeed"))->text(), QStringLiteral("Multiply Round Value by Seed"));

    const std::pair<const char*, const char*> checks[] = {
        {"chkCost", "Cost per Entry:"},       {"chkDeadline", "Deadline........:"}, {"chkScoring", "Scoring Format"},
        {"chkTiebreaker", "Tiebreaker.....:"}, {"chkPayout", "Payout...........:"}, {"chkReturnTo", "Return to........:"}};
    for (const auto& [name, text] : checks) EXPECT_EQ(child<QCheckBox>(QLatin1String(name))->text(), QLatin1String(text));
    EXPECT_EQ(child<QLineEdit>(QStringLiteral("txtDeadline"))->maxLength(), 70);
    EXPECT_EQ(child<QLineEdit>(QStringLiteral("txtTiebreaker"))->maxLength(), 70);
    EXPECT_EQ(child<QLineEdit>(QStringLiteral("txtReturnTo"))->maxLength(), 200);
    EXPECT_EQ(child<QLineEdit>(QStringLiteral("txtCost"))->width(), 41);
    EXPECT_EQ(payout()->horizontalHeaderItem(0)->text(), QStringLiteral("Description"));
    EXPECT_EQ(payout()->horizontalHeaderItem(1)->text(), QStringLiteral("% of Pot"));
    EXPECT_EQ(payout()->columnWidth(0), 145);
    EXPECT_EQ(payout()->columnWidth(1), 67);
    EXPECT_EQ(payout()->rowCount(), 8);
    EXPECT_TRUE(child<QPushButton>(QStringLiteral("cmdOk"))->isDefault());
}

// ---- Opening --------------------------------------------------------------------------------

TEST_F(OptionsDialogTest, EmptyStoreShowsTheDialogsDefaults)
{
    open();
    for (int r = 1; r <= 6; ++r) EXPECT_EQ(roundBox(r)->text(), QString::number(r));
    EXPECT_TRUE(child<QCheckBox>(QStringLiteral("chkUseSeed"))->isChecked());
    EXPECT_EQ(child<QLineEdit>(QStringLiteral("txtCost"))->text(), QStringLiteral("$5"));
    EXPECT_EQ(child<QLineEdit>(QStringLiteral("txtDeadline"))->text(), QStringLiteral("Thursday, March 13, NOON"));
    EXPECT_EQ(child<QLineEdit>(QStringLiteral("txtTiebreaker"))->text(),
              QStringLiteral("Total # of points in Championship game."));
    EXPECT_EQ(child<QLineEdit>(QStringLiteral("txtReturnTo"))->text(),
              QStringLiteral("John Doe in accounting or fax to (555) 555-1234"));
    const QStringList descs = {"1st Place", "2nd Place", "3rd Place", "4th Place", "Last Place", "", "", ""};
    const QStringList pcts = {"65%", "15%", "10%", "5%", "5%", "", "", ""};
    for (int row = 0; row < 8; ++row) {
        EXPECT_EQ(payout()->item(row, 0)->text(), descs[row]);
        EXPECT_EQ(payout()->item(row, 1)->text(), pcts[row]);
    }
    for (const char* name : {"chkCost", "chkDeadline", "chkScoring", "chkTiebreaker", "chkPayout", "chkReturnTo"})
        EXPECT_TRUE(child<QCheckBox>(QLatin1String(name))->isChecked()) << name;
    // Reading leaves nothing behind in the store.
    EXPECT_TRUE(store.written.empty());
}

TEST_F(OptionsDialogTest, StoredValuesAreShownAndBadNumbersReadAsDefaults)
{
    store.values = {{{"Scoring", "Round1"}, "10"},  {{"Scoring", "Round3"}, "abc"},   {{"Scoring", "Round4"}, ""},
                    {{"Scoring", "Round6"}, "-3"},  {{"Scoring", "MultiplybySeed"}, "0"}, {{"Rules", "PayDesc1"}, ""},
                    {{"Rules", "Cost"}, "\x80" "10"}, {{"Rules", "PrintPayout"}, "0"},    {{"Rules", "PayPct7"}, "1%"}};
    open();
    const QStringList rounds = {"10", "2", "3", "4", "5", "-3"};
    for (int r = 1; r <= 6; ++r) EXPECT_EQ(roundBox(r)->text(), rounds[r - 1]) << r;
    EXPECT_FALSE(child<QCheckBox>(QStringLiteral("chkUseSeed"))->isChecked());
    EXPECT_EQ(payout()->item(0, 0)->text(), QString());  // stored empty, not "1st Place"
    EXPECT_EQ(payout()->item(0, 1)->text(), QStringLiteral("65%"));
    EXPECT_EQ(payout()->item(6, 1)->text(), QStringLiteral("1%"));
    EXPECT_EQ(child<QLineEdit>(QStringLiteral("txtCost"))->text(), QStringLiteral("\u20AC10"));
    EXPECT_FALSE(child<QCheckBox>(QStringLiteral("chkPayout"))->isChecked());
    EXPECT_TRUE(child<QCheckBox>(QStringLiteral("chkReturnTo"))->isChecked());
}

TEST_F(OptionsDialogTest, RegionsAndTeamsComeFromTheFileAndTheTable)
{
    dir.write(RegionsFileName, "[Regions]\r\n1=East\r\n2=West\r\n3=South\r\n4=Midwest\r\n");
    setTeam(2, 5, "Oak Ridge", "21", "7", 9);
    setTeam(3, 16, "Lowell", "", "", 0);
    open();
    const QStringList names = {"East", "West", "South", "Midwest"};
    auto* list = child<QComboBox>(QStringLiteral("lstRegions"));
    ASSERT_EQ(list->count(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(regionBox(i + 1)->currentText(), names[i]);
        EXPECT_EQ(list->itemText(i), names[i]);
    }
    EXPECT_EQ(list->currentIndex(), 0);
    EXPECT_EQ(shownTeam(5, NameColumn), QString());
    // The working copy carries each entry's own position, whatever the table held.
    EXPECT_EQ(dialog->WorkTeam(2, 5).region, 2);
    EXPECT_EQ(dialog->WorkTeam(2, 5).seed, 5);

    clickPage(TeamsPage);
    chooseRegion(2);
    EXPECT_EQ(shownTeam(5, NameColumn), QStringLiteral("Oak Ridge"));
    EXPECT_EQ(shownTeam(5, WinsColumn), QStringLiteral("21"));
    EXPECT_EQ(shownTeam(5, LossesColumn), QStringLiteral("7"));
    chooseRegion(3);
    EXPECT_EQ(shownTeam(16, NameColumn), QStringLiteral("Lowell"));
    EXPECT_EQ(shownTeam(16, WinsColumn), QString());
    EXPECT_EQ(shownTeam(5, NameColumn), QString());
}

// ---- Regions --------------------------------------------------------------------------------

TEST_F(OptionsDialogTest, WithoutRegionFileTheBoxesAreEmpty)
{
    open();
    auto* list = child<QComboBox>("lstRegions");
    ASSERT_EQ(list->count(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(regionBox(i + 1)->currentText(), QString());
        EXPECT_EQ(list->itemText(i), QString());
    }
}

// OK is refused until the four names differ: compared case-sensitively, and as they will be
// stored, so two names the code page cannot tell apart count as the same.
TEST_F(OptionsDialogTest, OkNeedsFourDifferentRegionNames)
{
    struct Case {
        QStringList typed;
        std::string file;  // empty: refused
    };
    const Case cases[] = {
        {{"", "", "", ""}, ""},
        {{"East", "West", "", ""}, ""},
        {{"East", "West", "East", "South"}, ""},
        {{"\u03A9 North", "\u0416 North", "South", "West"}, ""},
        {{"East", "east", "West", "South"}, RegionFile("East", "east", "West", "South")},
        {{"\u03A9 North", "Z\u00FCrich", "South", "West"}, RegionFile("? North", "Z\xFCrich", "South", "West")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.join(',').toStdString());
        TestPrompts().clear();
        open();
        typeRegions(c.typed);
        clickPage(TeamsPage);
        clickOk();
        if (c.file.empty()) {
            EXPECT_EQ(TestPrompts().texts(), QStringList{"Regions must be unique."});
            EXPECT_EQ(TestPrompts().boxes.at(0).kind, PromptKind::Information);
            EXPECT_EQ(pages()->currentIndex(), RegionsPage);
            EXPECT_TRUE(dialog->isVisible());
            expectNothingWritten();
        } else {
            EXPECT_TRUE(TestPrompts().texts().isEmpty());
            EXPECT_TRUE(closedWith(QDialog::Accepted));
            EXPECT_EQ(dir.read(RegionsFileName), c.file);
            std::filesystem::remove(dir.file(RegionsFileName));
        }
    }
}

TEST_F(OptionsDialogTest, SwappingNamesMovesTheNamesNotTheTeams)
{
    dir.write(RegionsFileName, "[Regions]\r\n1=East\r\n2=Midwest\r\n3=West\r\n4=South\r\n");
    setTeam(1, 1, "Easton", "30", "2", 1);
    setTeam(3, 1, "Westfield", "28", "4", 3);
    open();
    retype(regionBox(1)->lineEdit(), "West");
    retype(regionBox(3)->lineEdit(), "East");
    // The list of the Teams page keeps the names the file gave when the dialog opened.
    EXPECT_EQ(child<QComboBox>(QStringLiteral("lstRegions"))->itemText(0), QStringLiteral("East"));
    clickOk();
    ASSERT_TRUE(closedWith(QDialog::Accepted));
    EXPECT_EQ(dir.read(RegionsFileName), RegionFile("West", "Midwest", "East", "South"));
    EXPECT_EQ(dir.read(TeamsFileName),
              TeamFile({{{1, 1}, {"Easton", "30", "2"}}, {{3, 1}, {"Westfield", "28", "4"}}}));
}

// ---- Teams ----------------------------------------------------------------------------------

TEST_F(OptionsDialogTest, WithoutTeamFileOkWritesEmptyNamesAndDoubleZeros)
{
    open();
    clickPage(TeamsPage);
    for (int position = 1; position <= 4; ++position) {
        chooseRegion(position);
        for (int seed = 1; seed <= 16; ++seed)
            for (int column : {NameColumn, WinsColumn, LossesColumn}) EXPECT_EQ(shownTeam(seed, column), QString());
    }
    typeRegions({"East", "West", "South", "Midwest"});
    clickOk();
    ASSERT_TRUE(closedWith(QDialog::Accepted));
    const std::string bytes = dir.read(TeamsFileName);
    EXPECT_EQ(bytes.size(), 1344u);
    EXPECT_EQ(bytes, TeamFile({}));
    // The table itself now holds "00" and every entry's own position.
    EXPECT_EQ(TeamEntry(4, 16).wins.str(), "00");
    EXPECT_EQ(TeamEntry(4, 16).losses.str(), "00");
    EXPECT_EQ(TeamEntry(4, 16).region, 4);
    EXPECT_EQ(TeamEntry(4, 16).seed, 16);
}

TEST_F(OptionsDialogTest, TypedTeamsAreCutOnTheStoredBytes)
{
    struct Case {
        int column;
        QString typed;
        std::string stored;
    };
    const Case cases[] = {
        {NameColumn, "Fifteen Letter!", "Fifteen Lett"},
        {NameColumn, "Twelve Chars", "Twelve Chars"},
        {NameColumn, "St. \u0141\u00F3d\u017E U", "St. ?\xF3" "d\x9E U"},  // Ł has no place in the code page
        {NameColumn, "", ""},
        {WinsColumn, "123", "12"},
        {WinsColumn, "0", "0"},
        {LossesColumn, "7", "7"},
        {LossesColumn, "", "00"},
    };
    open();
    typeRegions({"East", "West", "South", "Midwest"});
    clickPage(TeamsPage);
    chooseRegion(2);
    for (std::size_t i = 0; i < std::size(cases); ++i) typeTeam(static_cast<int>(i) + 1, cases[i].column, cases[i].typed);
    // The cell goes on showing what was typed until the grid is filled again.
    EXPECT_EQ(shownTeam(1, NameColumn), QStringLiteral("Fifteen Letter!"));
    chooseRegion(1);
    chooseRegion(2);
    EXPECT_EQ(shownTeam(1, NameColumn), QStringLiteral("Fifteen Lett"));
    EXPECT_EQ(shownTeam(5, WinsColumn), QStringLiteral("12"));
    clickOk();
    ASSERT_TRUE(closedWith(QDialog::Accepted));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].typed.toStdString());
        const TTeam& team = TeamEntry(2, static_cast<int>(i) + 1);
        const std::string stored = cases[i].column == NameColumn ? team.name.str()
                                 : cases[i].column == WinsColumn ? team.wins.str()
                                                                 : team.losses.str();
        EXPECT_EQ(stored, cases[i].stored);
    }
    const std::string bytes = dir.read(TeamsFileName);
    ASSERT_EQ(bytes.size(), 1344u);
    EXPECT_EQ(bytes.substr(16 * TeamRecordSize, TeamRecordSize), Record(2, 1, "Fifteen Lett", "00", "00"));
    EXPECT_EQ(bytes.substr(21 * TeamRecordSize, TeamRecordSize), Record(2, 6, "", "0", "00"));
}

TEST_F(OptionsDialogTest, EditsSurviveRegionSwitchesAndOkSavesThem)
{
    open();
    typeRegions({"East", "West", "South", "Midwest"});
    clickPage(TeamsPage);
    chooseRegion(2);
    typeTeam(3, NameColumn, "Harbor City");
    typeTeam(3, WinsColumn, "25");
    typeTeam(3, LossesColumn, "6");
    chooseRegion(3);
    EXPECT_EQ(shownTeam(3, NameColumn), QString());
    typeTeam(16, NameColumn, "Bayside");
    chooseRegion(2);
    EXPECT_EQ(shownTeam(3, NameColumn), QStringLiteral("Harbor City"));
    EXPECT_EQ(shownTeam(3, WinsColumn), QStringLiteral("25"));
    EXPECT_EQ(shownTeam(3, LossesColumn), QStringLiteral("6"));
    clickOk();
    ASSERT_TRUE(closedWith(QDialog::Accepted));
    EXPECT_EQ(dir.read(TeamsFileName),
              TeamFile({{{2, 3}, {"Harbor City", "25", "6"}}, {{3, 16}, {"Bayside", "00", "00"}}}));
}

// Cancel, Escape (in a box or in a grid cell being edited) and the close box write nothing and
// leave the team table as it was.
TEST_F(OptionsDialogTest, EveryWayOfCancellingWritesNothing)
{
    const std::pair<const char*, std::function<void(OptionsDialogTest&)>> ways[] = {
        {"Cancel button", [](OptionsDialogTest& t) { QTest::mouseClick(t.child<QPushButton>("cmdCancel"), Qt::LeftButton); }},
        {"Escape in a box", [](OptionsDialogTest& t) { QTest::keyClick(t.regionBox(1)->lineEdit(), Qt::Key_Escape); }},
        {"Escape in a cell",
         [](OptionsDialogTest& t) {
             typeCell(t.teams(), 0, NameColumn, "Half typed");
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
         }},
        {"close box", [](OptionsDialogTest& t) { t.dialog->close(); }},
    };
    for (const auto& [way, cancel] : ways) {
        SCOPED_TRACE(way);
        ClearTeams();
        setTeam(2, 3, "Old Name", "1", "2", 2);
        open();
        typeRegions({"East", "West", "South", "Midwest"});
        retype(roundBox(1), "9");
        clickPage(TeamsPage);
        chooseRegion(2);
        typeTeam(3, NameColumn, "New Name");
        chooseRegion(3);
        chooseRegion(2);
        EXPECT_EQ(shownTeam(3, NameColumn), QStringLiteral("New Name"));
        cancel(*this);
        EXPECT_TRUE(closedWith(QDialog::Rejected));
        expectNothingWritten();
        EXPECT_EQ(TeamEntry(2, 3).name.str(), "Old Name");
        EXPECT_EQ(TeamEntry(2, 3).wins.str(), "1");
        // The next opening starts again from the table.
        open();
        clickPage(TeamsPage);
        chooseRegion(2);
        EXPECT_EQ(shownTeam(3, NameColumn), QStringLiteral("Old Name"));
        dialog->reject();
    }
}

TEST_F(OptionsDialogTest, TabWalksTheCellsAndLeavesAfterTheLast)
{
    open();
    clickPage(TeamsPage);
    TEditGrid* grid = teams();
    typeCell(grid, 0, NameColumn, "A");
    const std::pair<int, int> walk[] = {{0, WinsColumn}, {0, LossesColumn}, {1, NameColumn}, {1, WinsColumn}};
    for (const auto& [row, column] : walk) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(grid->currentRow(), row);
        EXPECT_EQ(grid->currentColumn(), column);
        EXPECT_TRUE(qobject_cast<QLineEdit*>(QApplication::focusWidget()));
        EXPECT_EQ(QApplication::focusWidget()->parentWidget(), grid->viewport());
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(grid->currentColumn(), NameColumn);
    typeCell(grid, 15, LossesColumn, "3");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_FALSE(grid->isAncestorOf(QApplication::focusWidget()));
    EXPECT_EQ(dialog->WorkTeam(1, 1).name.str(), "A");
    EXPECT_EQ(dialog->WorkTeam(1, 16).losses.str(), "3");
}

TEST_F(OptionsDialogTest, EnterPressesOk)
{
    open();
    typeRegions({"East", "West", "South", "Midwest"});
    clickPage(TeamsPage);
    typeTeam(1, NameColumn, "Typed Last");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(closedWith(QDialog::Accepted));
    EXPECT_EQ(dir.read(TeamsFileName), TeamFile({{{1, 1}, {"Typed Last", "00", "00"}}}));
}
// ---- Scoring and rules ----------------------------------------------------------------------

TEST_F(OptionsDialogTest, OkWritesEverySettingInOrder)
{
    open();
    typeRegions({"East", "West", "South", "Midwest"});
    clickPage(ScoringPage);
    const QStringList typed = {"10", "+7", "-5", "0", " 9", "99"};
    for (int r = 1; r <= 6; ++r) retype(roundBox(r), typed[r - 1]);
    QTest::mouseClick(child<QCheckBox>("chkUseSeed"), Qt::LeftButton);
    clickPage(RulesPage);
    retype(child<QLineEdit>("txtCost"), "$10");
    retype(child<QLineEdit>("txtReturnTo"), "Kim in room 4");
    typeCell(payout(), 5, 0, "Sixth");
    typeCell(payout(), 5, 1, "1%");
    QTest::mouseClick(child<QCheckBox>("chkScoring"), Qt::LeftButton);
    clickOk();
    ASSERT_TRUE(closedWith(QDialog::Accepted));

    std::vector<std::string> order;
    for (int r = 1; r <= 6; ++r) order.push_back("Scoring/Round" + std::to_string(r));
    order.push_back("Scoring/MultiplybySeed");
    for (const char* name : {"Cost", "Deadline", "Tiebreaker", "ReturnTo"}) order.push_back(std::string("Rules/") + name);
    for (int row = 1; row <= 8; ++row) {
        order.push_back("Rules/PayDesc" + std::to_string(row));
        order.push_back("Rules/PayPct" + std::to_string(row));
    }
    for (const char* name : {"PrintCost", "PrintDeadline", "PrintTiebreaker", "PrintScoring", "PrintPayout", "PrintReturnTo"})
        order.push_back(std::string("Rules/") + name);
    EXPECT_EQ(store.written, order);

    const std::map<std::pair<std::string, std::string>, std::string> expected = {
        {{"Scoring", "Round1"}, "10"}, {{"Scoring", "Round2"}, "7"}, {{"Scoring", "Round3"}, "-5"},
        {{"Scoring", "Round4"}, "0"}, {{"Scoring", "Round5"}, "9"}, {{"Scoring", "Round6"}, "99"},
        {{"Scoring", "MultiplybySeed"}, "0"}, {{"Rules", "Cost"}, "$10"},
        {{"Rules", "Deadline"}, "Thursday, March 13, NOON"},
        {{"Rules", "Tiebreaker"}, "Total # of points in Championship game."}, {{"Rules", "ReturnTo"}, "Kim in room 4"},
        {{"Rules", "PayDesc1"}, "1st Place"}, {{"Rules", "PayPct1"}, "65%"}, {{"Rules", "PayDesc2"}, "2nd Place"},
        {{"Rules", "PayPct2"}, "15%"}, {{"Rules", "PayDesc3"}, "3rd Place"}, {{"Rules", "PayPct3"}, "10%"},
        {{"Rules", "PayDesc4"}, "4th Place"}, {{"Rules", "PayPct4"}, "5%"}, {{"Rules", "PayDesc5"}, "Last Place"},
        {{"Rules", "PayPct5"}, "5%"}, {{"Rules", "PayDesc6"}, "Sixth"}, {{"Rules", "PayPct6"}, "1%"},
        {{"Rules", "PayDesc7"}, ""}, {{"Rules", "PayPct7"}, ""}, {{"Rules", "PayDesc8"}, ""}, {{"Rules", "PayPct8"}, ""},
        {{"Rules", "PrintCost"}, "1"}, {{"Rules", "PrintDeadline"}, "1"}, {{"Rules", "PrintTiebreaker"}, "1"},
        {{"Rules", "PrintScoring"}, "0"}, {{"Rules", "PrintPayout"}, "1"}, {{"Rules", "PrintReturnTo"}, "1"},
    };
    EXPECT_EQ(store.values, expected);
}

TEST_F(OptionsDialogTest, ClearedPayoutRowIsStoredEmptyAndShownEmptyNextTime)
{
    open();
    typeRegions({"East", "West", "South", "Midwest"});
    clickPage(RulesPage);
    typeCell(payout(), 0, 0, "");
    typeCell(payout(), 0, 1, "");
    // Enter while the cell is still being edited: its text counts.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_TRUE(closedWith(QDialog::Accepted));
    EXPECT_EQ(store.values.at({"Rules", "PayDesc1"}), "");
    EXPECT_EQ(store.values.at({"Rules", "PayPct1"}), "");
    open();
    EXPECT_EQ(payout()->item(0, 0)->text(), QString());
    EXPECT_EQ(payout()->item(0, 1)->text(), QString());
    EXPECT_EQ(payout()->item(1, 0)->text(), QStringLiteral("2nd Place"));
}

// A round box that holds no whole number is refused before anything is written.
TEST_F(OptionsDialogTest, RoundBoxWithoutNumberIsRefusedBeforeAnythingIsWritten)
{
    struct Case {
        int round;
        QString typed;
        QString message;
    };
    const Case cases[] = {
        {3, "", "Third Round: needs a whole number."},
        {1, "-", "First Round: needs a whole number."},
        {5, "+", "Semi-Finals: needs a whole number."},
        {6, "5-", "Championship: needs a whole number."},
        {2, "+-", "Second Round: needs a whole number."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        TestPrompts().clear();
        open();
        typeRegions({"East", "West", "South", "Midwest"});
        retype(roundBox(c.round), c.typed);
        clickPage(TeamsPage);
        typeTeam(1, NameColumn, "Kept");
        clickOk();
        EXPECT_EQ(TestPrompts().texts(), QStringList{c.message});
        EXPECT_EQ(TestPrompts().boxes.at(0).kind, PromptKind::Information);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(pages()->currentIndex(), ScoringPage);
        EXPECT_EQ(QApplication::focusWidget(), roundBox(c.round));
        expectNothingWritten();
        EXPECT_EQ(TeamEntry(1, 1).name.str(), "");
        // Mended, the same OK saves everything.
        retype(roundBox(c.round), "4");
        TestPrompts().clear();
        clickOk();
        EXPECT_TRUE(TestPrompts().texts().isEmpty());
        EXPECT_TRUE(closedWith(QDialog::Accepted));
        EXPECT_EQ(store.values.at({"Scoring", "Round" + std::to_string(c.round)}), "4");
        EXPECT_EQ(TeamEntry(1, 1).name.str(), "Kept");
        std::filesystem::remove(dir.file(TeamsFileName));
        std::filesystem::remove(dir.file(RegionsFileName));
        store.values.clear();
        ClearTeams();
    }
}

TEST_F(OptionsDialogTest, DuplicateRegionsAreReportedBeforeRoundBoxes)
{
    open();
    retype(roundBox(2), "");
    clickPage(RulesPage);
    clickOk();
    EXPECT_EQ(TestPrompts().texts(), QStringList{"Regions must be unique."});
    EXPECT_EQ(pages()->currentIndex(), RegionsPage);
    expectNothingWritten();
}

// ---- Failures -------------------------------------------------------------------------------

TEST_F(OptionsDialogTest, TeamFileThatCannotBeWrittenStopsTheSave)
{
    // A folder in the team file's place: the file cannot replace it.
    std::filesystem::create_directory(dir.file(TeamsFileName));
    open();
    typeRegions({"East", "West", "South", "Midwest"});
    clickPage(TeamsPage);
    typeTeam(2, NameColumn, "Edited");
    clickOk();
    ASSERT_EQ(TestPrompts().boxes.size(), 1u);
    EXPECT_EQ(TestPrompts().boxes[0].kind, PromptKind::Error);
    const QString text = TestPrompts().boxes[0].text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("Cannot replace file "))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("TEAMS.HFD"))) << text.toStdString();
    EXPECT_FALSE(dialog->isVisible());
    // The table holds the edits; nothing after the team file was written.
    EXPECT_EQ(TeamEntry(1, 2).name.str(), "Edited");
    EXPECT_FALSE(dir.exists(RegionsFileName));
    EXPECT_TRUE(store.values.empty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(OptionsDialogTest, RefusedSettingsWriteEndsTheSaveWithItsError)
{
    store.refuseWrites = true;
    open();
    typeRegions({"East", "West", "South", "Midwest"});
    clickOk();
    EXPECT_EQ(TestPrompts().texts(), QStringList{"Failed to set data for 'Round1'"});
    EXPECT_EQ(TestPrompts().boxes.at(0).kind, PromptKind::Error);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dir.read(TeamsFileName), TeamFile({}));
    EXPECT_EQ(dir.read(RegionsFileName), RegionFile("East", "West", "South", "Midwest"));
}

// ---- The whole road -------------------------------------------------------------------------

TEST_F(OptionsDialogTest, AFieldEnteredSurvivesARestart)
{
    open();
    typeRegions({"East", "West", "South", "Midwest"});
    clickPage(TeamsPage);
    for (int position = 1; position <= 4; ++position) {
        chooseRegion(position);
        for (int seed = 1; seed <= 16; seed += 5) {
            typeTeam(seed, NameColumn, QStringLiteral("Team %1-%2").arg(position).arg(seed));
            typeTeam(seed, WinsColumn, QString::number(10 + seed));
            typeTeam(seed, LossesColumn, QString::number(position));
        }
    }
    clickOk();
    ASSERT_TRUE(closedWith(QDialog::Accepted));

    // A new start: the table comes from the file again.
    ClearTeams();
    RecordingHost host;
    ASSERT_TRUE(LoadTeams(dir.path(), host));
    EXPECT_TRUE(host.information.empty());
    open();
    const QStringList names = {"East", "West", "South", "Midwest"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(regionBox(i + 1)->currentText(), names[i]);
    clickPage(TeamsPage);
    for (int position = 1; position <= 4; ++position) {
        chooseRegion(position);
        EXPECT_EQ(child<QComboBox>("lstRegions")->currentText(), names[position - 1]);
        for (int seed = 1; seed <= 16; ++seed) {
            const bool entered = (seed - 1) % 5 == 0;
            EXPECT_EQ(shownTeam(seed, NameColumn), entered ? QStringLiteral("Team %1-%2").arg(position).arg(seed) : QString());
            EXPECT_EQ(shownTeam(seed, WinsColumn), entered ? QString::number(10 + seed) : QStringLiteral("00"));
            EXPECT_EQ(shownTeam(seed, LossesColumn), entered ? QString::number(position) : QStringLiteral("00"));
        }
    }
}

TEST_F(OptionsDialogTest, MainWindowOpensTheDialogModally)
{
    TMainForm main(QString::fromStdString(dir.path()));
    TestPrompts().clear();
    QString title;
    bool modal = false;
    QTimer::singleShot(0, [&] {
        auto* shown = qobject_cast<TfrmOptions*>(QApplication::activeModalWidget());
        if (!shown) return;
        title = shown->windowTitle();
        modal = shown->isModal();
        QTest::keyClick(shown, Qt::Key_Escape);
    });
    main.mnuOptions->trigger();
    EXPECT_EQ(title, QStringLiteral("Options..."));
    EXPECT_TRUE(modal);
    expectNothingWritten();
}
}  // namespace
