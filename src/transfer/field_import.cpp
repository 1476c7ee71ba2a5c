#include "transfer/field_import.h"

#include "pool/cp1252.h"
#include "session/pool_session.h"

namespace {
enum Column : std::size_t { RegionColumn, SeedColumn, TeamColumn, WinsColumn, LossesColumn };

std::string folded(std::string_view text)
{
    std::string out;
    appendCp1252Lower(out, text);
    return out;
}

// A whole number 1..16 with nothing else beside blanks; 0 otherwise.
int seedValue(std::string_view cell)
{
    const std::string_view text = trimBlanks(cell);
    if (text.empty() || text.size() > 2) return 0;
    int seed = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return 0;
        seed = seed * 10 + (c - '0');
    }
    return seed <= SeedCount ? seed : 0;
}
}  // namespace

TFieldImport readFieldImport(std::string_view bytes)
{
    TFieldImport field;
    TImportTable table(bytes, {{"Region", true}, {"Seed", true}, {"Team", true}, {"Wins", false}, {"Losses", false}});
    if (!table.fileError().empty()) {
        field.fileError = table.fileError();
        return field;
    }
    std::array<std::string, 4> folds;
    int regions = 0;
    int seen[RegionCount][SeedCount] = {};  // the line that gave each team
    std::optional<TransferProblem> problem;
    while (table.next(problem)) {
        const auto refuse = [&](std::size_t column, std::string reason) {
            field.problems.push_back({table.line(), table.columnName(column), std::move(reason)});
        };
        if (problem) {
            field.problems.push_back(std::move(*problem));
            continue;
        }
        const std::string name(trimBlanks(table.textCell(RegionColumn)));
        if (name.empty()) {
            refuse(RegionColumn, "the region is not filled in");
            continue;
        }
        const std::string key = folded(name);
        int position = 0;
        while (position < regions && folds[std::size_t(position)] != key) ++position;
        if (position == regions) {
            if (regions == RegionCount) {
                refuse(RegionColumn, quotedValue(name) + " would be a fifth region; the bracket has four");
                continue;
            }
            folds[std::size_t(regions)] = key;
            field.regionNames[std::size_t(regions)] = name;
            ++regions;
        }
        const int seed = seedValue(table.cell(SeedColumn));
        if (seed == 0) {
            refuse(SeedColumn, quotedValue(table.cell(SeedColumn)) + " is not a seed from 1 to 16");
            continue;
        }
        int& line = seen[position][seed - 1];
        if (line) {
            refuse(SeedColumn, field.regionNames[std::size_t(position)] + " " + std::to_string(seed) +
                                   " is already on line " + std::to_string(line));
            continue;
        }
        line = table.line();
        TTeam& team = field.teams.entry(position + 1, seed);
        team.region = std::uint8_t(position + 1);
        team.seed = std::uint8_t(seed);
        team.name = trimBlanks(table.textCell(TeamColumn));
        team.wins = trimBlanks(table.textCell(WinsColumn));
        team.losses = trimBlanks(table.textCell(LossesColumn));
    }
    if (regions < RegionCount)
        field.problems.push_back({0, {}, "The file names " + std::to_string(regions) + (regions == 1 ? " region" : " regions") +
                                             "; the bracket has four."});
    for (int r = 0; r < regions; ++r) {
        std::string missing;
        for (int s = 1; s <= SeedCount; ++s)
            if (!seen[r][s - 1]) missing += (missing.empty() ? "" : ", ") + std::to_string(s);
        if (!missing.empty())
            field.problems.push_back({0, {}, "The region " + quotedValue(field.regionNames[std::size_t(r)]) +
                                                 " has no team for seed " + missing + "."});
    }
    return field;
}

TFieldImport readFieldImportFile(const std::string& path)
{
    std::string bytes;
    TFieldImport field;
    if (!readImportFile(path, bytes, field.fileError)) return field;
    return readFieldImport(bytes);
}

void storeImportedField(TPoolSession& session, const TFieldImport& field)
{
    TTeamTable& table = session.teams();
    const TTeamTable before = table;
    table = field.teams;
    try {
        session.SaveTeams();
    } catch (...) {
        table = before;  // the pool goes on with the field it has on disk
        throw;
    }
    session.saveRegions(field.regionNames);
}
