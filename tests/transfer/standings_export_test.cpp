// The standings table and its export texts, without a window.
#include <algorithm>
#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/pool/brand.h"
#include "core/pool/errors.h"
#include "core/transfer/standings_export.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace {
const std::string Maker = brand::MakerAddress;
const std::string Trailer = std::string(brand::Slogan) + "\r\nVisit us on the web at " + Maker;

class StandingsExport : public ::testing::Test {
protected:
    RecordingHost host;
    TeamTable teams;
    PlayerList players{host, "", teams};
    TempDir dir;

    void SetUp() override
    {
        teams.entry(1, 1).name = "Hawks";
        teams.entry(2, 3).name = "Owls";
        teams.entry(3, 12).name = "Cats";
        teams.entry(4, 16).name = "Rams";
    }

    Player& add(const std::string& name, std::int32_t total = 0)
    {
        Player entry;
        entry.id = players.count() + 1;
        entry.name = name;
        entry.total = total;
        players.add(entry);
        return players.unjournaledEntry(players.count() - 1);
    }
    StandingsTable table() const
    {
        StandingsTable t({"East", "West", "South", "Midwest"});
        t.refill(players, teams);
        return t;
    }
    // The lines of a written file, after the byte-order mark of a text file, each of which must end in CR LF.
    std::vector<std::string> lines(const std::string& name) const
    {
        std::string text = dir.read(name);
        if (text.starts_with(Utf8Bom)) text.erase(0, Utf8Bom.size());
        std::vector<std::string> out;
        for (std::size_t at = 0, end; at < text.size(); at = end + 2) {
            end = text.find("\r\n", at);
            if (end == std::string::npos) throw std::runtime_error("unterminated last line");
            out.push_back(text.substr(at, end - at));
        }
        return out;
    }
};
}  // namespace

TEST_F(StandingsExport, RowsSkipTheResultsAndAreASnapshotOfTheLastRefill)
{
    Player& a = add("Ann", 17);
    Player results;
    results.id = ResultsId;
    players.add(results);
    a.potential = 40;
    for (int r = 1; r <= 6; ++r) a.roundPoints[r] = r;
    const TeamCode picks[] = {101, 203, 312, 416};
    for (int k = 0; k < 4; ++k) a.picks[57 + k] = picks[k];
    a.picks[63] = 312;
    add("Bob").picks[63] = 999;  // not a team: an empty cell

    const StandingsTable t = table();
    a.name = "Changed";  // later changes show only after the next refill
    teams.entry(1, 1).name = "Renamed";
    std::vector<std::string> cells;
    for (int r = 0; r < t.rowCount(); ++r)
        for (int c = 0; c < StandingsColumnCount; ++c) cells.push_back(t.cell(r, c));
    EXPECT_EQ(cells, (std::vector<std::string>{"#",        "Name",  "Total Pts", "Potential", "Rnds 1-2", "Rnds 3-4",
                                               "Rnds 5-6", "East",  "West",      "South",     "Midwest",  "Champion",
                                               "1",        "Ann",   "17",        "40",        "3",        "7",
                                               "11",       "Hawks", "Owls",      "Cats",      "Rams",     "Cats",
                                               "2",        "Bob",   "0",         "0",         "0",        "0",
                                               "0",        "",      "",          "",          "",         ""}));
}

// Comma-separated fields are quoted only when they must be; tab text puts a space for a tab or
// line break. The date of the page is zero-padded.
TEST(StandingsTexts, FieldQuotingAndDate)
{
    struct Field {
        std::string text, comma, tab;
    };
    for (const Field& f : std::vector<Field>{{"Plain Name", "Plain Name", "Plain Name"},
                                             {"", "", ""},
                                             {"Smith, Jo", "\"Smith, Jo\"", "Smith, Jo"},
                                             {"Jo \"JJ\" Lee", "\"Jo \"\"JJ\"\" Lee\"", "Jo \"JJ\" Lee"},
                                             {"two\r\nlines", "\"two\r\nlines\"", "two  lines"},
                                             {"tab\there", "tab\there", "tab here"}}) {
        std::string comma, tab;
        appendTextField(comma, f.text, TextSeparator::Comma);
        appendTextField(tab, f.text, TextSeparator::Tab);
        EXPECT_EQ(comma + "|" + tab, f.comma + "|" + f.tab) << f.text;
    }
    EXPECT_EQ(asOfText(std::chrono::year{2024} / std::chrono::March / std::chrono::day{7}, '.'), "As of: 03.07.2024");
}

