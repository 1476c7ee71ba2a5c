// The standings table and its export texts, without a window.
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include "pool/brand.h"
#include "pool/errors.h"
#include "standings/export.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace {
const std::array<std::string, 4> Regions = {"East", "West", "South", "Midwest"};
const std::string HeaderCsv =
    "#,Name,Total Pts,Potential,Rnds 1-2,Rnds 3-4,Rnds 5-6,East,West,South,Midwest,Champion";
const std::string Trailer = std::string(brand::Slogan) + "\r\n" + brand::VisitUsPrefix + brand::MakerAddress;

class StandingsExport : public ::testing::Test {
protected:
    RecordingHost host;
    TPlayers players{host, ""};
    TempDir dir;

    void SetUp() override
    {
        players.SetWriteOnDestroy(false);
        ClearTeams();
        TeamEntry(1, 1).name = "Hawks";
        TeamEntry(2, 3).name = "Owls";
        TeamEntry(3, 12).name = "Cats";
        TeamEntry(4, 16).name = "Rams";
    }
    void TearDown() override { ClearTeams(); }

    TPlayer& add(const std::string& name, std::int32_t total = 0)
    {
        TPlayer entry;
        entry.Id = players.Count() + 1;
        entry.Name = name;
        entry.Total = total;
        return *players.Add(entry);
    }
    void addResults()
    {
        TPlayer results;
        results.Id = ResultsId;
        results.Name = ResultsName;
        players.Add(results);
        players.HasResults = 1;
    }
    TStandingsTable table() const
    {
        TStandingsTable t(Regions);
        t.Refill(players);
        return t;
    }
};
}  // namespace

TEST_F(StandingsExport, RowsSkipTheResultsAndShowTheCellsOfEachParticipant)
{
    TPlayer& a = add("Ann", 17);
    addResults();
    a.Potential = 40;
    for (int r = 1; r <= 6; ++r) a.RoundPoints[r] = r;
    a.Picks[57] = 101;
    a.Picks[58] = 203;
    a.Picks[59] = 312;
    a.Picks[60] = 416;
    a.Picks[63] = 312;
    add("Bob").Picks[63] = 999;  // not a team: an empty cell

    const TStandingsTable t = table();
    ASSERT_EQ(t.RowCount(), 3);
    const std::vector<std::string> header = {"#",        "Name",     "Total Pts", "Potential", "Rnds 1-2", "Rnds 3-4",
                                             "Rnds 5-6", "East",     "West",      "South",     "Midwest",  "Champion"};
    const std::vector<std::string> ann = {"1", "Ann", "17", "40", "3", "7", "11", "Hawks", "Owls", "Cats", "Rams", "Cats"};
    const std::vector<std::string> bob = {"2", "Bob", "0", "0", "0", "0", "0", "", "", "", "", ""};
    for (int c = 0; c < StandingsColumnCount; ++c) {
        EXPECT_EQ(t.Cell(0, c), header[c]) << c;
        EXPECT_EQ(t.Cell(1, c), ann[c]) << c;
        EXPECT_EQ(t.Cell(2, c), bob[c]) << c;
    }
}

TEST_F(StandingsExport, RowsAreASnapshotOfTheLastRefill)
{
    TPlayer& a = add("Ann", 5);
    a.Picks[63] = 101;
    const TStandingsTable t = table();
    a.Name = "Changed";
    a.Total = 99;
    TeamEntry(1, 1).name = "Renamed";
    EXPECT_EQ(t.Cell(1, 1), "Ann");
    EXPECT_EQ(t.Cell(1, 2), "5");
    EXPECT_EQ(t.Cell(1, 11), "Hawks");
}

TEST(StandingsTexts, SortStatus)
{
    const std::string tail = "...right-click for more options. Right-click to save as HTML.";
    struct Row {
        int key;
        bool ascending;
        std::string middle;
    };
    for (const Row& row : std::vector<Row>{{0, false, "total points, descending"},
                                           {0, true, "total points, ascending"},
                                           {1, false, "potential points, descending"},
                                           {2, true, "name, ascending"},
                                           {3, false, "selected champions, descending"}})
        EXPECT_EQ(SortStatusText(row.key, row.ascending), "Standings sorted by " + row.middle + tail);
}

TEST(StandingsTexts, AsOfDateHasTwoDigitMonthAndDay)
{
    using namespace std::chrono;
    EXPECT_EQ(AsOfText(year{2024} / March / day{7}), "As of: 03/07/2024");
    EXPECT_EQ(AsOfText(year{1999} / December / day{31}), "As of: 12/31/1999");
}

TEST(StandingsTexts, FieldsAreQuotedOrCleanedOnlyWhereNeeded)
{
    struct Row {
        std::string field;
        std::string comma;
        std::string tab;
    };
    for (const Row& row : std::vector<Row>{{"Plain Name", "Plain Name", "Plain Name"},
                                           {"", "", ""},
                                           {"Smith, Jo", "\"Smith, Jo\"", "Smith, Jo"},
                                           {"Jo \"JJ\" Lee", "\"Jo \"\"JJ\"\" Lee\"", "Jo \"JJ\" Lee"},
                                           {"two\r\nlines", "\"two\r\nlines\"", "two  lines"},
                                           {"a\nb", "\"a\nb\"", "a b"},
                                           {"tab\there", "tab\there", "tab here"}}) {
        std::string comma, tab;
        AppendTextField(comma, row.field, TextSeparator::Comma);
        AppendTextField(tab, row.field, TextSeparator::Tab);
        EXPECT_EQ(comma, row.comma) << row.field;
        EXPECT_EQ(tab, row.tab) << row.field;
    }
}

