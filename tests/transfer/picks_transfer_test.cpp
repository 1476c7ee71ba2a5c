// Import Picks and Export Picks: the round trip, each reason a line is refused, what a cell may
// say, storing in one step, and the page.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "core/pool/errors.h"
#include "core/pool/players.h"
#include "core/transfer/entry_page.h"
#include "core/transfer/entry_page_template.h"
#include "core/transfer/picks_export.h"
#include "core/transfer/team_names.h"
#include "pool/pool_samples.h"
#include "transfer_fixture.h"

using ::testing::StartsWith;
using ::testing::StrEq;
using ::testing::ThrowsMessage;

void PrintTo(const TransferProblem& p, std::ostream* os) { *os << problemText(p).bytes; }

namespace {
std::string join(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

// What a stored sheet holds, for comparing entries.
std::string sheet(const Player& e)
{
    std::string text = e.name.text().bytes + "|" + e.tiebreaker.text().bytes + "|" + std::to_string(e.paid) +
                       std::to_string(e.complete);
    for (int g = 1; g <= GameCount; ++g) text += " " + std::to_string(e.picks[std::size_t(g)]);
    return text;
}

PicksImport importFile(TestPool& pool, const std::string& bytes)
{
    const TeamNames names(pool.session->teams(), pool.session->regionNames());
    return readPicksImport(bytes, names, &pool.session->players());
}
}  // namespace

class PicksTransfer : public ::testing::Test {
protected:
    TempDir dir;
    TestPool pool{dir};
};

TEST_F(PicksTransfer, ExportedPicksReadBackAsTheSameEntries)
{
    std::mt19937 rng(7);
    const std::string names[] = {"Smith, \"Jr\" <&>", "=SUM(A1)", "'=x", "Zo\xEB \x80", "-5 points", "Plain"};
    PlayerList& players = pool.session->players();
    for (int i = 0; i < 6; ++i) {
        Player entry = makeEntry(i + 1, names[i], randomBracket(rng, i == 2 ? 40 : GameCount));
        entry.tiebreaker = i == 4 ? "-5" : std::to_string(140 + i);
        entry.paid = std::uint8_t(i % 2);
        entry.complete = i == 2 ? 0 : 1;
        players.add(entry);
    }
    players.add(makeEntry(ResultsId, ResultsName, favourites(8)));  // not a participant: not exported
    exportPicksFile(*pool.session, dir.file("picks.csv"), PicksFileFormat::Csv);

    const std::string bytes = dir.read("picks.csv");
    EXPECT_EQ(bytes.rfind("\xEF\xBB\xBFName,Tiebreaker,Paid,Game 1,Game 2,", 0), 0u);
    EXPECT_NE(bytes.find("\r\n\"Smith, \"\"Jr\"\" <&>\",140,No,"), std::string::npos);
    EXPECT_NE(bytes.find("\r\n'=SUM(A1),141,Yes,"), std::string::npos);  // a spreadsheet shows it as text
    EXPECT_NE(bytes.find("\r\nZo\xC3\xAB \xE2\x82\xAC,143,Yes,"), std::string::npos);

    TempDir other;
    TestPool fresh(other);
    const PicksImport import = importFile(fresh, bytes);
    EXPECT_EQ(import.refused.listed, std::vector<TransferProblem>{});
    EXPECT_EQ(import.incomplete, 1);
    ASSERT_EQ(import.entries.size(), 6u);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(sheet(import.entries[std::size_t(i)]), sheet(players[i])) << i;
}

TEST_F(PicksTransfer, EachRefusedLineWithItsLineColumnAndReason)
{
    pool.session->players().add(makeEntry(5, "Alice"));
    const PickArray all = favourites();
    const std::string text = join({
        picksHeader(),
        picksLine("Bob,7,Yes", all),
        picksLine(",1,No", all),
        picksLine("Carl,1,maybe", all),
        picksLine("Dee,1,No", all, 5, "Dook"),
        picksLine("Eve,1,No", all, 3, " TECH"),
        picksLine("Fay,1,No", all, 34, "T101"),
        picksLine("Alice,1,No", all),
        picksLine("\"Multi\r\nLine\",1,No", favourites(32)),
        picksLine("Gus,1,No", all) + ",extra",
        "",
        picksLine(std::string(26, 'n') + ",1,No", all),
        picksLine("Ann \xF0\x9F\x8F\x80,1,No", all),
        picksLine("Hal,1,No", all, 5, "T10"),
        picksLine("\"Open,1,No", all),
    });
    const PicksImport import = importFile(pool, text);
    const std::vector<TransferProblem> expected = {
        {3, "Name", "the name is not filled in"},
        {4, "Paid", "\"maybe\" is not Yes, No, TRUE, FALSE, x, 1 or 0"},
        {5, "Game 5", "\"Dook\" is not a team of the field"},
        {6, "Game 3", "\"TECH\" names more than one team (East 5, West 12); give region and seed instead"},
        {7, "Game 34", "\"T101\" is not one of the game's two teams"},
        {8, "Name", "\"Alice\" is already in the pool, with other picks, tiebreaker or paid"},
        {11, "", "the line has 67 fields but the first line has 66; a text holding a comma must be in double quotes"},
        {13, "Name", "\"nnnnnnnnnnnnnnnnnnnnnnnnnn\" is longer than the 25 characters a name can have"},
        {14, "Name",
         "\"Ann ?\" holds a character (shown as ?) that the pool's files, in the Windows-1252 code page, cannot hold"},
        {15, "Game 5", "\"T10\" is not a team of the field; did you mean \"T101\", \"T102\" or \"T103\"?"},
        {16, "Name", "a quoted text is not closed before the end of the file"},
    };
    EXPECT_EQ(import.refused.listed, expected);
    EXPECT_EQ(problemText(import.refused.listed[4]).bytes,
              "Line 7, column \"Game 34\": \"T101\" is not one of the game's two teams");
    EXPECT_EQ(problemText(import.refused.listed[6]).bytes.substr(0, 16), "Line 11: the lin");
    ASSERT_EQ(import.entries.size(), 2u);
    EXPECT_EQ(sheet(import.entries[0]), sheet([&] {
                  Player e = makeEntry(0, "Bob", all);
                  e.tiebreaker = "7";
                  e.paid = e.complete = 1;
                  return e;
              }()));
    EXPECT_EQ(import.entries[1].name.text().bytes, "Multi Line");  // a line break in a name becomes a blank
    EXPECT_EQ(import.entries[1].complete, 0);
    EXPECT_EQ(import.incomplete, 1);
}

TEST_F(PicksTransfer, FileThatCanNotBeReadAsPicks)
{
    const std::string Workbook =
        "This is a spreadsheet workbook (or not text): save it as CSV (comma-separated) and import that.";
    const struct {
        std::string bytes;
        std::string error;
    } cases[] = {
        {"", "The file is empty."},
        {"\r\n ,\r\n", "The file is empty."},
        {"Name,Paid\r\nBob,Yes\r\n",
         "The first line has no column \"Game 1\". It must name the columns: Name, Tiebreaker, Paid, Game 1, "},
        {picksHeader() + ",game 7\r\n", "The first line names the column \"Game 7\" twice."},
        {std::string("PK\x03\x04\x14\0\x06\0", 8) + "[Content_Types].xml", Workbook},           // .xlsx, .ods
        {std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\0\0", 10), Workbook},                    // .xls
        {picksHeader() + "\r\n" + std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16), Workbook},  // no text
    };
    for (const auto& c : cases)
        EXPECT_THAT([&] { importFile(pool, c.bytes); }, ThrowsMessage<HoopError>(StartsWith(c.error))) << c.bytes;
    EXPECT_THAT([&] { readPicksImportFile(*pool.session, dir.file("none.csv")); },
                ThrowsMessage<HoopError>(StrEq("The file " + dir.file("none.csv") + " does not exist.")));
}

TEST_F(PicksTransfer, ColumnsByNameInAnyOrderAndCellsInTheirForms)
{
    // Columns reversed, names in other case and spacing, and a column of the form's own.
    std::string header = "Timestamp";
    for (int g = GameCount; g >= 1; --g) header += ",GAME" + std::to_string(g);
    header += ", paid , NAME ,tieBREAKER";
    const PickArray all = favourites();
    const auto line = [&](const std::string& paid, const std::string& name, const std::string& tiebreaker,
                          const std::string& game1) {
        std::string text = "3/1/2026";
        for (int g = GameCount; g >= 1; --g) text += "," + (g == 1 ? game1 : cellOf(all[std::size_t(g)]));
        return text + "," + paid + "," + name + "," + tiebreaker;
    };
    const PicksImport import =
        importFile(pool, join({header, line("yes", "A", "1", "t101"), line(" 1 ", "B", "2", "  east 1 "),
                               line("No", "C", "3", "EAST\t1"), line("0", std::string(25, 'n'), "123456789012", "T101"),
                               line("", "E", "", "T101")}));
    ASSERT_EQ(import.refused.listed, std::vector<TransferProblem>{});
    ASSERT_EQ(import.entries.size(), 5u);
    const std::string expected[] = {"A|1|11", "B|2|11", "C|3|01", std::string(25, 'n') + "|123456789012|01", "E||01"};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(sheet(import.entries[i]).substr(0, expected[i].size()), expected[i]) << i;
        EXPECT_EQ(import.entries[i].picks[1], 101) << i;
    }
}

