#include <gtest/gtest.h>

#include <algorithm>
#include <map>

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

FixedCanvas BracketCanvas(int w = W, int h = H)
{
    FixedCanvas canvas(w, h);
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
TeamCode PickOf(int game) { return MakeTeamCode(static_cast<std::uint8_t>((game - 1) / 16 + 1), static_cast<std::uint8_t>((game - 1) % 16 + 1)); }
}  // namespace

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour)
{
    struct Case {
        long long n, d;
        int expected;
    } cases[] = {{11, 2, 6}, {33, 2, 16}, {5, 2, 2}, {7, 2, 4}, {1, 2, 0}, {21, 10, 2}, {26, 10, 3}, {4200, 21, 200}, {0, 7, 0}};
    for (const Case& c : cases) EXPECT_EQ(RoundHalfEven(c.n, c.d), c.expected) << c.n << "/" << c.d;
}

TEST(SheetGeometry, DerivedFromPageAndFont)
{
    struct Case {
        int w, h, cell;
        SheetGeometry expected;
    } cases[] = {
        {2100, 672, 16, {21, 200, 18, 22, 8}},   // 1.1 x 16 = 17.6
        {1000, 640, 15, {20, 95, 16, 21, 8}},    // 1000 / 10.5 = 95.2; 16.5 goes down to even
        {1005, 640, 5, {20, 96, 6, 21, 8}},      // 95.7; 5.5 goes up to even
        {6600, 5100, 25, {159, 629, 28, 170, 68}},  // 27.5 goes up to even
    };
    for (const Case& c : cases) {
        FixedCanvas canvas(c.w, c.h);
        canvas.cellHeight = c.cell;
        const SheetGeometry geo = MeasureSheet(canvas);
        EXPECT_EQ(geo.u, c.expected.u) << c.w << "x" << c.h;
        EXPECT_EQ(geo.c, c.expected.c) << c.w << "x" << c.h;
        EXPECT_EQ(geo.g, c.expected.g) << c.cell;
        EXPECT_EQ(geo.L, c.expected.L) << c.h;
        EXPECT_EQ(geo.t, c.expected.t) << c.h;
    }
}

TEST(DrawBracketColumn, FirstLineOfTheFirstColumnRoundsDownTwice)
{
    // u div 2 + u div 2: u - 1 for an odd unit, u for an even one.
    for (const auto& [h, firstY] : std::map<int, int>{{672, 20}, {640, 20}, {32 * 25, 24}, {32 * 26, 26}}) {
        NameAllTeams();
        FixedCanvas canvas = BracketCanvas(W, h);
        DrawBracketColumn(canvas, 1, Half::Left, nullptr);
        ASSERT_FALSE(canvas.lines.empty());
        const auto& first = canvas.lines.front();
        EXPECT_EQ(first.y1, firstY) << h;
        EXPECT_EQ(first.x1, 0);
        EXPECT_EQ(first.x2, C);
    }
}

TEST(DrawBracketColumn, BracketsOpenTowardsTheEdgeOnBothHalves)
{
    NameAllTeams();
    FixedCanvas canvas = BracketCanvas();
    DrawBracketColumn(canvas, 2, Half::Right, nullptr);
    // Column 2 of the right half: 8 brackets of height 2u, from W - c towards the middle.
    ASSERT_EQ(canvas.lines.size(), 8u * 3);
    const int y = U + U / 2;
    EXPECT_EQ(canvas.lines[0].x1, W - C);
    EXPECT_EQ(canvas.lines[0].y1, y);
    EXPECT_EQ(canvas.lines[0].x2, W - 2 * C);
    EXPECT_EQ(canvas.lines[1].x2, W - 2 * C);  // the connector faces the middle
    EXPECT_EQ(canvas.lines[1].y2, y + 2 * U);
    EXPECT_EQ(canvas.lines[2].x2, W - C);
    EXPECT_EQ(canvas.lines[3].y1, y + 4 * U);  // next bracket two heights down
    EXPECT_TRUE(canvas.texts.empty());         // no entry, no picks
}

