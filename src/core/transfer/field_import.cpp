#include "core/transfer/field_import.h"

#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "core/pool/cp1252.h"
#include "core/pool/errors.h"
#include "core/pool/players.h"
#include "core/session/pool_session.h"
#include "core/transfer/name_keys.h"

namespace {
enum Column : std::size_t { RegionColumn, SeedColumn, TeamColumn, WinsColumn, LossesColumn };

constexpr std::size_t TeamNameWidth = 12;

// Names as compared: as a person reads them.
std::string folded(std::string_view text) { return nameKey(text); }

// A whole number from 0 to limit with nothing else beside blanks; nothing otherwise.
std::optional<int> wholeNumber(std::string_view cell, int limit)
{
    const std::string_view text = trimBlanks(cell);
    if (text.empty() || text.size() > 3) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > limit) return std::nullopt;
    return value;
}

// A whole number 1..16 with nothing else beside blanks; 0 otherwise.
int seedValue(std::string_view cell) { return wholeNumber(cell, SeedCount).value_or(0); }

std::size_t indexOf(TeamCode code) { return std::size_t((regionOfCode(code) - 1) * SeedCount + seedOfCode(code) - 1); }
TeamCode codeOf(std::size_t index)
{
    return makeTeamCode(std::uint8_t(index / SeedCount + 1), std::uint8_t(index % SeedCount + 1));
}

// "East 1 (upper left)": the region's name alone does not tell where it is when the regions
// change places.
std::string placeText(const std::array<std::string, 4>& regions, TeamCode code)
{
    static const char* const Corners[RegionCount] = {"upper left", "lower left", "upper right", "lower right"};
    const int region = regionOfCode(code);
    return regions[std::size_t(region - 1)] + " " + std::to_string(seedOfCode(code)) + " (" + Corners[region - 1] + ")";
}

// Where each of the pool's teams is in the new field: its new code, 0 when it left; a place the
// pool has no name for keeps its code, as there is no team to follow.
using CodeMap = std::array<TeamCode, RegionCount * SeedCount>;

// Rebuilds a sheet's picks on the new bracket: game by game, the winner is the one of the game's
// two teams that the sheet had win a game of that round. False when a pick can not follow its
// team (it left, or two picked winners of a round now meet in it).
bool movedPicks(const PickArray& picks, const CodeMap& map, PickArray& moved)
{
    // For each new place, the rounds its team was picked to win (bit r).
    std::array<unsigned, RegionCount * SeedCount> won{};
    int count = 0;
    for (int g = 1; g <= GameCount; ++g) {
        const TeamCode pick = picks[std::size_t(g)];
        if (pick == 0) continue;
        if (!isValidTeamCode(pick)) return false;
        const TeamCode to = map[indexOf(pick)];
        if (to == 0) return false;
        won[indexOf(to)] |= 1u << roundOfGame(g);
        ++count;
    }
    moved.fill(0);
    int placed = 0;
    for (int g = 1; g <= GameCount; ++g) {
        const GamePair pair = teamsOfGame(moved, g);
        const unsigned round = 1u << roundOfGame(g);
        const bool a = pair.a != 0 && (won[indexOf(pair.a)] & round);
        const bool b = pair.b != 0 && (won[indexOf(pair.b)] & round);
        if (a && b) return false;
        if (!a && !b) continue;
        moved[std::size_t(g)] = a ? pair.a : pair.b;
        ++placed;
    }
    return placed == count;  // every pick found its game again
}

CodeMap codeMap(const TeamTable& teams, const TeamTable& field)
{
    std::unordered_map<std::string, TeamCode> byName;
    for (std::size_t k = 0; k < std::size_t(RegionCount * SeedCount); ++k)
        byName.emplace(folded(field.nameView(codeOf(k))), codeOf(k));
    CodeMap map{};
    for (std::size_t k = 0; k < map.size(); ++k) {
        const std::string name = folded(teams.nameView(codeOf(k)));
        if (name.empty()) {
            map[k] = codeOf(k);
            continue;
        }
        const auto it = byName.find(name);
        map[k] = it == byName.end() ? 0 : it->second;
    }
    return map;
}

bool holdsPicks(const Player& entry)
{
    for (int g = 1; g <= GameCount; ++g)
        if (entry.picks[std::size_t(g)] != 0) return true;
    return false;
}
}  // namespace

FieldImport readFieldImport(std::string_view bytes)
{
    MemorySource source(bytes);
    return readFieldImport(source);
}