TEST_F(PicksTransfer, StoredInOneStepWithNewIdsAndKeptAfterAKill)
{
    const PicksImport import = importFile(
        pool, join({picksHeader(), picksLine("Bob,1,Yes", favourites()), picksLine("Cy,2,No", favourites(10))}));
    pool.nextId = 77;
    EXPECT_EQ(storeImportedPicks(*pool.session, import), 2);
    PlayerList& players = pool.session->players();
    ASSERT_EQ(players.count(), 2);
    EXPECT_EQ(players[0].id, 77);
    EXPECT_EQ(players[1].id, 78);
    EXPECT_EQ(players[1].modified, 1);  // scored at the next pass
    EXPECT_EQ(pool.host.countText, "Players: 2");

    // Killed before PICKS.HFD was written: the journal brings both back.
    pool.session.reset();
    TestPool again(dir);
    again.session->loadPlayers();
    ASSERT_EQ(again.session->players().count(), 2);
    EXPECT_EQ(sheet(again.session->players()[1]), sheet(import.entries[1]));
}

TEST_F(PicksTransfer, RefusedWriteSaysHowManyWereStored)
{
    std::filesystem::create_directory(dir.file(JournalFileName));  // the journal cannot be opened
    const PicksImport import = importFile(pool, join({picksHeader(), picksLine("Bob,1,Yes", favourites())}));
    try {
        storeImportedPicks(*pool.session, import);
        ADD_FAILURE() << "stored";
    } catch (const std::exception& error) {
        const std::string text = error.what();
        EXPECT_NE(text.find(". 0 of the 1 participants were imported before the error."), std::string::npos) << text;
    }
    EXPECT_EQ(pool.session->players().count(), 0);
}