TEST(DrawBracketColumn, FinalistLineRunsBackTowardsTheMiddle)
{
    NameAllTeams();
    FixedCanvas canvas = BracketCanvas();
    DrawBracketColumn(canvas, 6, Half::Left, nullptr);
    DrawBracketColumn(canvas, 6, Half::Right, nullptr);
    ASSERT_EQ(canvas.lines.size(), 2u);
    const int y = 16 * U + U / 2;
    EXPECT_EQ((std::vector<int>{canvas.lines[0].x1, canvas.lines[0].y1, canvas.lines[0].x2, canvas.lines[0].y2}),
              (std::vector<int>{5 * C, y, 4 * C, y}));
    EXPECT_EQ((std::vector<int>{canvas.lines[1].x1, canvas.lines[1].y1, canvas.lines[1].x2, canvas.lines[1].y2}),
              (std::vector<int>{W - 5 * C, y, W - 4 * C, y}));
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

    const auto* alpha = canvas.find("1. Alpha (20-5)");
    ASSERT_NE(alpha, nullptr);
    EXPECT_EQ(alpha->x, 0);
    EXPECT_EQ(alpha->y, U - 1 - G);
    const auto* gamma = canvas.find("Gamma (28-1) 1.");
    ASSERT_NE(gamma, nullptr);
    EXPECT_EQ(gamma->right(), W);
    EXPECT_EQ(gamma->y, U - 1 - G);

    // Left half, top to bottom: region 1 then region 2, each in bracket seed order.
    const std::vector<int> order = {1, 16, 8, 9, 5, 12, 4, 13, 6, 11, 3, 14, 7, 10, 2, 15};
    std::vector<std::string> left, expected;
    for (const auto& t : canvas.texts)
        if (t.x == 0) left.push_back(t.text);
    for (int p : {1, 2})
        for (int s : order) expected.push_back(FormatTeamLabel(p, s));
    EXPECT_EQ(left, expected);
    for (const auto& t : canvas.texts)
        if (t.x != 0) EXPECT_EQ(t.right(), W) << t.text;
    // The last label of the half sits on the last line, 31 units below the first.
    EXPECT_EQ(canvas.texts[31].y, U - 1 + 31 * U - G);
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

TEST(DrawTeamLabel, NothingOutsideTheFourRegions)
{
    NameAllTeams();
    FixedCanvas canvas = BracketCanvas();
    DrawTeamLabel(canvas, 0, 100, 0, 1);
    DrawTeamLabel(canvas, 0, 100, 5, 1);
    EXPECT_TRUE(canvas.texts.empty());
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

    // Game g is line i of column r of its half: lines of a column are f apart, starting at f/2 + u/2.
    struct Span {
        int first, last, column;
        Half half;
    } spans[] = {{1, 16, 2, Half::Left},   {17, 32, 2, Half::Right}, {33, 40, 3, Half::Left}, {41, 48, 3, Half::Right},
                 {49, 52, 4, Half::Left},  {53, 56, 4, Half::Right}, {57, 58, 5, Half::Left}, {59, 60, 5, Half::Right},
                 {61, 61, 6, Half::Left},  {62, 62, 6, Half::Right}};
    int printed = 0;
    for (const Span& span : spans) {
        const int f = (1 << (span.column - 1)) * U;
        // Column 6 prints at the inner end of its line, which is where column 5 begins.
        const int outer = (span.column == 6 ? 4 : span.column - 1) * C;
        for (int game = span.first; game <= span.last; ++game) {
            const int lineY = f / 2 + U / 2 + (game - span.first) * f;
            const std::string name = TeamName(PickOf(game));
            const auto* text = canvas.find(name);
            if (game == 5 || game == 34) {
                EXPECT_EQ(text, nullptr) << "game " << game;
                continue;
            }
            ASSERT_NE(text, nullptr) << "game " << game;
            ++printed;
            EXPECT_EQ(text->y, lineY - G) << "game " << game;
            if (span.half == Half::Left)
                EXPECT_EQ(text->x, outer + G) << "game " << game;
            else
                EXPECT_EQ(text->right(), W - outer - G) << "game " << game;
            // A drawn line runs through the point the text stands over.
            const int lineX = span.half == Half::Left ? outer : W - outer;
            const bool onLine = std::any_of(canvas.lines.begin(), canvas.lines.end(), [&](const FixedCanvas::Line& l) {
                return l.horizontal() && l.y1 == lineY && std::min(l.x1, l.x2) <= lineX && lineX <= std::max(l.x1, l.x2);
            });
            EXPECT_TRUE(onLine) << "game " << game;
        }
    }
    EXPECT_EQ(printed, 60);
    // The champion is not on the bracket.
    EXPECT_EQ(canvas.find(TeamName(PickOf(63))), nullptr);
}

namespace {
struct SheetTextsFixture : ::testing::Test {
    TempDir dir;
    FixedCanvas canvas = BracketCanvas();
    PoolSheetTexts texts{dir.path(), "1.60"};
    void SetUp() override { NameAllTeams(); }
    int centredX(const FixedCanvas::Text& t) const { return W / 2 - static_cast<int>(t.text.size()) * t.points / 2; }
};
}  // namespace

TEST_F(SheetTextsFixture, BlankSheetTexts)
{
    DrawSheetTexts(canvas, nullptr, texts);
    struct Expect {
        std::string text;
        int y, points, style;
    } expected[] = {
        {PrintPromoLine, 8, 8, Italic},
        {"Full Name:___________________________________________", 30, 10, Bold},
        {"Phone #:_____________________ Tiebreaker:_________", 52, 10, Bold},
        {"(Circle the champion)", 96, 8, Bold | Italic},
        {"Do NOT use seed numbers - write out the team name for each game. See back for rules...", H - 32, 8, Bold},
        {PrintPromoLine, H - 16, 8, Italic},
    };
    ASSERT_EQ(canvas.texts.size(), std::size(expected));  // no regions stored: no headings
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const auto& t = canvas.texts[i];
        EXPECT_EQ(t.text, expected[i].text);
        EXPECT_EQ(t.y, expected[i].y) << t.text;
        EXPECT_EQ(t.points, expected[i].points) << t.text;
        EXPECT_EQ(t.style, expected[i].style) << t.text;
        EXPECT_EQ(t.x, centredX(t)) << t.text;
    }
    EXPECT_EQ(canvas.points, 12);
    EXPECT_EQ(canvas.style, Bold | Italic);
}