// The date keeps its month/day/year order with the user's separator, read from the user's own
// locale (built here, since a fresh machine has none but C).
TEST(AsOfDate, TakesTheUsersDateSeparator)
{
    struct Row {
        const char* format;
        char separator;
    };
    for (const Row& row :
         {Row{"%m/%d/%Y", '/'}, Row{"%d.%m.%Y", '.'}, Row{"%Y-%m-%d", '-'}, Row{"%D", '/'}, Row{"%F", '-'},
          Row{"%Ey年%m月%d日", '/'}, Row{"%d %b %Y", '/'}, Row{"", '/'}, Row{"%", '/'}})
        EXPECT_EQ(dateSeparatorOf(row.format), row.separator) << row.format;

    // Each locale is read in a child process: the environment it sets is the process's own, and
    // the C library keeps what it loaded for the rest of the process.
    const auto separatorIn = [](const std::string& locpath, const std::string& locale) {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0) return '?';
        const pid_t child = fork();
        if (child == 0) {
            setenv("LOCPATH", locpath.c_str(), 1);
            setenv("LC_TIME", locale.c_str(), 1);
            const char separator = userDateSeparator();
            _exit(write(pipeEnds[1], &separator, 1) == 1 ? 0 : 1);
        }
        close(pipeEnds[1]);
        char separator = '?';
        if (read(pipeEnds[0], &separator, 1) != 1) separator = '?';
        close(pipeEnds[0]);
        waitpid(child, nullptr, 0);
        return separator;
    };
    TempDir locales;
    struct Locale {
        const char* name;
        char separator;
    };
    for (const Locale& locale : {Locale{"de_DE", '.'}, Locale{"sv_SE", '-'}}) {
        const std::string command = std::string("localedef -i ") + locale.name + " -f UTF-8 " + locales.path() + "/" +
                                    locale.name + ".UTF-8 2>/dev/null";
        if (std::system(command.c_str()) != 0 &&
            !std::filesystem::exists(locales.path() + "/" + locale.name + ".UTF-8"))
            GTEST_SKIP() << "localedef cannot build " << locale.name << " (make deps installs locales)";
        EXPECT_EQ(separatorIn(locales.path(), std::string(locale.name) + ".UTF-8"), locale.separator) << locale.name;
    }
    EXPECT_EQ(separatorIn(locales.path(), "xx_NOWHERE.UTF-8"), '/');
}

// Without participants: the header row and the trailer. With two, each format reports progress
// over the rows and ends at 0.
TEST_F(StandingsExport, TextFormatsAndProgress)
{
    exportTextFile(table(), dir.file("s.csv"), TextSeparator::Comma, host);
    EXPECT_EQ(dir.read("s.csv"),
              "\xEF\xBB\xBF#,Name,Total Pts,Potential,Rnds 1-2,Rnds 3-4,Rnds 5-6,East,West,South,Midwest,Champion\r\n" +
                  Trailer + "\r\n");

    add("Al");
    add("Bo");
    const std::function<void()> formats[] = {
        [&] { exportTextFile(table(), dir.file("p.txt"), TextSeparator::Tab, host); },
        [&] { exportClipboardText(table(), host); },
        [&] { exportHtmlFile(table(), dir.file("p.htm"), "As of: 01/02/2025", host); },
    };
    for (const auto& format : formats) {
        host.progress.clear();
        format();
        EXPECT_EQ(host.progress, (std::vector<int>{0, 33, 67, 0}));
    }
}

