#include <gtest/gtest.h>

#include "fixed_canvas.h"
#include "pool/bracket.h"
#include "pool/players.h"
#include "pool/team_files.h"
#include "printing/page_layout.h"
#include "printing/print_texts.h"
#include "support/temp_dir.h"

namespace {
// A landscape page of 2100 x 672: c = 200, u = 21 (odd), L = 22, t = 8; the 8-point font's
// cells are 16 high, so g = 18.
constexpr int W = 2100, H = 672;
constexpr int U = 21, C = 200, G = 18;

FixedCanvas BracketCanvas(int h = H)
{
    FixedCanvas canvas(W, h);
    canvas.SetFont(8, Regular);
    return canvas;
}

void SetTeam(int p, int s, const std::string& name, const std::string& wins = "", const std::string& losses = "")
{
    TTeam& team = TeamEntry(p, s);
    team.region = static_cast<std::uint8_t>(p);
    team.seed = static_cast<std::uint8_t>(s);
    team.name = name;
    team.wins = wins;
    team.losses = losses;
}

// Every team named after its code ("T101" ... "T416"), without a record.
void NameAllTeams()
{
    ClearTeams();
    for (int p = 1; p <= 4; ++p)
        for (int s = 1; s <= 16; ++s) SetTeam(p, s, "T" + std::to_string(p * 100 + s));
}

// Game g's pick is the g-th team, so every pick prints a text of its own.
TeamCode PickOf(int game)
{
    return MakeTeamCode(static_cast<std::uint8_t>((game - 1) / 16 + 1), static_cast<std::uint8_t>((game - 1) % 16 + 1));
}

std::vector<int> Coords(const FixedCanvas::Line& l) { return {l.x1, l.y1, l.x2, l.y2}; }
}  // namespace

TEST(SheetGeometry, DerivedFromPageAndFontWithHalvesToEven)
{
    struct Case {
        int w, h, cell;
        SheetGeometry expected;
    } cases[] = {
        {2100, 672, 16, {21, 200, 18, 22, 8}},      // 1.1 x 16 = 17.6
        {1000, 700, 15, {21, 95, 16, 23, 9}},       // 1000 / 10.5 = 95.2; 16.5 goes down to even; u 21.9
        {1005, 620, 5, {19, 96, 6, 20, 8}},         // 95.7; 5.5 goes up to even; L 20.7
        {6600, 5140, 25, {160, 629, 28, 171, 68}},  // 27.5 goes up to even; t 68.5
    };
    for (const Case& c : cases) {
        FixedCanvas canvas(c.w, c.h);
        canvas.cellHeight = c.cell;
        const SheetGeometry geo = MeasureSheet(canvas);
        EXPECT_EQ((std::vector<int>{geo.u, geo.c, geo.g, geo.L, geo.t}),
                  (std::vector<int>{c.expected.u, c.expected.c, c.expected.g, c.expected.L, c.expected.t}))
            << c.w << "x" << c.h << " cell " << c.cell;
    }
}