TEST_F(SheetTextsFixture, ParticipantSheetTexts)
{
    TPlayer entry;
    entry.Name = "Pat O'Brien";
    entry.Tiebreaker = "147";
    entry.Picks[63] = MakeTeamCode(3, 2);
    DrawSheetTexts(canvas, &entry, texts);
    ASSERT_NE(canvas.find("the Hoopfall picks for: Pat O'Brien"), nullptr);
    EXPECT_EQ(canvas.find("the Hoopfall picks for: Pat O'Brien")->style, Bold);
    const auto* tiebreaker = canvas.find("Tiebreaker: 147");
    ASSERT_NE(tiebreaker, nullptr);
    EXPECT_EQ(tiebreaker->style, Regular);
    EXPECT_EQ(tiebreaker->points, 10);
    const auto* champion = canvas.find("Champion: T302");
    ASSERT_NE(champion, nullptr);
    EXPECT_EQ(champion->style, Bold | Italic);
    const auto* version =
        canvas.find("the Hoopfall office pool manager (ver 1.60) available at " + PrintMakerWebAddress);
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->y, H - 32);
    EXPECT_EQ(canvas.find("(Circle the champion)"), nullptr);
}

TEST_F(SheetTextsFixture, ChampionLineWithoutAPickAndAnEmptyVersion)
{
    TPlayer entry;
    entry.Name = std::string(25, 'N');
    texts.programVersion.clear();
    DrawSheetTexts(canvas, &entry, texts);
    EXPECT_NE(canvas.find("Champion: "), nullptr);
    EXPECT_NE(canvas.find("the Hoopfall office pool manager (ver ) available at " + PrintMakerWebAddress), nullptr);
    EXPECT_NE(canvas.find("the Hoopfall picks for: " + std::string(25, 'N')), nullptr);
    EXPECT_NE(canvas.find("Tiebreaker: "), nullptr);
}