// A text cell a spreadsheet would run as a formula gets a leading apostrophe in every text
// export; a number keeps its sign, and the same characters inside a text are left alone.
TEST_F(StandingsExport, TextCellsThatLookLikeFormulasAreMarkedAsText)
{
    struct Row {
        std::string name;
        std::int32_t total;
        std::string comma, tab;  // the participant's line up to the first pick
    };
    const std::vector<Row> rows = {
        {"=HYPERLINK(\"x\",\"win\")", 5, "1,\"'=HYPERLINK(\"\"x\"\",\"\"win\"\")\",5",
         "1\t'=HYPERLINK(\"x\",\"win\")\t5"},
        {"@SUM(A1)", 4, "1,'@SUM(A1),4", "1\t'@SUM(A1)\t4"},
        {"+1", 3, "1,'+1,3", "1\t'+1\t3"},
        {"-Neg", -3, "1,'-Neg,-3", "1\t'-Neg\t-3"},
        {"\tTab", 2, "1,'\tTab,2", "1\t' Tab\t2"},
        {"\rCR", 1, "1,\"'\rCR\",1", "1\t' CR\t1"},
        {"Jo=Lee-Ann", -7, "1,Jo=Lee-Ann,-7", "1\tJo=Lee-Ann\t-7"},
    };
    for (const Row& row : rows) {
        players.clear();
        add(row.name, row.total).picks[57] = 101;
        teams.entry(1, 1).name = "=Hawks";
        StandingsTable t({"-East", "West", "@South", "Midwest"});
        t.refill(players, teams);
        exportTextFile(t, dir.file("s.csv"), TextSeparator::Comma, host);
        exportTextFile(t, dir.file("s.txt"), TextSeparator::Tab, host);
        EXPECT_EQ(lines("s.csv").at(0),
                  "#,Name,Total Pts,Potential,Rnds 1-2,Rnds 3-4,Rnds 5-6,'-East,West,'@South,Midwest,"
                  "Champion");
        EXPECT_EQ(lines("s.csv").at(1), row.comma + ",0,0,0,0,'=Hawks,,,,");
        EXPECT_EQ(lines("s.txt").at(1), row.tab + "\t0\t0\t0\t0\t'=Hawks\t\t\t\t");
        EXPECT_EQ(utf8FileText(exportClipboardText(t, host) + "\r\n"), dir.read("s.txt"))
            << "the clipboard holds the tab text";
    }
}

// The comma-separated file as another program reads it: Python's csv module, told the file is
// UTF-8 with a byte-order mark, gets the names back whole.
TEST_F(StandingsExport, CommaSeparatedFileReadsBackInPython)
{
    add("Jos\xE9 \x93JJ\x94, Jr", 12).picks[63] = 101;
    exportTextFile(table(), dir.file("s.csv"), TextSeparator::Comma, host);
    const std::string command =
        "python3 -c \"import csv, sys\n"
        "rows = list(csv.reader(open(sys.argv[1], encoding='utf-8-sig', newline='')))\n"
        "sys.stdout.buffer.write('|'.join([rows[0][0], rows[1][1], rows[1][11], str(len(rows[1]))]).encode())\" " +
        dir.file("s.csv");
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string read;
    char buffer[256];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) read.append(buffer, n);
    EXPECT_EQ(::pclose(pipe), 0) << read;
    EXPECT_EQ(read, "#|Jos\xC3\xA9 \xE2\x80\x9CJJ\xE2\x80\x9D, Jr|Hawks|12");
}