// What Calc writes in a German locale: semicolons, the code page, typographic apostrophes from
// AutoCorrect, and TRUE/FALSE or x for a check box.
TEST_F(PicksTransfer, SemicolonSheetFromASpreadsheet)
{
    pool.session->teams().entry(1, 1).name = "St Mary's CA";
    const PickArray first = favourites(1);
    std::string text = join({picksHeader(),
                             picksLine("O\x92"
                                       "Brien,12,TRUE",
                                       first, 1, "St Mary\x92s CA\xA0"),
                             picksLine("Zo\xEB,7,FALSE", first, 1, "st  mary's ca"),
                             picksLine("Al,3, X\xA0", first, 1, "St Mary's CA")});
    std::replace(text.begin(), text.end(), ',', ';');
    const PicksImport import = importFile(pool, text);
    EXPECT_EQ(import.refused.listed, std::vector<TransferProblem>{});
    ASSERT_EQ(import.entries.size(), 3u);
    std::string names;
    for (const Player& e : import.entries) names += e.name.text().bytes + std::to_string(e.paid) + "|";
    EXPECT_EQ(names, "O\x92"
                     "Brien1|Zo\xEB"
                     "0|Al1|");
    EXPECT_EQ(import.entries[1].picks[1], 101);
}

// A name that is a participant's already, as a person reads it, or a line's earlier in the file,
// is refused; the very sheet the pool holds is passed over and counted.
TEST_F(PicksTransfer, RepeatedNamesInThreeForms)
{
    Player ann = makeEntry(5, "Ann", favourites());
    ann.tiebreaker = "140";
    ann.paid = 1;
    pool.session->players().add(ann);
    const PicksImport import = importFile(pool, join({
                                                    picksHeader(),
                                                    picksLine("ann\xA0,140,TRUE", favourites()),
                                                    picksLine("ANN,141,Yes", favourites()),
                                                    picksLine("Bob,1,No", favourites()),
                                                    picksLine(" bob  ,1,No", favourites()),
                                                    picksLine("Cy,1,x", favourites(3)),
                                                }));
    const std::vector<TransferProblem> expected = {
        {3, "Name", "\"ANN\" is already in the pool as \"Ann\", with other picks, tiebreaker or paid"},
        {5, "Name", "\"bob\" is already on line 4"},
    };
    EXPECT_EQ(import.refused.listed, expected);
    EXPECT_EQ(import.alreadyIn.total, 1u);
    ASSERT_EQ(import.entries.size(), 2u);
    EXPECT_EQ(import.entries[0].name.text().bytes + "|" + import.entries[1].name.text().bytes, "Bob|Cy");
}