TEST(DrawBracketColumn, LinesOfTheColumns)
{
    NameAllTeams();
    // u div 2 + u div 2: the first line of the first column at u - 1 for an odd unit, u for an even one.
    for (const auto& [h, firstY] : {std::pair{672, 20}, {640, 20}, {32 * 25, 24}, {32 * 26, 26}}) {
        FixedCanvas canvas = BracketCanvas(h);
        DrawBracketColumn(canvas, 1, Half::Left, nullptr);
        ASSERT_EQ(canvas.lines.size(), 16u * 3) << h;
        EXPECT_EQ(Coords(canvas.lines.front()), (std::vector<int>{0, firstY, C, firstY})) << h;
    }

    // Column 2 of the right half: 8 brackets of height 2u, from W - c towards the middle, their
    // connector facing the middle; no entry, no picks.
    FixedCanvas canvas = BracketCanvas();
    DrawBracketColumn(canvas, 2, Half::Right, nullptr);
    ASSERT_EQ(canvas.lines.size(), 8u * 3);
    const int y = U + U / 2;
    EXPECT_EQ(Coords(canvas.lines[0]), (std::vector<int>{W - C, y, W - 2 * C, y}));
    EXPECT_EQ(Coords(canvas.lines[1]), (std::vector<int>{W - 2 * C, y, W - 2 * C, y + 2 * U}));
    EXPECT_EQ(Coords(canvas.lines[2]), (std::vector<int>{W - 2 * C, y + 2 * U, W - C, y + 2 * U}));
    EXPECT_EQ(canvas.lines[3].y1, y + 4 * U);  // the next bracket two heights down
    EXPECT_TRUE(canvas.texts.empty());

    // The finalist lines run from the sixth column back towards the middle.
    canvas.lines.clear();
    DrawBracketColumn(canvas, 6, Half::Left, nullptr);
    DrawBracketColumn(canvas, 6, Half::Right, nullptr);
    const int y6 = 16 * U + U / 2;
    ASSERT_EQ(canvas.lines.size(), 2u);
    EXPECT_EQ(Coords(canvas.lines[0]), (std::vector<int>{5 * C, y6, 4 * C, y6}));
    EXPECT_EQ(Coords(canvas.lines[1]), (std::vector<int>{W - 5 * C, y6, W - 4 * C, y6}));
}

TEST(DrawBracketColumn, TeamLabelsStandFlushWithThePageEdgesInSeedOrder)
{
    NameAllTeams();
    SetTeam(1, 1, "Alpha", "20", "5");
    SetTeam(3, 1, "Gamma", "28", "1");
    FixedCanvas canvas = BracketCanvas();
    DrawBracketColumn(canvas, 1, Half::Left, nullptr);
    DrawBracketColumn(canvas, 1, Half::Right, nullptr);
    ASSERT_EQ(canvas.texts.size(), 64u);

    // Each half top to bottom: its upper region, then its lower one, each in bracket seed order;
    // left labels start at the left edge, right labels end at the right edge, g above their lines.
    const int order[16] = {1, 16, 8, 9, 5, 12, 4, 13, 6, 11, 3, 14, 7, 10, 2, 15};
    for (int i = 0; i < 64; ++i) {
        const bool left = i < 32;
        const int p = (left ? 1 : 3) + (i % 32) / 16;
        const auto& t = canvas.texts[std::size_t(i)];
        EXPECT_EQ(t.text, FormatTeamLabel(p, order[i % 16])) << i;
        EXPECT_EQ(left ? t.x : t.right(), left ? 0 : W) << t.text;
        EXPECT_EQ(t.y, U - 1 + (i % 32) * U - G) << t.text;
    }
    EXPECT_EQ(canvas.texts[0].text, "1. Alpha (20-5)");
    EXPECT_EQ(canvas.texts[32].text, "Gamma (28-1) 1.");

    // Outside the four regions there is no label.
    DrawTeamLabel(canvas, 0, 100, 0, 1);
    DrawTeamLabel(canvas, 0, 100, 5, 1);
    EXPECT_EQ(canvas.texts.size(), 64u);
}

TEST(FormatTeamLabel, RecordOnlyForAWholeNumberOfWinsAboveZero)
{
    struct Case {
        std::string wins, losses, left, right;
    } cases[] = {
        {"21", "9", "12. Name (21-9)", "Name (21-9) 12."},
        {"3", "", "12. Name (3-)", "Name (3-) 12."},
        {"", "4", "12. Name", "Name 12."},
        {"0", "4", "12. Name", "Name 12."},
        {"00", "0", "12. Name", "Name 12."},
        {"a", "1", "12. Name", "Name 12."},
        {"1x", "1", "12. Name", "Name 12."},
        {"-1", "2", "12. Name", "Name 12."},
    };
    for (const Case& c : cases) {
        ClearTeams();
        SetTeam(2, 12, "Name", c.wins, c.losses);
        SetTeam(4, 12, "Name", c.wins, c.losses);
        EXPECT_EQ(FormatTeamLabel(2, 12), c.left) << "wins '" << c.wins << "'";
        EXPECT_EQ(FormatTeamLabel(4, 12), c.right) << "wins '" << c.wins << "'";
    }
}