TEST_F(SheetTextsFixture, RegionHeadingsInUpperCaseAndNoneForAnEmptyName)
{
    SaveRegions(dir.path(), {"East", "", "South west", "mid\xe9" "ast"});
    DrawSheetTexts(canvas, nullptr, texts);
    const auto* east = canvas.find("EAST");
    ASSERT_NE(east, nullptr);
    EXPECT_EQ(east->x, W / 4);
    EXPECT_EQ(east->y, H / 4);
    EXPECT_EQ(east->points, 12);
    EXPECT_EQ(east->style, Bold | Italic);
    const auto* southWest = canvas.find("SOUTH WEST");
    ASSERT_NE(southWest, nullptr);
    EXPECT_EQ(southWest->right(), W - W / 4);
    EXPECT_EQ(southWest->y, H / 4);
    const auto* midEast = canvas.find("MID\xc9" "AST");
    ASSERT_NE(midEast, nullptr);
    EXPECT_EQ(midEast->right(), W - W / 4);
    EXPECT_EQ(midEast->y, H - H / 4);
    // Nothing in the lower left quarter.
    for (const auto& t : canvas.texts) EXPECT_FALSE(t.points == 12 && t.x == W / 4 && t.y == H - H / 4) << t.text;
    EXPECT_EQ(canvas.texts.size(), 6u + 3u);
}