// Every line of the page: its character set declared, nothing loaded from anywhere, odd
// participant rows shaded, cells escaped, names in the program's single bytes.
TEST_F(StandingsExport, HtmlPageLineByLine)
{
    for (const char* name : {"A", "B", "C", "Jos\xe9", "<E> & \"F\""}) add(name);
    exportHtmlFile(table(), dir.file("s.htm"), "As of: 03/07/2024", host);
    std::vector<std::string> expected = {
        "<html><head><title>the Hoopfall: Standings</title>",
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\" />",
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\" />",
        std::string("<meta NAME=\"KEYWORDS\" CONTENT=\"") + brand::Keywords + "\" />",
        std::string("<meta NAME=\"DESCRIPTION\" CONTENT=\"") + brand::Description + "\" />",
        "<STYLE><!--",
        "FONT.header {COLOR: #336699; FONT-FAMILY: Arial, Helvetica, sans-serif; FONT-SIZE: 16px;    FONT-WEIGHT: "
        "bold;}",
        "A:link {COLOR: #0000cc; TEXT-DECORATION: underline}",
        "A:visited {COLOR: #0000cc;TEXT-DECORATION: underline}",
        "A:hover {COLOR: #ff6028; TEXT-DECORATION: underline}",
        "TH {BACKGROUND-COLOR: #336699;COLOR: white; FONT-FAMILY: Verdana, Arial, helvetica;    FONT-SIZE: 11px;    "
        "FONT-WEIGHT: bold}",
        "TR.contrastrow {BACKGROUND-COLOR: #eeeeee}",
        "FONT.smallbody {FONT-FAMILY: Arial, Helvetica, sans-serif;FONT-SIZE: 11px}",
        "TD {FONT-FAMILY: Verdana, Arial, Helvetica, Sans-Serif;FONT-SIZE: 11px}",
        "P {FONT-FAMILY: Verdana, Arial, Helvetica, SansSerif;FONT-SIZE: 12px}",
        "-->",
        "</STYLE></head><body bkgcolor=WHITE>",
        "<table border=0 width=\"100%\" cellpadding=0 cellspacing=0><tr><td>",
        "<font class=\"header\">NCAA Office Pool Standings - As of: 03/07/2024</font><br><font class=\"smallbody\">"
        "Results produced by <a href=\"" +
            Maker + "\">\"the Hoopfall\"</a> office pool manager</font></p></td>",
        "<td align=right>",
        "</td></tr></table><br>",
        "<table width=\"100%\" cellpadding=1 cellspacing=2 border=0 bgcolor=#EEEEEE><tr>"};
    for (int k = 0; k < 4; ++k)
        expected.push_back(std::string(k ? "" : "<td><font class=\"smallbody\"><b>Options:&nbsp;</b></font></td>") +
                           "<td>&nbsp;<a target=\"_new\" href=\"" + brand::OptionLinks[k].address + "\">" +
                           brand::OptionLinks[k].text + "</a></td>" + (k == 3 ? "</tr></table><hr>" : ""));
    expected.push_back(
        "<table cellSpacing=\"0\" cellPadding=\"2\" width=\"100%\" border=\"1\" bgcolor=\"palegoldenrod\" "
        "bordercolor=\"black\">");
    expected.push_back(
        "<tr><th>#</th><th>Name</th><th>Total Pts</th><th>Potential</th><th>Rnds 1-2</th><th>Rnds 3-4</th>"
        "<th>Rnds 5-6</th><th>East</th><th>West</th><th>South</th><th>Midwest</th><th>Champion</th></tr>");
    const char* cells[] = {"A", "B", "C", "Jos\xe9", "&lt;E&gt; &amp; &quot;F&quot;"};
    for (int n = 1; n <= 5; ++n)
        expected.push_back(std::string(n % 2 ? "<tr class=\"contrastrow\">" : "<tr>") + "<td>" + std::to_string(n) +
                           "</td><td>" + cells[n - 1] + "</td>" + "<td>0</td><td>0</td><td>0</td><td>0</td><td>0</td>" +
                           "<td></td><td></td><td></td><td></td><td></td></tr>");
    expected.push_back("</table>");
    expected.push_back("<br><p align=center>" + std::string(brand::Slogan) +
                       "<br><b>Visit us on the web at <a href=\"" + Maker + "\">" + Maker +
                       "</a></center></body></html>");
    EXPECT_EQ(lines("s.htm"), expected);

    // Mailed or posted elsewhere, every link still leads somewhere: no address is relative.
    std::string page = dir.read("s.htm");
    std::transform(page.begin(), page.end(), page.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    int links = 0;
    for (const char* attribute : {"href=", "src="})
        for (std::size_t at = page.find(attribute); at != std::string::npos;
             at = page.find(attribute, at + 1), ++links) {
            const std::size_t value = at + std::strlen(attribute) + (page[at + std::strlen(attribute)] == '"');
            EXPECT_EQ(page.substr(value, 8), "https://") << page.substr(at, 60);
        }
    EXPECT_EQ(links, 6);
}

TEST_F(StandingsExport, AWriteThatFailsPartWayKeepsTheOldFileAndResetsProgress)
{
    for (int i = 0; i < 2000; ++i) add("Participant " + std::to_string(i), i);
    const StandingsTable t = table();
    dir.write("s.htm", "old page");
    dir.write("s.csv", "old text");

    // A file size limit makes writing fail part-way, as a full disk would.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 8192;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::function<void()> formats[] = {
        [&] { exportHtmlFile(t, dir.file("s.htm"), "As of: 03/07/2024", host); },
        [&] { exportTextFile(t, dir.file("s.csv"), TextSeparator::Comma, host); },
    };
    for (const auto& format : formats) {
        host.progress.clear();
        try {
            format();
            ADD_FAILURE() << "no error";
        } catch (const HoopError& error) {
            EXPECT_TRUE(std::string(error.what()).starts_with("Cannot write file")) << error.what();
        }
        EXPECT_GT(host.progress.size(), 1u);
        EXPECT_EQ(host.progress.back(), 0);
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(dir.read("s.htm") + "|" + dir.read("s.csv"), "old page|old text");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);  // no temp file left behind
}