TEST(DrawBracketColumn, PicksLandOnTheirOwnLinesInGameOrder)
{
    NameAllTeams();
    TPlayer entry;
    for (int game = 1; game <= GameCount; ++game) entry.Picks[game] = PickOf(game);
    entry.Picks[5] = 0;   // an early pick left out
    entry.Picks[34] = 0;  // and one in the second round
    FixedCanvas canvas = BracketCanvas();
    PrintPickIndex = 1;
    for (int r = 1; r <= 6; ++r) {
        DrawBracketColumn(canvas, r, Half::Left, &entry);
        DrawBracketColumn(canvas, r, Half::Right, &entry);
    }
    EXPECT_EQ(PrintPickIndex, 63);

    // Games first..last stand on the lines of column r of one half, f apart from f/2 + u/2.
    struct Span {
        int first, last, column;
        Half half;
    } spans[] = {{1, 16, 2, Half::Left},  {17, 32, 2, Half::Right}, {33, 40, 3, Half::Left}, {41, 48, 3, Half::Right},
                 {49, 52, 4, Half::Left}, {53, 56, 4, Half::Right}, {57, 58, 5, Half::Left}, {59, 60, 5, Half::Right},
                 {61, 61, 6, Half::Left}, {62, 62, 6, Half::Right}};
    int printed = 0;
    for (const Span& span : spans) {
        const int f = (1 << (span.column - 1)) * U;
        // Column 6 prints at the inner end of its line, which is where column 5 begins.
        const int outer = (span.column == 6 ? 4 : span.column - 1) * C;
        const int lineX = span.half == Half::Left ? outer : W - outer;
        for (int game = span.first; game <= span.last; ++game) {
            const int lineY = f / 2 + U / 2 + (game - span.first) * f;
            const auto* text = canvas.find(TeamName(PickOf(game)));
            if (game == 5 || game == 34) {
                EXPECT_EQ(text, nullptr) << "game " << game;
                continue;
            }
            ASSERT_NE(text, nullptr) << "game " << game;
            ++printed;
            EXPECT_EQ(text->y, lineY - G) << "game " << game;
            EXPECT_EQ(span.half == Half::Left ? text->x : text->right(), lineX + (span.half == Half::Left ? G : -G))
                << "game " << game;
        }
    }
    EXPECT_EQ(printed, 60);
    EXPECT_EQ(canvas.find(TeamName(PickOf(63))), nullptr);  // the champion is not on the bracket
}

namespace {
struct SheetTexts : ::testing::Test {
    TempDir dir;
    FixedCanvas canvas = BracketCanvas();
    PoolSheetTexts texts{dir.path(), "1.60"};
    void SetUp() override { NameAllTeams(); }
};
}  // namespace

