#include <gtest/gtest.h>

#include "core/pool/players.h"
#include "core/printing/page_layout.h"
#include "core/printing/print_texts.h"
#include "fixed_canvas.h"
#include "support/temp_dir.h"

namespace {
// A landscape page of 2100 x 672: c = 200, u = 21 (odd), L = 22, t = 8; the 8-point font's
// cells are 16 high, so g = 18.
constexpr int W = 2100, H = 672, U = 21, C = 200, G = 18;
using Ints = std::vector<int>;
using Texts = std::vector<std::string>;

// Column r of one or both halves in the bracket font; the lines drawn so far.
std::vector<Ints> column(FixedCanvas& canvas, int r, std::initializer_list<Half> halves, const Player* entry = nullptr)
{
    canvas.setFont(8, Regular);
    SheetDrawing drawing{teams()};
    for (Half half : halves) drawBracketColumn(canvas, r, half, entry, drawing);
    return canvas.lines;
}

// What a centred line at y looks like in FixedCanvas::drawn().
std::string centred(const std::string& text, int y, int points, int style)
{
    return text + " " + std::to_string(W / 2 - static_cast<int>(text.size()) * points / 2) + "," + std::to_string(y) +
           " " + std::to_string(points) + "/" + std::to_string(style) + " 0";
}
}  // namespace

TEST(SheetGeometry, DerivedFromPageAndFontWithHalvesToEven)
{
    const std::pair<Ints, Ints> cases[] = {
        // {w, h, cell} -> {u, c, g, L, t}
        {{2100, 672, 16}, {21, 200, 18, 22, 8}},      // 1.1 x 16 = 17.6
        {{1000, 700, 15}, {21, 95, 16, 23, 9}},       // 1000 / 10.5 = 95.2; 16.5 goes down to even; u 21.9
        {{1005, 620, 5}, {19, 96, 6, 20, 8}},         // 95.7; 5.5 goes up to even; L 20.7
        {{6600, 5140, 25}, {160, 629, 28, 171, 68}},  // 27.5 goes up to even; t 68.5
    };
    for (const auto& [page, expected] : cases) {
        FixedCanvas canvas(page[0], page[1]);
        canvas.cellHeight = page[2];
        const SheetGeometry geo = measureSheet(canvas);
        EXPECT_EQ((Ints{geo.u, geo.c, geo.g, geo.L, geo.t}), expected) << page[0] << "x" << page[1];
    }
}

TEST(DrawBracketColumn, LinesOfTheColumns)
{
    nameAllTeams();
    // u div 2 + u div 2: the first line of the first column at u - 1 for an odd unit, u for an even one.
    for (const auto& [h, y] : {std::pair{672, 20}, {640, 20}, {32 * 25, 24}, {32 * 26, 26}}) {
        FixedCanvas canvas(W, h);
        const auto lines = column(canvas, 1, {Half::Left});
        EXPECT_EQ(lines.size(), 16u * 3) << h;
        EXPECT_EQ(lines.front(), (Ints{0, y, C, y})) << h;
    }
    // Column 2 of the right half: 8 brackets of height 2u, from W - c towards the middle, their
    // connector facing the middle, the next one two heights down; no entry, no picks.
    FixedCanvas canvas(W, H);
    const int y = U + U / 2, y2 = y + 2 * U, y3 = y + 4 * U;
    const auto lines = column(canvas, 2, {Half::Right});
    EXPECT_EQ(lines.size(), 8u * 3);
    EXPECT_EQ(std::vector<Ints>(lines.begin(), lines.begin() + 4), (std::vector<Ints>{{W - C, y, W - 2 * C, y},
                                                                                      {W - 2 * C, y, W - 2 * C, y2},
                                                                                      {W - 2 * C, y2, W - C, y2},
                                                                                      {W - C, y3, W - 2 * C, y3}}));
    EXPECT_TRUE(canvas.texts.empty());
    // The finalist lines run from the sixth column back towards the middle.
    FixedCanvas finals(W, H);
    const int y6 = 16 * U + U / 2;
    EXPECT_EQ(column(finals, 6, {Half::Left, Half::Right}),
              (std::vector<Ints>{{5 * C, y6, 4 * C, y6}, {W - 5 * C, y6, W - 4 * C, y6}}));
}