TEST(StandingsTexts, HtmlEscapesMarkupCharacters)
{
    std::string out;
    AppendHtmlText(out, "<b>Tom & \"Jerry\"</b> \xE9");
    EXPECT_EQ(out, "&lt;b&gt;Tom &amp; &quot;Jerry&quot;&lt;/b&gt; \xE9");
}

TEST_F(StandingsExport, CommaFileWithoutParticipantsIsTheHeaderAndTheTrailer)
{
    addResults();
    ExportTextFile(table(), dir.file("s.csv"), TextSeparator::Comma, host);
    EXPECT_EQ(dir.read("s.csv"), HeaderCsv + "\r\n" + Trailer + "\r\n");
}

TEST_F(StandingsExport, ProgressRunsOverTheRowsAndReturnsToZero)
{
    add("Al");
    add("Bo");
    for (int format = 0; format < 3; ++format) {
        host.progress.clear();
        if (format == 0) ExportTextFile(table(), dir.file("p.txt"), TextSeparator::Tab, host);
        if (format == 1) ExportClipboardText(table(), host);
        if (format == 2) ExportHtmlFile(table(), dir.file("p.htm"), "As of: 01/02/2025", host);
        EXPECT_EQ(host.progress, (std::vector<int>{0, 33, 67, 0})) << format;
    }
}

TEST_F(StandingsExport, HtmlShadesOddParticipantRowsAndEscapesCells)
{
    for (const char* name : {"A", "B", "C", "D", "<E> & \"F\""}) add(name);
    ExportHtmlFile(table(), dir.file("s.htm"), "As of: 03/07/2024", host);
    const std::string page = dir.read("s.htm");

    std::vector<std::string> rows;
    for (std::size_t at = page.find("<tr"); at != std::string::npos; at = page.find("<tr", at + 1)) {
        const std::size_t end = page.find("\r\n", at);
        rows.push_back(page.substr(at, end - at));
    }
    // The first two rows are the title cell and the options bar; then the header and five participants.
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[2],
              "<tr><th>#</th><th>Name</th><th>Total Pts</th><th>Potential</th><th>Rnds 1-2</th><th>Rnds 3-4</th>"
              "<th>Rnds 5-6</th><th>East</th><th>West</th><th>South</th><th>Midwest</th><th>Champion</th></tr>");
    for (int n = 1; n <= 5; ++n) {
        const std::string open = n % 2 ? "<tr class=\"contrastrow\"><td>" : "<tr><td>";
        EXPECT_EQ(rows[2 + n].substr(0, open.size()), open) << n;
    }
    EXPECT_NE(rows[7].find("<td>&lt;E&gt; &amp; &quot;F&quot;</td>"), std::string::npos);
    EXPECT_NE(page.find("NCAA Office Pool Standings - As of: 03/07/2024</font>"), std::string::npos);
    EXPECT_TRUE(page.starts_with("<html><head><title>the Hoopfall: Standings</title>\r\n"));
    EXPECT_TRUE(page.ends_with("<br><p align=center>" + std::string(brand::Slogan) + "<br><b>Visit us on the web at <a href=\"" +
                               brand::MakerAddress + "\">" + brand::MakerAddress + "</a></center></body></html>\r\n"));
}

TEST_F(StandingsExport, HtmlPageLoadsNothingAndLinksTheHelpPage)
{
    add("A");
    ExportHtmlFile(table(), dir.file("s.htm"), "As of: 03/07/2024", host);
    std::string page = dir.read("s.htm");
    for (char& c : page) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const char* loader : {"<iframe", "<script", "<img", "<link", "src=", "background=", "@import", "url("})
        EXPECT_EQ(page.find(loader), std::string::npos) << loader;
    for (const brand::HelpLink& link : brand::OptionLinks)
        EXPECT_NE(page.find(std::string("<a target=\"_new\" href=\"") + link.anchor + "\">"), std::string::npos)
            << link.anchor;
    EXPECT_NE(page.find("</tr></table><hr>\r\n"), std::string::npos);
}

TEST_F(StandingsExport, AWriteThatFailsPartWayKeepsTheOldFileAndResetsProgress)
{
    for (int i = 0; i < 2000; ++i) add("Participant " + std::to_string(i), i);
    const TStandingsTable t = table();
    dir.write("s.htm", "old page");
    dir.write("s.csv", "old text");

    // A file size limit makes writing fail part-way, as a full disk would.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 8192;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    int errors = 0;
    for (int format = 0; format < 2; ++format) {
        host.progress.clear();
        try {
            if (format == 0) ExportHtmlFile(t, dir.file("s.htm"), "As of: 03/07/2024", host);
            if (format == 1) ExportTextFile(t, dir.file("s.csv"), TextSeparator::Comma, host);
        } catch (const HoopError& error) {
            ++errors;
            EXPECT_NE(std::string(error.what()).find("Cannot write file"), std::string::npos) << error.what();
        }
        ASSERT_FALSE(host.progress.empty()) << format;
        EXPECT_EQ(host.progress.back(), 0) << format;
        EXPECT_GT(host.progress.size(), 1u) << format;
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(errors, 2);
    EXPECT_EQ(dir.read("s.htm"), "old page");
    EXPECT_EQ(dir.read("s.csv"), "old text");
    int files = 0;
    for ([[maybe_unused]] const auto& file : std::filesystem::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 2);  // no temp file left behind
}