FieldImport readFieldImport(ByteSource& source)
{
    FieldImport field;
    ImportTable table(source, {{"Region", true}, {"Seed", true}, {"Team", true}, {"Wins", false}, {"Losses", false}});
    std::array<std::string, 4> folds;
    int regions = 0;
    int seen[RegionCount][SeedCount] = {};       // the line that gave each team
    std::unordered_map<std::string, int> names;  // the line of each team's name, folded
    std::unordered_set<int> cutLines;            // the lines of the names that were cut
    std::optional<TransferProblem> problem;
    while (table.next(problem)) {
        const auto refuse = [&](std::size_t column, std::string reason) {
            field.problems.add({table.line(), table.columnName(column), CodePageText{std::move(reason)}});
        };
        if (problem) {
            field.problems.add(std::move(*problem));
            continue;
        }
        const std::string name(trimName(table.textCell(RegionColumn)));
        if (name.empty()) {
            refuse(RegionColumn, "the region is not filled in");
            continue;
        }
        if (holdsMissing(name)) {
            refuse(RegionColumn, notInCodePageText(name));
            continue;
        }
        const std::string key = folded(name);
        int position = 0;
        while (position < regions && folds[std::size_t(position)] != key) ++position;
        if (position == regions) {
            if (regions == RegionCount) {
                refuse(RegionColumn, quotedCell(name) + " would be a fifth region; the bracket has four");
                continue;
            }
            folds[std::size_t(regions)] = key;
            field.regionNames[std::size_t(regions)] = name;
            ++regions;
        }
        const int seed = seedValue(table.cell(SeedColumn));
        if (seed == 0) {
            refuse(SeedColumn, quotedCell(table.cell(SeedColumn)) + " is not a seed from 1 to 16");
            continue;
        }
        int& line = seen[position][seed - 1];
        if (line) {
            refuse(SeedColumn, field.regionNames[std::size_t(position)] + " " + std::to_string(seed) +
                                   " is already on line " + std::to_string(line));
            continue;
        }
        // The team: picks follow it by its name, so it must have one that no other team has, as the
        // team file keeps it.
        const std::string full(trimName(table.textCell(TeamColumn)));
        if (full.empty()) {
            refuse(TeamColumn, "the team's name is not filled in");
            continue;
        }
        if (holdsMissing(full)) {
            refuse(TeamColumn, notInCodePageText(full));
            continue;
        }
        // The team file keeps 12 characters: a longer name is kept as its start, by which the
        // picks import still finds the full name, as long as no other team starts the same.
        const bool cut = full.size() > TeamNameWidth;
        const std::string team = cut ? full.substr(0, TeamNameWidth) : full;
        const auto [same, added] = names.emplace(folded(team), table.line());
        if (!added) {
            refuse(TeamColumn, quotedCell(full) + (cut || cutLines.count(same->second)
                                                       ? " and the team on line " + std::to_string(same->second) +
                                                             " both keep the name " + quotedCell(trimName(team)) +
                                                             " in the 12 characters a team's name can have"
                                                       : " is already on line " + std::to_string(same->second)));
            continue;
        }
        int record[2] = {};
        bool recordOk = true;
        for (const std::size_t column : {WinsColumn, LossesColumn}) {
            const std::string_view cell = trimBlanks(table.cell(column));
            const std::optional<int> value = cell.empty() ? 0 : wholeNumber(cell, 99);
            if (!value) {
                refuse(column, quotedCell(cell) + " is not a whole number from 0 to 99");
                recordOk = false;
                break;
            }
            record[column == WinsColumn ? 0 : 1] = *value;
        }
        if (!recordOk) {
            names.erase(folded(team));
            continue;
        }
        line = table.line();
        if (cut) {
            cutLines.insert(table.line());
            field.cutNames.push_back({table.line(), table.columnName(TeamColumn),
                                      CodePageText{quotedCell(full) + " is kept as " + quotedCell(team)}});
        }
        Team& entry = field.teams.entry(position + 1, seed);
        entry.region = std::uint8_t(position + 1);
        entry.seed = std::uint8_t(seed);
        entry.name = team;
        // As typed when it fits ("07" stays), else the number itself ("007" is 7); empty stays
        // empty and is written as "00".
        for (const std::size_t column : {WinsColumn, LossesColumn}) {
            const std::string_view cell = trimBlanks(table.cell(column));
            const std::string text =
                cell.size() <= 2 ? std::string(cell) : std::to_string(record[column == WinsColumn ? 0 : 1]);
            (column == WinsColumn ? entry.wins : entry.losses) = text;
        }
    }
    if (regions < RegionCount)
        field.problems.add({0,
                            {},
                            CodePageText{"The file names " + std::to_string(regions) +
                                         (regions == 1 ? " region" : " regions") + "; the bracket has four."}});
    for (int r = 0; r < regions; ++r) {
        std::string missing;
        for (int s = 1; s <= SeedCount; ++s)
            if (!seen[r][s - 1]) missing += (missing.empty() ? "" : ", ") + std::to_string(s);
        if (!missing.empty())
            field.problems.add({0,
                                {},
                                CodePageText{"The region " + quotedValue(field.regionNames[std::size_t(r)]) +
                                             " has no team for seed " + missing + "."}});
    }
    return field;
}