TEST_F(SheetTexts, CentredLinesOfBothSheets)
{
    TPlayer entry;
    entry.Name = "Pat O'Brien";
    entry.Tiebreaker = "147";
    entry.Picks[63] = MakeTeamCode(3, 2);
    struct Expect {
        std::string text;
        int y, points, style;
    };
    const std::vector<Expect> blank = {
        {PrintPromoLine, 8, 8, Italic},
        {"Full Name:___________________________________________", 30, 10, Bold},
        {"Phone #:_____________________ Tiebreaker:_________", 52, 10, Bold},
        {"(Circle the champion)", 96, 8, Bold | Italic},
        {"Do NOT use seed numbers - write out the team name for each game. See back for rules...", H - 32, 8, Bold},
        {PrintPromoLine, H - 16, 8, Italic},
    };
    const std::vector<Expect> participant = {
        {PrintPromoLine, 8, 8, Italic},
        {"the Hoopfall picks for: Pat O'Brien", 30, 10, Bold},
        {"Tiebreaker: 147", 52, 10, Regular},
        {"Champion: T302", 96, 8, Bold | Italic},
        {"the Hoopfall office pool manager (ver 1.60) available at " + PrintMakerWebAddress, H - 32, 8, Bold},
        {PrintPromoLine, H - 16, 8, Italic},
    };
    for (const auto& [sheet, expected] : {std::pair{(const TPlayer*)nullptr, blank}, {&entry, participant}}) {
        canvas.texts.clear();
        DrawSheetTexts(canvas, sheet, texts);
        ASSERT_EQ(canvas.texts.size(), expected.size());  // no regions stored: no headings
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const auto& t = canvas.texts[i];
            EXPECT_EQ(t.text, expected[i].text);
            EXPECT_EQ((std::vector<int>{t.x, t.y, t.points, t.style}),
                      (std::vector<int>{W / 2 - static_cast<int>(t.text.size()) * t.points / 2, expected[i].y,
                                        expected[i].points, expected[i].style}))
                << t.text;
        }
        EXPECT_EQ(canvas.points, 12);
        EXPECT_EQ(canvas.style, Bold | Italic);
    }

    // No champion pick, the longest name and tiebreaker, and no version resource.
    canvas.texts.clear();
    entry.Name = std::string(25, 'N');
    entry.Tiebreaker = std::string(12, '9');
    entry.Picks[63] = 0;
    texts.programVersion.clear();
    DrawSheetTexts(canvas, &entry, texts);
    for (const std::string& line : {"the Hoopfall picks for: " + std::string(25, 'N'), "Tiebreaker: " + std::string(12, '9'),
                                    std::string("Champion: "),
                                    "the Hoopfall office pool manager (ver ) available at " + PrintMakerWebAddress})
        EXPECT_NE(canvas.find(line), nullptr) << line;
}

TEST_F(SheetTexts, RegionHeadingsInUpperCaseAndNoneForAnEmptyName)
{
    SaveRegions(dir.path(), {"East", "", "South west", "mid\xe9" "ast"});
    DrawSheetTexts(canvas, nullptr, texts);
    ASSERT_EQ(canvas.texts.size(), 6u + 3u);
    struct Heading {
        std::string text;
        int x, y;  // x: left edge on the left, right edge on the right
    } headings[] = {{"EAST", W / 4, H / 4}, {"SOUTH WEST", W - W / 4, H / 4}, {"MID\xc9" "AST", W - W / 4, H - H / 4}};
    for (std::size_t i = 0; i < std::size(headings); ++i) {
        const auto& t = canvas.texts[6 + i];
        EXPECT_EQ(t.text, headings[i].text);
        EXPECT_EQ(i == 0 ? t.x : t.right(), headings[i].x) << t.text;
        EXPECT_EQ(t.y, headings[i].y) << t.text;
        EXPECT_EQ(t.points, 12);
        EXPECT_EQ(t.style, Bold | Italic);
    }
    EXPECT_EQ(UpperCaseAnsi("abc xyz 12 \xe0\xfe\xf7\xff\x9a"), "ABC XYZ 12 \xc0\xde\xf7\x9f\x8a");
}

