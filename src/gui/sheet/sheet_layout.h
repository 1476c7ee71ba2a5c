#pragma once
#include <array>

// Where everything on a bracket sheet stands, in pixels at 96 dpi from the top left of the sheet
// (the name panel's own controls from the top left of the panel). Kept as data so the paper
// bracket can be checked against one table and is applied in one place.
namespace sheet_layout {

struct Rect {
    int x, y, w, h;
};

enum class Look {
    TeamLabel,  // black 8-point sans serif
    GameCell,   // black 8-point sans serif
    BoldLabel,  // bold 8-point Tahoma
    Region,     // centred bold italic 12-point Arial
    Entry,      // bold red 8-point Tahoma
    Note,       // red 8-point Tahoma, centred and wrapped
    Panel,      // sunken frame
};

// Team labels: x by region position, tops in the fixed seed order (1, 16, 8, 9, ...).
constexpr int TeamLabelWidth = 73;
constexpr int TeamLabelHeight = 14;
constexpr std::array<int, 4> TeamLabelX = {8, 8, 706, 706};
constexpr int TeamLabelTops[4][16] = {
    {8, 24, 42, 58, 83, 99, 123, 139, 163, 179, 203, 219, 243, 259, 283, 299},
    {342, 358, 382, 398, 422, 438, 462, 478, 502, 518, 542, 558, 582, 598, 622, 638},
    {8, 24, 42, 58, 80, 96, 120, 136, 160, 176, 200, 216, 240, 256, 280, 296},
    {337, 353, 377, 393, 417, 433, 457, 473, 497, 513, 537, 553, 577, 593, 617, 633},
};

// Game cells g1..g63 (index 0 is game 1): left and top.
constexpr int CellWidth = 81;
constexpr int CellHeight = 17;
struct Point {
    int x, y;
};
constexpr std::array<Point, 63> CellPlaces = {{
    // games 1 to 16: the left-hand first round
    {88, 16},
    {88, 50},
    {88, 88},
    {88, 128},
    {88, 171},
    {88, 211},
    {88, 251},
    {88, 291},
    {88, 350},
    {88, 390},
    {88, 430},
    {88, 470},
    {88, 510},
    {88, 550},
    {88, 590},
    {88, 630},
    // games 17 to 32: the right-hand first round
    {624, 16},
    {624, 50},
    {624, 88},
    {624, 128},
    {624, 168},
    {624, 208},
    {624, 248},
    {624, 288},
    {624, 347},
    {624, 387},
    {624, 427},
    {624, 467},
    {624, 507},
    {624, 547},
    {624, 587},
    {624, 627},
    // games 33 to 48: second round
    {168, 32},
    {168, 110},
    {168, 187},
    {168, 267},
    {168, 366},
    {168, 446},
    {168, 526},
    {168, 606},
    {544, 32},
    {544, 110},
    {544, 192},
    {544, 272},
    {544, 363},
    {544, 443},
    {544, 523},
    {544, 603},
    // games 49 to 56: regional semi-finals
    {232, 72},
    {232, 227},
    {232, 406},
    {232, 566},
    {480, 72},
    {480, 227},
    {480, 403},
    {480, 563},
    // games 57 to 60: regional finals
    {272, 147},
    {272, 486},
    {432, 147},
    {432, 486},
    // games 61 and 62: national semi-finals; 63: the championship
    {296, 299},
    {408, 299},
    {352, 395},
}};

// The other controls, by object name; the five after "pnlName" stand inside the panel.
struct Place {
    const char* name;
    Rect rect;
    Look look;
};
constexpr std::array<Place, 13> Places = {{
    {"lblChampion", {352, 379, 81, 14}, Look::BoldLabel},
    {"lblRegion1", {176, 147, 89, 19}, Look::Region},
    {"lblRegion2", {176, 483, 89, 19}, Look::Region},
    {"lblRegion3", {520, 147, 97, 19}, Look::Region},
    {"lblRegion4", {520, 483, 97, 19}, Look::Region},
    {"pnlName", {272, 8, 249, 57}, Look::Panel},
    {"lblName", {32, 8, 49, 14}, Look::BoldLabel},
    {"txtName", {88, 8, 152, 17}, Look::Entry},
    {"lblTiebreaker", {16, 32, 65, 14}, Look::BoldLabel},
    {"txtTiebreaker", {88, 32, 97, 17}, Look::Entry},
    // The caption needs a little more room than the indicator leaves it; the box itself stays.
    {"chkPaid", {188, 32, 53, 17}, Look::BoldLabel},
    {"lblDir", {320, 91, 153, 49}, Look::Note},
    {"lblTab", {320, 523, 153, 44}, Look::Note},
}};

// The etched connector lines of the middle of the bracket.
struct Line {
    int x, y, length;
    bool vertical;
};
constexpr std::array<Line, 14> Lines = {{
    {304, 91, 49, true},
    {304, 171, 49, true},
    {304, 433, 49, true},
    {304, 513, 49, true},
    {480, 91, 49, true},
    {480, 171, 49, true},
    {480, 433, 49, true},
    {480, 513, 49, true},
    {336, 169, 123, true},
    {336, 323, 153, true},
    {440, 169, 123, true},
    {440, 323, 153, true},
    {392, 323, 49, true},
    {381, 307, 25, false},
}};

constexpr int DefaultWidth = 800;
constexpr int DefaultHeight = 600;

}  // namespace sheet_layout