FieldImport readFieldImportFile(const std::string& path)
{
    FileSource source;
    source.open(path);
    return readFieldImport(source);
}

FieldChange compareField(const TeamTable& teams, const PlayerList& players, const FieldImport& field)
{
    FieldChange change;
    const CodeMap map = codeMap(teams, field.teams);
    std::array<int, RegionCount * SeedCount> pickedBy{};  // sheets that pick each old place
    for (int i = 0; i < players.count(); ++i) {
        const Player& entry = players[i];
        if (!holdsPicks(entry)) continue;
        ++change.sheetsWithPicks;
        std::array<bool, RegionCount * SeedCount> picked{};
        bool changed = false;
        for (int g = 1; g <= GameCount; ++g) {
            const TeamCode pick = entry.picks[std::size_t(g)];
            if (!isValidTeamCode(pick)) continue;
            picked[indexOf(pick)] = true;
            changed = changed || map[indexOf(pick)] != pick;
        }
        for (std::size_t k = 0; k < picked.size(); ++k) pickedBy[k] += picked[k] ? 1 : 0;
        if (!changed) continue;
        ++change.sheetsChanged;
        if (entry.id == ResultsId) change.resultsChanged = true;
        PickArray moved{};
        if (!movedPicks(entry.picks, map, moved)) {
            if (change.sheetsStranded++ == 0) change.firstStranded = entry.name.text();
        }
    }
    for (std::size_t k = 0; k < map.size(); ++k)
        if (map[k] != codeOf(k)) change.moves.push_back({teams.teamName(codeOf(k)), codeOf(k), map[k], pickedBy[k]});
    return change;
}

FieldChange compareField(const PoolSession& session, const FieldImport& field)
{
    return compareField(session.teams(), session.players(), field);
}

std::vector<CodePageText> moveLines(const FieldChange& change, const std::array<std::string, 4>& oldRegions,
                                    const std::array<std::string, 4>& newRegions)
{
    std::vector<CodePageText> lines;
    for (const FieldChange::Move& move : change.moves) {
        std::string line = quotedValue(move.name.bytes);
        if (move.to != 0) {
            line += " moves from " + placeText(oldRegions, move.from) + " to " + placeText(newRegions, move.to);
        } else {
            line += " at " + placeText(oldRegions, move.from) + " is replaced: no team of the new field has its name";
            if (move.sheets > 0)
                line += "; " + std::to_string(move.sheets) + (move.sheets == 1 ? " sheet picks it" : " sheets pick it");
        }
        lines.push_back({line});
    }
    return lines;
}

std::string strandedText(const FieldChange& change)
{
    if (change.canRemap()) return {};
    return "The picks of " + std::to_string(change.sheetsStranded) +
           (change.sheetsStranded == 1 ? " sheet" : " sheets") + " (" +
           toUtf8({quotedValue(change.firstStranded.bytes)}) + (change.sheetsStranded > 1 ? " and others" : "") +
           ") can not follow their teams: a team they pick leaves the field, or the new bracket has two of their "
           "winners meet where they did not.";
}

void storeImportedField(PoolSession& session, const FieldImport& field, bool remap)
{
    TeamTable& table = session.teams();
    PlayerList& players = session.players();
    // The listeners hear of it all once, at the end, when the new names are in place.
    PoolEvents::Hold changes(&session.events());
    // The sheets as they were and as they become; those stored are put back when a later step fails.
    std::vector<Player> before;
    std::vector<Player> moved;
    if (remap) {
        const CodeMap map = codeMap(table, field.teams);
        for (int i = 0; i < players.count(); ++i) {
            const Player& entry = players[i];
            PickArray picks{};
            if (!holdsPicks(entry)) continue;
            if (!movedPicks(entry.picks, map, picks)) throw HoopError(strandedText(compareField(session, field)));
            if (picks == entry.picks) continue;
            before.push_back(entry);
            moved.push_back(entry);
            moved.back().picks = picks;
        }
    }
    std::size_t stored = 0;
    const auto putBack = [&] {
        try {
            PlayerList::Batch batch(players);
            for (std::size_t k = 0; k < stored; ++k) players.storeEntry(before[k], true);
            batch.finish();
        } catch (const std::exception&) {
            // The error that brought us here is the one to report.
        }
    };
    if (!moved.empty()) {
        try {
            PlayerList::Batch batch(players);
            for (const Player& entry : moved) {
                players.storeEntry(entry, true);
                ++stored;
            }
            batch.finish();
        } catch (...) {
            putBack();
            throw;
        }
    }
    const TeamTable old = table;
    table = field.teams;
    try {
        session.saveTeams();
    } catch (...) {
        table = old;  // the pool goes on with the field it has on disk
        putBack();
        throw;
    }
    session.optionsChanged();
    session.saveRegions(field.regionNames);
    changes.release();
}
