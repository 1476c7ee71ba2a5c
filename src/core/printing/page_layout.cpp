#include "core/printing/page_layout.h"

#include <algorithm>

#include "core/pool/bracket.h"
#include "core/pool/players.h"
#include "core/printing/print_texts.h"
#include "core/settings/settings.h"

namespace {
const std::string MeasureText = "X";
constexpr int BracketFontPoints = 8;

// x0 and dx of a half: the left half runs rightwards from the left edge, the right half mirrors it.
int halfStart(const PageCanvas& canvas, Half half) { return half == Half::Left ? 0 : canvas.pageWidth(); }
int halfStep(const SheetGeometry& geo, Half half) { return half == Half::Left ? geo.c : -geo.c; }

void centred(PageCanvas& canvas, int y, const std::string& text)
{
    canvas.textOut(canvas.pageWidth() / 2 - canvas.textWidth(text) / 2, y, text);
}

// n / d rounded to the nearest integer, halves to the even one (d > 0, n >= 0).
int roundHalfEven(long long n, long long d)
{
    long long q = n / d;
    const long long twice = 2 * (n % d);
    if (twice > d || (twice == d && q % 2 != 0)) ++q;
    return static_cast<int>(q);
}
}  // namespace

SheetGeometry measureSheet(const PageCanvas& canvas)
{
    const int w = canvas.pageWidth();
    const int h = canvas.pageHeight();
    SheetGeometry geo;
    geo.u = h / 32;
    geo.c = roundHalfEven(2LL * std::max(w, 0), 21);                                // W / 10.5
    geo.g = roundHalfEven(11LL * std::max(canvas.textHeight(MeasureText), 0), 10);  // 1.1 x height
    geo.L = h / 30;
    geo.t = h / 75;
    return geo;
}

int topSeed(int j)
{
    // The region's seed order pairs each top seed with the one below it.
    return j >= 1 && j <= 8 ? SeedOrder[std::size_t(2 * (j - 1))] : 0;
}

std::string formatTeamLabel(const TeamTable& teams, int p, int s)
{
    if (p < 1 || p > RegionCount || s < 1 || s > SeedCount) return {};
    const Team& team = teams.entry(p, s);
    const std::string wins = team.wins.text().bytes;
    std::string record;
    // A record is shown only for a team that has won games; "0", a blank or a stray letter hides it.
    if (const auto won = parseInteger(wins); won && *won > 0)
        record = " (" + wins + "-" + team.losses.text().bytes + ")";
    const std::string seed = std::to_string(s);
    if (p <= 2) return seed + ". " + team.name.text().bytes + record;
    return team.name.text().bytes + record + " " + seed + ".";
}

void drawTeamLabel(PageCanvas& canvas, const TeamTable& teams, int x, int y, int p, int s)
{
    if (p < 1 || p > RegionCount) return;
    const SheetGeometry geo = measureSheet(canvas);
    const std::string text = formatTeamLabel(teams, p, s);
    const int left = p <= 2 ? x : x - canvas.textWidth(text);
    canvas.textOut(left, y - geo.g, text);
}

void drawPickText(PageCanvas& canvas, int x, int y, Half half, const Player& entry, const SheetDrawing& drawing)
{
    if (drawing.pickIndex < 1 || drawing.pickIndex > GameCount) return;
    const std::string text = drawing.teams.teamName(entry.picks[std::size_t(drawing.pickIndex)]).bytes;
    if (text.empty()) return;
    const SheetGeometry geo = measureSheet(canvas);
    const int left = half == Half::Left ? x + geo.g : x - geo.g - canvas.textWidth(text);
    canvas.textOut(left, y - geo.g, text);
}

void drawBracketColumn(PageCanvas& canvas, int r, Half half, const Player* entry, SheetDrawing& drawing)
{
    if (r < 1 || r > 6) return;
    const SheetGeometry geo = measureSheet(canvas);
    const int dx = halfStep(geo, half);
    const int x = halfStart(canvas, half) + (r - 1) * dx;
    const int f = (1 << (r - 1)) * geo.u;
    int y = f / 2 + geo.u / 2;

    // Every pick line takes the next game, filled or not.
    auto pick = [&](int lineX, int lineY) {
        if (!entry) return;
        drawPickText(canvas, lineX, lineY, half, *entry, drawing);
        ++drawing.pickIndex;
    };

    if (r == 6) {
        // The finalist of the half: one line, back towards the middle.
        canvas.moveTo(x, y);
        canvas.lineTo(x - dx, y);
        pick(x - dx, y);
        return;
    }

    const int firstRegion = half == Half::Left ? 1 : 3;
    const int brackets = 1 << (5 - r);
    for (int k = 1; k <= brackets; ++k) {
        const int p = firstRegion + (k > 8 ? 1 : 0);
        const int j = (k - 1) % 8 + 1;
        if (r == 1)
            drawTeamLabel(canvas, drawing.teams, x, y, p, topSeed(j));
        else
            pick(x, y);
        // Open towards the page edge; the connector faces the middle.
        canvas.moveTo(x, y);
        canvas.lineTo(x + dx, y);
        canvas.lineTo(x + dx, y + f);
        canvas.lineTo(x, y + f);
        if (r == 1)
            drawTeamLabel(canvas, drawing.teams, x, y + f, p, 17 - topSeed(j));
        else
            pick(x, y + f);
        y += 2 * f;
    }
}