// The organiser's working sheet: exported, two rows added in a spreadsheet, imported again.
TEST_F(PicksTransfer, ReimportedSheetAddsOnlyItsNewRows)
{
    std::mt19937 rng(11);
    PlayerList& players = pool.session->players();
    const std::string names[] = {"O\x92"
                                 "Brien",
                                 "Zo\xEB", "=x", "Smith, Jr"};
    for (int i = 0; i < 4; ++i) {
        Player entry = makeEntry(i + 1, names[i], randomBracket(rng, i == 1 ? 20 : GameCount));
        entry.tiebreaker = std::to_string(130 + i);
        entry.paid = std::uint8_t(i % 2);
        players.add(entry);
    }
    exportPicksFile(*pool.session, dir.file("picks.csv"), PicksFileFormat::Csv);
    const std::string sheet = dir.read("picks.csv") + picksLine("New One,1,Yes", favourites()) + "\r\n" +
                              picksLine("New Two,2,No", favourites(40)) + "\r\n";
    const PicksImport import = importFile(pool, sheet);
    EXPECT_EQ(import.refused.listed, std::vector<TransferProblem>{});
    EXPECT_EQ(import.alreadyIn.total, 4u);
    ASSERT_EQ(import.entries.size(), 2u);
    EXPECT_EQ(storeImportedPicks(*pool.session, import), 2);
    EXPECT_EQ(players.count(), 6);
}

TEST_F(PicksTransfer, PageColoursEachPickByHowItFared)
{
    // Results so far: 101 beat 116, 108 beat 109.
    PickArray results{};
    results[1] = 101;
    results[2] = 108;
    PlayerList& players = pool.session->players();
    players.add(makeEntry(ResultsId, ResultsName, results));
    PickArray picks{};
    picks[1] = 101;   // won
    picks[2] = 109;   // lost its game
    picks[3] = 105;   // still to be played: plain, named by region and seed (its name is shared)
    picks[33] = 109;  // not played yet, but its team is out
    players.add(makeEntry(1, "<A&B>", picks));

    std::string page;
    writePicksHtml(players, TeamNames(pool.session->teams(), pool.session->regionNames()), "As of: 03/20/2026",
                   [&](std::string_view text) { page += text; });
    EXPECT_EQ(page.find("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\" />"),
              0u);
    EXPECT_NE(
        page.find(
            "<tr><th rowspan=2 class=name>Name</th><th colspan=32>First Round</th><th colspan=16>Second Round</th>"),
        std::string::npos);
    EXPECT_NE(page.find("<tr><td class=name>&lt;A&amp;B&gt;</td><td class=won>T101</td><td "
                        "class=lost>T109</td><td>East 5</td><td></td>"),
              std::string::npos);
    EXPECT_NE(page.find("</td><td class=lost>T109</td><td></td>"), std::string::npos);
    EXPECT_EQ(page.find("RESULTS"), std::string::npos);
    for (const char* outside : {"href", "src=", "://", "url("})
        EXPECT_EQ(page.find(outside), std::string::npos) << outside;
}