TEST(DrawPoolSheet, ResetsPickIndexAndAsksForArialThenTheFallback)
{
    NameAllTeams();
    TempDir dir;
    TPlayer entry;
    entry.Picks[1] = PickOf(1);
    std::vector<int> columns;
    for (const auto& faces : {std::vector<std::string>{"Default", "MS Sans Serif", "Arial"},
                              std::vector<std::string>{"Default", "MS Sans Serif"}, std::vector<std::string>{"Default"}}) {
        FixedCanvas canvas(W, H);
        canvas.faces = faces;
        PrintPickIndex = 40;  // left over from an earlier copy
        columns.clear();
        DrawPoolSheet(canvas, &entry, {dir.path(), ""}, [&](int r) { columns.push_back(r); });
        EXPECT_EQ(canvas.face, faces.back());
        const auto* first = canvas.find(TeamName(PickOf(1)));
        ASSERT_NE(first, nullptr);  // game 1 is printed, on its own line
        EXPECT_EQ(first->x, C + G);
        EXPECT_EQ(first->points, 8);
        EXPECT_EQ(columns, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    }
}

TEST(UpperCaseAnsi, LettersOfTheCodePage)
{
    EXPECT_EQ(UpperCaseAnsi("abc xyz 12"), "ABC XYZ 12");
    EXPECT_EQ(UpperCaseAnsi("\xe0\xfe\xf7\xff\x9a"), "\xc0\xde\xf7\x9f\x8a");
}

// ---- The line writer ----------------------------------------------------------------------

TEST(PrinterLineWriter, CutsAtACharacterAndGoesOn)
{
    FixedCanvas canvas(100, 1000);  // ten 10-point characters to a line
    {
        PrinterLineWriter writer(canvas);
        writer.Write("hello world!");
        EXPECT_EQ(writer.X(), 20);
        writer.Write("abcdefghij");
        writer.EndLine();
        writer.Close();
    }
    ASSERT_EQ(canvas.texts.size(), 4u);
    EXPECT_EQ(canvas.texts[0].text, "hello worl");  // cut inside the word
    EXPECT_EQ(canvas.texts[0].y, 0);
    EXPECT_EQ(canvas.texts[1].text, "d!");
    EXPECT_EQ(canvas.texts[1].y, 22);  // cell height 20 + 2
    EXPECT_EQ(canvas.texts[2].text, "abcdefgh");
    EXPECT_EQ(canvas.texts[2].x, 20);
    EXPECT_EQ(canvas.texts[3].text, "ij");
    EXPECT_EQ(canvas.texts[3].y, 44);
    EXPECT_EQ(canvas.events, (std::vector<std::string>{"begin", "end"}));
}

TEST(PrinterLineWriter, LineHeightIsTheTallestPieceAndEmptyLinesTakeTheFontHeight)
{
    FixedCanvas canvas(1000, 1000);
    PrinterLineWriter writer(canvas);
    canvas.SetFont(10, Regular);
    writer.Write("ab");
    canvas.SetFont(20, Bold);
    writer.Write("cd");
    canvas.SetFont(10, Regular);
    writer.EndLine();
    EXPECT_EQ(writer.Y(), 42);
    writer.EndLine();  // empty: the font's cell
    EXPECT_EQ(writer.Y(), 62);
    canvas.SetFont(12, Regular);
    writer.EndLine();
    EXPECT_EQ(writer.Y(), 86);
    writer.Close();
}

TEST(PrinterLineWriter, NewPageWhenTheNextLineWouldPassTheBottom)
{
    FixedCanvas canvas(1000, 100);
    {
        PrinterLineWriter writer(canvas);
        // 22-pixel lines: after the third, 66 > 100 - 2 x 22, so the fourth starts a page.
        for (const char* line : {"one", "two", "three", "four"}) writer.WriteLine(line);
        writer.Close();
    }
    ASSERT_EQ(canvas.texts.size(), 4u);
    EXPECT_EQ(canvas.texts[2].page, 1);
    EXPECT_EQ(canvas.texts[2].y, 44);
    EXPECT_EQ(canvas.texts[3].page, 2);
    EXPECT_EQ(canvas.texts[3].y, 0);
    EXPECT_EQ(canvas.events, (std::vector<std::string>{"begin", "page", "end"}));
}

TEST(PrinterLineWriter, EmptyLinesGoOnToTheVeryBottom)
{
    FixedCanvas canvas(1000, 100);
    PrinterLineWriter writer(canvas);
    for (int i = 0; i < 5; ++i) writer.EndLine();  // 20, 40, 60, 80, 100: none passes H
    EXPECT_EQ(writer.Y(), 100);
    writer.EndLine();
    EXPECT_EQ(writer.Y(), 0);
    EXPECT_EQ(canvas.events, (std::vector<std::string>{"begin", "page"}));
}

TEST(PrinterLineWriter, APageNarrowerThanACharacterStillEnds)
{
    FixedCanvas canvas(5, 10000);
    PrinterLineWriter writer(canvas);
    writer.WriteLine("abc");
    ASSERT_EQ(canvas.texts.size(), 3u);
    EXPECT_EQ(canvas.texts[2].text, "c");
    EXPECT_EQ(canvas.texts[2].y, 44);
}

TEST(PrinterLineWriter, EndsAnOpenJobWhenLeftByAnError)
{
    FixedCanvas canvas(100, 100);
    try {
        PrinterLineWriter writer(canvas);
        writer.WriteLine("text");
        throw std::runtime_error("printer gone");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(canvas.open);
    EXPECT_EQ(canvas.events.back(), "end");
}
