#pragma once
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/pool/bracket.h"
#include "core/transfer/import_table.h"

class PlayerList;
class PoolSession;

// The field from a spreadsheet: a header line naming "Region", "Seed", "Team", "Wins" and
// "Losses", then the 64 teams. The regions take their places in the bracket in the order they
// first appear (the first two meet in one semi-final, the last two in the other). Every row is
// checked: a team needs a name that the code page can hold and that no other team has, as a
// person reads it (nameKey), and wins and losses are whole numbers from 0 to 99 (empty is 0, as
// the Options dialog writes it). The team file keeps 12 characters of a name: a longer one is
// kept as its first 12, noted in cutNames, and refused when another team's kept name is the same.
struct FieldImport {
    TransferProblems problems;               // any problem keeps the whole field out
    std::vector<TransferProblem> cutNames;   // ""North Carolina" is kept as "North Caroli"", by line
    std::array<std::string, 4> regionNames;  // by bracket position
    TeamTable teams;
    bool ok() const { return problems.empty(); }
};

// A file that cannot be read as a table, or only part-way, or opened, throws a HoopError.
FieldImport readFieldImport(std::string_view bytes);
FieldImport readFieldImport(ByteSource& source);
FieldImport readFieldImportFile(const std::string& path);

// What a new field does to the picks the pool holds. Picks name teams by their place in the
// bracket, so a team that moves takes every pick of it along only when the picks are moved too.
// Teams are the same when their names are (case and surrounding blanks aside).
struct FieldChange {
    struct Move {
        CodePageText name;  // the team, as the pool has it
        TeamCode from = 0;
        TeamCode to = 0;  // 0: it left the field
        int sheets = 0;   // the sheets (participants and the results) that pick it
    };
    std::vector<Move> moves;  // every team of the pool that moves or leaves, by its old place
    // Sheets that hold a pick, and of those the ones the move changes; whether the results do.
    int sheetsWithPicks = 0;
    int sheetsChanged = 0;
    bool resultsChanged = false;
    // Sheets whose picks can not follow their teams: a picked team left the field, or the new
    // bracket makes two picked teams meet where they did not.
    int sheetsStranded = 0;
    CodePageText firstStranded;  // the name of one of them

    // The field may replace the old one as it stands: no sheet holds a pick, or nothing moves.
    bool plain() const { return sheetsWithPicks == 0 || moves.empty(); }
    // The picks can be moved with their teams.
    bool canRemap() const { return sheetsStranded == 0; }
};
// The pool's teams and sheets against the new field.
FieldChange compareField(const TeamTable& teams, const PlayerList& players, const FieldImport& field);
FieldChange compareField(const PoolSession& session, const FieldImport& field);

// One line per moved team: ""Duke" moves from East 1 (upper left) to South 1 (upper right)",
// or ""Duke" at East 1 (upper left) is replaced: ..." with how many sheets pick it. oldRegions
// and newRegions name the places.
std::vector<CodePageText> moveLines(const FieldChange& change, const std::array<std::string, 4>& oldRegions,
                                    const std::array<std::string, 4>& newRegions);
// Why the picks can not follow their teams, as a message (UTF-8); empty when they can.
std::string strandedText(const FieldChange& change);

// Writes the field as the Options dialog's OK does: the team table and TEAMS.HFD, then
// REGIONS.HFD. When the team file cannot be written the table is left as it was; a failure
// throws a HoopError. remap: first move every pick and result with its team, in one batch
// through the journal (the change must allow it); a refused write changes nothing.
void storeImportedField(PoolSession& session, const FieldImport& field, bool remap = false);