std::string versionLine(const std::string& programVersion)
{
    return "the Hoopfall office pool manager (ver " + programVersion + ") available at " + PrintMakerWebAddress;
}

void drawSheetTexts(PageCanvas& canvas, const Player* entry, const PoolSheetTexts& texts)
{
    const SheetGeometry geo = measureSheet(canvas);
    const int w = canvas.pageWidth();
    const int h = canvas.pageHeight();

    canvas.setFont(8, Italic);
    centred(canvas, geo.t, PrintPromoLine);

    const int y1 = geo.t + geo.L;
    canvas.setFont(10, Bold);
    centred(canvas, y1,
            entry ? cutText("the Hoopfall picks for: " + entry->name.text().bytes, 50)
                  : "Full Name:___________________________________________");

    const int y2 = y1 + geo.L;
    if (entry) {
        canvas.setFont(10, Regular);
        centred(canvas, y2, cutText("Tiebreaker: " + entry->tiebreaker.text().bytes, 24));
    } else {
        centred(canvas, y2, "Phone #:_____________________ Tiebreaker:_________");
    }

    canvas.setFont(8, Bold | Italic);
    centred(canvas, y2 + 2 * geo.L,
            entry ? "Champion: " + texts.teams.teamName(entry->picks[GameCount]).bytes : "(Circle the champion)");

    canvas.setFont(8, Bold);
    centred(canvas, h - 2 * canvas.textHeight(MeasureText),
            entry ? versionLine(texts.programVersion)
                  : "Do NOT use seed numbers - write out the team name for each game. See back for rules...");

    canvas.setFont(8, Italic);
    centred(canvas, h - canvas.textHeight(MeasureText), PrintPromoLine);

    canvas.setFont(12, Bold | Italic);
    for (int p = 1; p <= RegionCount; ++p) {
        const std::string name = upperCaseAnsi(texts.regionNames[std::size_t(p - 1)]);
        if (name.empty()) continue;
        const int top = p == 1 || p == 3 ? h / 4 : h - h / 4;
        const int left = p <= 2 ? w / 4 : w - w / 4 - canvas.textWidth(name);
        canvas.textOut(left, top, name);
    }
}

void drawPoolSheet(PageCanvas& canvas, const Player* entry, const PoolSheetTexts& texts,
                   const std::function<void(int)>& onColumn)
{
    SheetDrawing drawing{texts.teams};
    if (!canvas.selectFace("Arial")) canvas.selectFace("MS Sans Serif");
    canvas.setFont(BracketFontPoints, Regular);
    for (int r = 1; r <= 6; ++r) {
        drawBracketColumn(canvas, r, Half::Left, entry, drawing);
        drawBracketColumn(canvas, r, Half::Right, entry, drawing);
        if (onColumn) onColumn(r);
    }
    drawSheetTexts(canvas, entry, texts);
}

std::string cutText(std::string text, std::size_t length)
{
    if (text.size() > length) text.resize(length);
    return text;
}

std::string upperCaseAnsi(std::string text)
{
    for (char& ch : text) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 'a' && b <= 'z')
            ch = static_cast<char>(b - 0x20);
        else if (b >= 0xE0 && b <= 0xFE && b != 0xF7)
            ch = static_cast<char>(b - 0x20);
        else if (b == 0x9A || b == 0x9C || b == 0x9E)
            ch = static_cast<char>(b - 0x10);
        else if (b == 0xFF)
            ch = static_cast<char>(0x9F);
    }
    return text;
}

// ---- Running text ------------------------------------------------------------------------

PrinterLineWriter::PrinterLineWriter(PageCanvas& canvas) : m_canvas(canvas) { m_canvas.beginDoc(); }

PrinterLineWriter::~PrinterLineWriter()
{
    try {
        close();
    } catch (...) {
        // Already failing: the first error is the one the user sees.
    }
}

void PrinterLineWriter::write(const std::string& text)
{
    std::string rest = text;
    while (!rest.empty()) {
        const int room = m_canvas.pageWidth() - m_x;
        std::size_t fits = 0;
        if (m_canvas.textWidth(rest) <= room) {
            fits = rest.size();
        } else {
            // The longest beginning that fits; widths grow with every character.
            std::size_t low = 0, high = rest.size() - 1;
            while (low < high) {
                const std::size_t mid = (low + high + 1) / 2;
                if (m_canvas.textWidth(rest.substr(0, mid)) <= room)
                    low = mid;
                else
                    high = mid - 1;
            }
            fits = low;
            // A page narrower than one character still makes progress.
            if (fits == 0 && m_x == 0) fits = 1;
        }
        if (fits > 0) {
            const std::string piece = rest.substr(0, fits);
            m_canvas.textOut(m_x, m_y, piece);
            m_x += m_canvas.textWidth(piece);
            m_lineHeight = std::max(m_lineHeight, m_canvas.textHeight(piece) + 2);
            rest.erase(0, fits);
        }
        if (!rest.empty()) endLine();
    }
}

void PrinterLineWriter::endLine()
{
    const int ended = m_lineHeight;
    m_x = 0;
    m_y += ended > 0 ? ended : m_canvas.textHeight(MeasureText);
    if (m_y > m_canvas.pageHeight() - 2 * ended) {
        m_canvas.newPage();
        m_y = 0;
    }
    m_lineHeight = 0;
}

void PrinterLineWriter::close()
{
    if (m_canvas.printing()) m_canvas.endDoc();
}