TEST(DrawBracketColumn, TeamLabelsStandFlushWithThePageEdgesInSeedOrder)
{
    nameAllTeams();
    setTeam(1, 1, "Alpha", "20", "5");
    setTeam(3, 1, "Gamma", "28", "1");
    FixedCanvas canvas(W, H);
    column(canvas, 1, {Half::Left, Half::Right});
    drawTeamLabel(canvas, teams(), 0, 100, 0, 1);  // outside the four regions there is no label
    drawTeamLabel(canvas, teams(), 0, 100, 5, 1);
    ASSERT_EQ(canvas.texts.size(), 64u);
    // Each half top to bottom: its upper region, then its lower one, each in bracket seed order;
    // left labels start at the left edge, right labels end at the right edge, g above their lines.
    const int order[16] = {1, 16, 8, 9, 5, 12, 4, 13, 6, 11, 3, 14, 7, 10, 2, 15};
    for (int i = 0; i < 64; ++i) {
        const bool left = i < 32;
        const auto& t = canvas.texts[std::size_t(i)];
        EXPECT_EQ(t.text, formatTeamLabel(teams(), (left ? 1 : 3) + (i % 32) / 16, order[i % 16])) << i;
        EXPECT_EQ((Ints{left ? t.x : t.right(), t.y}), (Ints{left ? 0 : W, U - 1 + (i % 32) * U - G})) << t.text;
    }
    EXPECT_EQ((Texts{canvas.texts[0].text, canvas.texts[32].text}), (Texts{"1. Alpha (20-5)", "Gamma (28-1) 1."}));
}

TEST(FormatTeamLabel, RecordOnlyForAWholeNumberOfWinsAboveZero)
{
    const Texts cases[] = {// wins, losses, record part
                           {"21", "9", " (21-9)"}, {"3", "", " (3-)"}, {"", "4", ""},   {"0", "4", ""},
                           {"00", "0", ""},        {"a", "1", ""},     {"1x", "1", ""}, {"-1", "2", ""}};
    for (const Texts& c : cases) {
        teams().clear();
        setTeam(2, 12, "Name", c[0], c[1]);
        setTeam(4, 12, "Name", c[0], c[1]);
        EXPECT_EQ((Texts{formatTeamLabel(teams(), 2, 12), formatTeamLabel(teams(), 4, 12)}),
                  (Texts{"12. Name" + c[2], "Name" + c[2] + " 12."}))
            << "wins '" << c[0] << "'";
    }
}

TEST(DrawBracketColumn, PicksLandOnTheirOwnLinesInGameOrder)
{
    nameAllTeams();
    Player entry;
    for (int game = 1; game <= GameCount; ++game) entry.picks[game] = pickOf(game);
    entry.picks[5] = entry.picks[34] = 0;  // an early pick left out, and one in the second round
    FixedCanvas canvas(W, H);
    canvas.setFont(8, Regular);
    SheetDrawing drawing{teams()};
    for (int r = 1; r <= 6; ++r)
        for (Half half : {Half::Left, Half::Right}) drawBracketColumn(canvas, r, half, &entry, drawing);
    EXPECT_EQ(drawing.pickIndex, 63);
    // The games of column r stand on its lines, f apart from f/2 + u/2, g in from the line's outer
    // end (column 6 at the inner end of its line); left half first, then the right one.
    std::vector<Ints> expected, printed;
    for (int game = 1, column = 2; column <= 6; ++column)
        for (Half half : {Half::Left, Half::Right}) {
            const int f = (1 << (column - 1)) * U, count = 32 >> (column - 1);
            const int outer = (column == 6 ? 4 : column - 1) * C;
            for (int i = 0; i < count; ++i, ++game) {
                if (const auto* text = canvas.find(teams().teamName(pickOf(game)).bytes))
                    printed.push_back({game, half == Half::Left ? text->x : text->right(), text->y});
                if (game != 5 && game != 34)
                    expected.push_back(
                        {game, half == Half::Left ? outer + G : W - outer - G, f / 2 + U / 2 + i * f - G});
            }
        }
    EXPECT_EQ(printed, expected);
    EXPECT_EQ(canvas.find(teams().teamName(pickOf(63)).bytes), nullptr);  // the champion is not on the bracket
}

