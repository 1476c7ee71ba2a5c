#pragma once
#include <string>
#include <vector>

#include "core/printing/page_canvas.h"

class SettingsFile;

// One line of the rules sheet: the font it is written in and its text (empty: an empty line).
struct RulesLine {
    int points = 10;
    int style = Regular;
    std::string text;
    friend bool operator==(const RulesLine&, const RulesLine&) = default;
};

inline const std::string RulesJobTitle = "Rules for the Hoopfall";
inline const std::string RulesDashedRule(125, '-');

// The lines of one copy, from the settings as they stand now (absent values take the rules
// sheet's own defaults).
std::vector<RulesLine> buildRulesSheet(SettingsFile& store);

// One copy as one print job: opens a line writer, writes the lines, closes it.
void writeRulesSheet(PageCanvas& canvas, const std::vector<RulesLine>& lines);
