#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "core/pool/bracket.h"
#include "core/printing/page_canvas.h"

struct Player;

enum class Half { Left, Right };

// The derived measures of the pool sheet, from the page size and the current font.
struct SheetGeometry {
    int u = 0;  // row unit: distance between neighbouring first-column lines
    int c = 0;  // column width
    int g = 0;  // text lift above its line, and inset of a pick from the line's outer end
    int L = 0;  // line step of the heading lines
    int t = 0;  // y of the first heading line
};
SheetGeometry measureSheet(const PageCanvas& canvas);

// Top seed of bracket j (1..8) of a region; the bottom line shows 17 minus it.
int topSeed(int j);

// One copy being drawn: the teams it names, and the game whose pick is printed next (1..62 in
// use), which every pick line takes in turn.
struct SheetDrawing {
    const TeamTable& teams;
    int pickIndex = 1;
};

// What the sheet's texts need beside the entry.
struct PoolSheetTexts {
    const TeamTable& teams;
    std::array<std::string, 4> regionNames;  // by region position
    std::string programVersion;              // may be empty
};

std::string formatTeamLabel(const TeamTable& teams, int p, int s);
void drawTeamLabel(PageCanvas& canvas, const TeamTable& teams, int x, int y, int p, int s);
void drawPickText(PageCanvas& canvas, int x, int y, Half half, const Player& entry, const SheetDrawing& drawing);
// Column r (1..6) of one half; picks only with an entry. Expects the 8-point regular font.
void drawBracketColumn(PageCanvas& canvas, int r, Half half, const Player* entry, SheetDrawing& drawing);
// Headings, footer lines and region names; leaves 12-point bold italic selected.
void drawSheetTexts(PageCanvas& canvas, const Player* entry, const PoolSheetTexts& texts);

// The version line of a participant's sheet.
std::string versionLine(const std::string& programVersion);

// One copy of the pool sheet on the open job: the face, the twelve columns (onColumn(r) after
// both halves of column r) and the texts.
void drawPoolSheet(PageCanvas& canvas, const Player* entry, const PoolSheetTexts& texts,
                   const std::function<void(int)>& onColumn = {});

// The text cut to at most length bytes.
std::string cutText(std::string text, std::size_t length);

// Upper case in the Windows-1252 code page.
std::string upperCaseAnsi(std::string text);

// Running text from the top of the page, line by line, cut at a character where a line is too
// wide, with a new page where the text reaches the bottom. Opening begins the job.
class PrinterLineWriter {
public:
    explicit PrinterLineWriter(PageCanvas& canvas);
    ~PrinterLineWriter();  // ends a job still open, so a failure never leaves one behind
    PrinterLineWriter(const PrinterLineWriter&) = delete;
    PrinterLineWriter& operator=(const PrinterLineWriter&) = delete;

    void write(const std::string& text);
    void writeLine(const std::string& text)
    {
        write(text);
        endLine();
    }
    void endLine();
    void close();

    int x() const { return m_x; }
    int y() const { return m_y; }

private:
    PageCanvas& m_canvas;
    int m_x = 0;
    int m_y = 0;
    int m_lineHeight = 0;  // 0 while nothing was written on the line
};