TEST(DrawSheetTexts, CentredLinesOfBothSheetsAndRegionHeadings)
{
    nameAllTeams();
    std::array<std::string, 4> regions;
    FixedCanvas canvas(W, H);
    Player entry;
    entry.name = "Pat O'Brien";
    entry.tiebreaker = "147";
    entry.picks[63] = makeTeamCode(3, 2);
    auto drawn = [&](const Player* sheet) {
        canvas.texts.clear();
        drawSheetTexts(canvas, sheet, {teams(), regions, "1.60"});
        return canvas.drawn();
    };
    const std::string promoTop = centred(PrintPromoLine, 8, 8, Italic),
                      promoEnd = centred(PrintPromoLine, H - 16, 8, Italic);
    EXPECT_EQ(drawn(nullptr),  // no regions stored: no headings
              (Texts{promoTop, centred("Full Name:___________________________________________", 30, 10, Bold),
                     centred("Phone #:_____________________ Tiebreaker:_________", 52, 10, Bold),
                     centred("(Circle the champion)", 96, 8, Bold | Italic),
                     centred("Do NOT use seed numbers - write out the team name for each game. See back for rules...",
                             H - 32, 8, Bold),
                     promoEnd}));
    EXPECT_EQ((Ints{canvas.points, canvas.style}), (Ints{12, Bold | Italic}));
    EXPECT_EQ(drawn(&entry),
              (Texts{promoTop, centred("the Hoopfall picks for: Pat O'Brien", 30, 10, Bold),
                     centred("Tiebreaker: 147", 52, 10, Regular), centred("Champion: T302", 96, 8, Bold | Italic),
                     centred("the Hoopfall office pool manager (ver 1.60) available at " + PrintMakerWebAddress, H - 32,
                             8, Bold),
                     promoEnd}));
    entry.picks[63] = 0;  // no champion pick
    EXPECT_EQ(drawn(&entry)[3], centred("Champion: ", 96, 8, Bold | Italic));

    // Region headings in upper case, none for an empty name; left ones start at W/4, right ones
    // end at W - W/4 (12-point characters).
    regions = {"East", "", "South west",
               "mid\xe9"
               "ast"};
    const Texts headings = drawn(nullptr);
    EXPECT_EQ(Texts(headings.begin() + 6, headings.end()), (Texts{"EAST 525,168 12/3 0", "SOUTH WEST 1455,168 12/3 0",
                                                                  "MID\xc9"
                                                                  "AST 1491,504 12/3 0"}));
    EXPECT_EQ(upperCaseAnsi("abc xyz 12 \xe0\xfe\xf7\xff\x9a"), "ABC XYZ 12 \xc0\xde\xf7\x9f\x8a");
}

TEST(DrawPoolSheet, EveryCopyStartsAtGameOneAndAsksForArialThenTheFallback)
{
    nameAllTeams();
    Player entry;
    entry.picks[1] = pickOf(1);
    for (const Texts& faces :
         {Texts{"Default", "MS Sans Serif", "Arial"}, Texts{"Default", "MS Sans Serif"}, Texts{"Default"}}) {
        FixedCanvas canvas(W, H);
        canvas.faces = faces;
        Ints columns;
        drawPoolSheet(canvas, &entry, {teams(), {}, ""}, [&](int r) { columns.push_back(r); });
        EXPECT_EQ(canvas.face, faces.back());
        const auto* first = canvas.find(teams().teamName(pickOf(1)).bytes);
        ASSERT_NE(first, nullptr);  // game 1 is printed, on its own line, in the 8-point font
        EXPECT_EQ((Ints{first->x, first->points}), (Ints{C + G, 8}));
        EXPECT_EQ(columns, (Ints{1, 2, 3, 4, 5, 6}));
    }
}

// ---- The line writer ----------------------------------------------------------------------

TEST(PrinterLineWriter, CutsAtACharacterAndLinesAreAsHighAsTheirTallestPiece)
{
    FixedCanvas canvas(100, 1000);  // ten 10-point characters to a line
    {
        PrinterLineWriter writer(canvas);
        writer.write("hello world!");
        writer.writeLine("abcdefghij");
        canvas.setFont(20, Bold);
        writer.write("cd");
        canvas.setFont(10, Regular);
        writer.writeLine("ab");  // as high as the 20-point piece's cell 40 + 2
        writer.endLine();        // empty: the font's cell
        writer.writeLine("z");
        writer.close();
    }
    EXPECT_EQ(canvas.drawn(), (Texts{"hello worl 0,0 10/0 1", "d! 0,22 10/0 1", "abcdefgh 20,22 10/0 1",
                                     "ij 0,44 10/0 1", "cd 0,66 20/1 1", "ab 40,66 10/0 1", "z 0,128 10/0 1"}));
    EXPECT_EQ(canvas.events, (Texts{"begin", "end"}));

    // A page narrower than one character still gets to the end of the text.
    FixedCanvas narrow(5, 10000);
    PrinterLineWriter(narrow).writeLine("abc");
    EXPECT_EQ(narrow.drawn(), (Texts{"a 0,0 10/0 1", "b 0,22 10/0 1", "c 0,44 10/0 1"}));
}

TEST(PrinterLineWriter, NewPageWhenTheNextLineWouldPassTheBottom)
{
    FixedCanvas canvas(1000, 100);
    try {
        PrinterLineWriter writer(canvas);
        // 22-pixel lines: after the third, 66 > 100 - 2 x 22, so the fourth starts a page.
        for (const char* line : {"one", "two", "three", "four"}) writer.writeLine(line);
        // Empty lines (26 high, nothing to keep below them) go on down to the very bottom (100).
        canvas.setFont(13, Regular);
        for (int i = 0; i < 4; ++i) writer.endLine();
        writer.writeLine("five");
        throw std::runtime_error("printer gone");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(canvas.drawn(),
              (Texts{"one 0,0 10/0 1", "two 0,22 10/0 1", "three 0,44 10/0 1", "four 0,0 10/0 2", "five 0,0 13/0 3"}));
    // Left by an error, the writer still ends its job.
    EXPECT_EQ(canvas.events, (Texts{"begin", "page", "page", "end"}));
    EXPECT_FALSE(canvas.open);
}
