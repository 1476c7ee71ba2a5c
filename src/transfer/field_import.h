#pragma once
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "pool/bracket.h"
#include "transfer/import_table.h"

class TPoolSession;

// The field from a spreadsheet: a header line naming "Region", "Seed", "Team", "Wins" and
// "Losses", then the 64 teams. The regions take their places in the bracket in the order they
// first appear (the first two meet in one semi-final, the last two in the other). Names are cut
// to 12 characters and records to 2, as the Options dialog cuts them.
struct TFieldImport {
    std::string fileError;                   // nothing could be read
    std::vector<TransferProblem> problems;   // any problem keeps the whole field out
    std::array<std::string, 4> regionNames;  // by bracket position
    TTeamTable teams;
    bool ok() const { return fileError.empty() && problems.empty(); }
};

TFieldImport readFieldImport(std::string_view bytes);
TFieldImport readFieldImportFile(const std::string& path);

// Writes the field as the Options dialog's OK does: the team table and TEAMS.HFD, then
// REGIONS.HFD. When the team file cannot be written the table is left as it was; a failure
// throws a HoopError.
void storeImportedField(TPoolSession& session, const TFieldImport& field);
