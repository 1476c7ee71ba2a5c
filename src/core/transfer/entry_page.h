#pragma once
#include <array>
#include <string>
#include <vector>

#include "core/pool/bracket.h"
#include "core/pool/scoring.h"
#include "core/printing/rules_sheet.h"

class PoolSession;

// The entry page: one self-contained web page (its script and style inline, nothing fetched)
// on which a participant picks the 63 winners in any browser and saves them as a file that
// Import Picks reads, in its columns plus "Field", the fingerprint of the field the page was made
// for, so that a page of another field or year is refused at import.

inline constexpr const char* PicksFieldColumn = "Field";
inline constexpr const char* EntryPageDefaultName = "entry-page.htm";

// What the page is made from, as the pool holds it (texts in the storage code page).
struct EntryPageContent {
    TeamTable teams;
    std::array<std::string, 4> regionNames;  // by region position
    ScoringValues scoring;
    std::string tiebreaker;        // the rules sheet's question
    std::vector<RulesLine> rules;  // the rules sheet's lines
};

EntryPageContent entryPageContent(PoolSession& session);

// The page as UTF-8.
std::string entryPageHtml(const EntryPageContent& content);

// Writes the session's page to path, atomically; a failure throws a HoopError.
void makeEntryPageFile(PoolSession& session, const std::string& path);