TEST(DrawPoolSheet, ResetsPickIndexAndAsksForArialThenTheFallback)
{
    NameAllTeams();
    TempDir dir;
    TPlayer entry;
    entry.Picks[1] = PickOf(1);
    for (const auto& faces : {std::vector<std::string>{"Default", "MS Sans Serif", "Arial"},
                              std::vector<std::string>{"Default", "MS Sans Serif"}, std::vector<std::string>{"Default"}}) {
        FixedCanvas canvas(W, H);
        canvas.faces = faces;
        PrintPickIndex = 40;  // left over from an earlier copy
        std::vector<int> columns;
        DrawPoolSheet(canvas, &entry, {dir.path(), ""}, [&](int r) { columns.push_back(r); });
        EXPECT_EQ(canvas.face, faces.back());
        const auto* first = canvas.find(TeamName(PickOf(1)));
        ASSERT_NE(first, nullptr);  // game 1 is printed, on its own line
        EXPECT_EQ(first->x, C + G);
        EXPECT_EQ(first->points, 8);
        EXPECT_EQ(columns, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    }
}

// ---- The line writer ----------------------------------------------------------------------

TEST(PrinterLineWriter, CutsAtACharacterAndLinesAreAsHighAsTheirTallestPiece)
{
    FixedCanvas canvas(100, 1000);  // ten 10-point characters to a line
    {
        PrinterLineWriter writer(canvas);
        writer.Write("hello world!");
        EXPECT_EQ(writer.X(), 20);
        writer.Write("abcdefghij");
        writer.EndLine();
        EXPECT_EQ(writer.Y(), 66);
        canvas.SetFont(20, Bold);
        writer.Write("cd");
        canvas.SetFont(10, Regular);
        writer.Write("ab");
        writer.EndLine();  // the 20-point piece's cell 40 + 2
        EXPECT_EQ(writer.Y(), 108);
        writer.EndLine();  // empty: the font's cell
        EXPECT_EQ(writer.Y(), 128);
        writer.Close();
    }
    const std::vector<std::pair<std::string, std::vector<int>>> expected = {
        {"hello worl", {0, 0}}, {"d!", {0, 22}}, {"abcdefgh", {20, 22}}, {"ij", {0, 44}}, {"cd", {0, 66}}, {"ab", {40, 66}}};
    ASSERT_EQ(canvas.texts.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(canvas.texts[i].text, expected[i].first);
        EXPECT_EQ((std::vector<int>{canvas.texts[i].x, canvas.texts[i].y}), expected[i].second) << expected[i].first;
    }
    EXPECT_EQ(canvas.events, (std::vector<std::string>{"begin", "end"}));

    // A page narrower than one character still gets to the end of the text.
    FixedCanvas narrow(5, 10000);
    PrinterLineWriter writer(narrow);
    writer.WriteLine("abc");
    ASSERT_EQ(narrow.texts.size(), 3u);
    EXPECT_EQ(narrow.texts[2].y, 44);
}

TEST(PrinterLineWriter, NewPageWhenTheNextLineWouldPassTheBottom)
{
    FixedCanvas canvas(1000, 100);
    try {
        PrinterLineWriter writer(canvas);
        // 22-pixel lines: after the third, 66 > 100 - 2 x 22, so the fourth starts a page.
        for (const char* line : {"one", "two", "three", "four"}) writer.WriteLine(line);
        EXPECT_EQ(canvas.texts[2].page, 1);
        EXPECT_EQ(canvas.texts[2].y, 44);
        EXPECT_EQ(canvas.texts[3].page, 2);
        EXPECT_EQ(canvas.texts[3].y, 0);
        // Empty lines (26 high, nothing to keep below them) go on down to the very bottom.
        canvas.SetFont(13, Regular);
        for (int i = 0; i < 3; ++i) writer.EndLine();
        EXPECT_EQ(writer.Y(), 100);
        writer.EndLine();
        EXPECT_EQ(writer.Y(), 0);
        writer.WriteLine("five");
        throw std::runtime_error("printer gone");
    } catch (const std::runtime_error&) {
    }
    // Left by an error, the writer still ends its job.
    EXPECT_EQ(canvas.events, (std::vector<std::string>{"begin", "page", "page", "end"}));
    EXPECT_FALSE(canvas.open);
}