TEST(PicksFormat, FromTheFileName)
{
    EXPECT_EQ(picksFormatForPath("/a/b.HTM"), PicksFileFormat::Html);
    EXPECT_EQ(picksFormatForPath("b.html"), PicksFileFormat::Html);
    EXPECT_EQ(picksFormatForPath("b.csv"), PicksFileFormat::Csv);
    EXPECT_EQ(picksFormatForPath("/x.htm/picks"), PicksFileFormat::Csv);
}

// What the entry page saves: each line against the field it was made for and the participants
// already known, in one file and across the files of one import.
TEST_F(PicksTransfer, EntryPageFilesAgainstTheFieldAndThePool)
{
    const TeamNames names(pool.session->teams(), pool.session->regionNames());
    const PickArray all = favourites();
    PickArray other = all;
    other[63] = all[62];  // the other finalist
    // The page never says who paid: a line of a file with a Field column is the stored sheet
    // whatever the pool says of Ann's payment.
    Player ann = makeEntry(5, "Ann", all);
    ann.tiebreaker = "1";
    ann.paid = 1;
    pool.session->players().add(ann);
    const std::string field = names.fingerprint();
    const std::string text = join({
        picksHeader() + ",Field", picksLine("Ann,1,No", all) + "," + field,  // the same entry come back
        picksLine("Ann,1,No", other) + "," + field,                          // the name with other picks
        picksLine("Bob,1,No", all) + ",0123456789ABCDEF", picksLine("Cy,1,No", all) + ", " + field + " ",
        picksLine("Dee,1,No", all) + ",",  // no fingerprint: a plain spreadsheet
    });
    dir.write("one.csv", text);
    dir.write("two.csv", text);
    const std::vector<PicksFileImport> files =
        readPicksImportFiles(*pool.session, {dir.file("one.csv"), dir.file("two.csv")});
    ASSERT_EQ(files.size(), 2u);
    const PicksImport& first = files[0].import;
    EXPECT_EQ(first.alreadyIn.listed, (std::vector<TransferProblem>{{2, "Name", "\"Ann\" is already in the pool"}}));
    EXPECT_EQ(first.refused.listed,
              (std::vector<TransferProblem>{
                  {3, "Name", "\"Ann\" is already in the pool, with other picks, tiebreaker or paid"},
                  {4, "Field",
                   "the picks were saved from an entry page made for another field or year (\"0123456789ABCDEF\"; "
                   "this pool's field is \"" +
                       field + "\"): make a new entry page and send it to the participant"}}));
    ASSERT_EQ(first.entries.size(), 2u);
    EXPECT_EQ(first.entries[0].name.text().bytes, "Cy");
    // The second copy of the file: its participants were taken from the first one.
    EXPECT_EQ(files[1].import.entries.size(), 0u);
    EXPECT_EQ(files[1].import.alreadyIn.total, 3u);

    // The fingerprint stands for the names and places of the teams, not for their records.
    TeamTable teams = pool.session->teams();
    teams.entry(1, 1).wins = "9";
    EXPECT_EQ(TeamNames(teams, pool.session->regionNames()).fingerprint(), field);
    teams.entry(1, 1).name = "T116";
    teams.entry(1, 16).name = "T101";
    EXPECT_NE(TeamNames(teams, pool.session->regionNames()).fingerprint(), field);
    // Among several files, a fault of one file's whole says which file.
    dir.write("empty.csv", "");
    EXPECT_THAT(
        [&] {
            readPicksImportFiles(*pool.session, {dir.file("one.csv"), dir.file("empty.csv")});
        },
        ThrowsMessage<HoopError>(StrEq(dir.file("empty.csv") + ": The file is empty.")));
}

// No text of the pool can end the page's script or reach its markup.
TEST_F(PicksTransfer, EntryPageHoldsThePoolsTextsAsData)
{
    pool.session->teams().entry(3, 7).name = "</script><b>";
    EntryPageContent content = entryPageContent(*pool.session);
    const std::string page = entryPageHtml(content);
    EXPECT_EQ(page.find("</script><b>"), std::string::npos);
    EXPECT_NE(page.find(R"("307":{"name":"\u003c/script\u003e\u003cb\u003e")"), std::string::npos);
    EXPECT_NE(page.find(R"("fingerprint":")" + TeamNames(content.teams, content.regionNames).fingerprint()),
              std::string::npos);
    EXPECT_EQ(page.find(EntryPageDataMarker), std::string::npos);
}
