#include "core/transfer/picks_import.h"

#include <optional>
#include <unordered_set>

#include "core/pool/cp1252.h"
#include "core/pool/errors.h"
#include "core/pool/file_io.h"
#include "core/pool/sheet_picks.h"
#include "core/session/pool_session.h"
#include "core/transfer/team_names.h"

namespace {
enum Column : std::size_t { NameColumn, TiebreakerColumn, PaidColumn, FirstGameColumn };

std::vector<ColumnRule> picksColumns()
{
    std::vector<ColumnRule> columns{{PicksNameColumn, true}, {PicksTiebreakerColumn, false}, {PicksPaidColumn, false}};
    for (int game = 1; game <= GameCount; ++game) columns.push_back({gameColumnName(game), true});
    return columns;
}

// Yes/No/1/0 or empty (not paid); nothing for anything else.
std::optional<std::uint8_t> paidValue(std::string_view cell)
{
    std::string value;
    appendCp1252Lower(value, trimBlanks(cell));
    if (value.empty() || value == "no" || value == "0") return 0;
    if (value == "yes" || value == "1") return 1;
    return std::nullopt;
}

// Reads one line into entry; the reason it is refused otherwise.
std::optional<TransferProblem> readLine(const ImportTable& table, const TeamNames& names,
                                        const std::unordered_set<std::string>* taken, SheetPicks& picks, Player& entry)
{
    const auto refuse = [&table](std::size_t column, std::string reason) {
        return TransferProblem{table.line(), table.columnName(column), CodePageText{std::move(reason)}};
    };
    const std::string name = table.textCell(NameColumn);
    if (trimBlanks(name).empty()) return refuse(NameColumn, "the name is not filled in");
    // Longer text than the sheet holds is refused, not cut: a cut name may be someone else's.
    if (name.size() > sizeof entry.name.chars)
        return refuse(NameColumn, quotedValue(name) + " is longer than the 25 characters a name can have");
    entry.name = name;
    if (taken && taken->count(entry.name.text().bytes))
        return refuse(NameColumn, quotedValue(name) + " is already in the pool");
    const std::string tiebreaker = table.textCell(TiebreakerColumn);
    if (tiebreaker.size() > sizeof entry.tiebreaker.chars)
        return refuse(TiebreakerColumn,
                      quotedValue(tiebreaker) + " is longer than the 12 characters a tiebreaker can have");
    entry.tiebreaker = tiebreaker;
    const std::optional<std::uint8_t> paid = paidValue(table.cell(PaidColumn));
    if (!paid) return refuse(PaidColumn, quotedValue(table.cell(PaidColumn)) + " is not Yes, No, 1 or 0");
    entry.paid = *paid;

    // Game by game, as the sheet checks before saving: each winner against the two teams its
    // game is played between by this line's earlier picks.
    picks.clear();
    entry.complete = 1;
    std::vector<TeamCode> shared;
    for (int game = 1; game <= GameCount; ++game) {
        const std::size_t column = FirstGameColumn + std::size_t(game - 1);
        const std::string_view cell = trimBlanks(table.cell(column));
        const std::string_view text = table.sheetTextView(column);
        const GamePair pair = picks.teams(game);
        TeamCode team = names.isNameOf(text, pair.a) ? pair.a : names.isNameOf(text, pair.b) ? pair.b : 0;
        shared.clear();
        switch (team ? TeamNames::Match::Found : names.find(text, team, &shared)) {
        case TeamNames::Match::Unknown: return refuse(column, quotedValue(cell) + " is not a team of the field");
        case TeamNames::Match::Ambiguous: {
            std::string reason = quotedValue(cell) + " names more than one team (";
            for (std::size_t k = 0; k < shared.size(); ++k) reason += (k ? ", " : "") + names.regionSeedText(shared[k]);
            return refuse(column, reason + "); give region and seed instead");
        }
        case TeamNames::Match::Found: break;
        }
        picks.setWinner(game, team);
        if (picks.check(game) == SheetPicks::PickState::Stray)
            return refuse(column, quotedValue(cell) + " is not one of the game's two teams");
        if (team == 0) entry.complete = 0;
    }
    entry.picks = picks.picks();
    return std::nullopt;
}
}  // namespace

std::string gameColumnName(int game) { return "Game " + std::to_string(game); }

PicksImport readPicksImport(std::string_view bytes, const TeamNames& names, const PlayerList* pool)
{
    MemorySource source(bytes);
    return readPicksImport(source, names, pool);
}

PicksImport readPicksImport(ByteSource& source, const TeamNames& names, const PlayerList* pool)
{
    PicksImport result;
    ImportTable table(source, picksColumns());
    std::unordered_set<std::string> taken;
    if (pool)
        for (int i = 0; i < pool->count(); ++i)
            if ((*pool)[i].id != ResultsId) taken.insert((*pool)[i].name.text().bytes);

    SheetPicks picks;
    std::optional<TransferProblem> problem;
    while (table.next(problem)) {
        Player entry;
        if (!problem) problem = readLine(table, names, pool ? &taken : nullptr, picks, entry);
        if (problem) {
            result.refused.add(std::move(*problem));
            continue;
        }
        if (!entry.complete) ++result.incomplete;
        result.entries.push_back(entry);
    }
    return result;
}

PicksImport readPicksImportFile(const PoolSession& session, const std::string& path)
{
    FileSource source;
    source.open(path);
    const TeamNames names(session.teams(), session.regionNames());
    return readPicksImport(source, names, &session.players());
}

int storeImportedPicks(PoolSession& session, const PicksImport& import)
{
    PlayerList& players = session.players();
    int stored = 0;
    try {
        PlayerList::Batch batch(players);
        for (const Player& entry : import.entries) {
            Player record = entry;
            record.id = session.newPlayerId();
            players.storeEntry(record, true);
            ++stored;
        }
        batch.finish();
    } catch (const std::exception& error) {
        players.updatePlayerCount();
        throw HoopError(std::string(error.what()) + ". " + std::to_string(stored) + " of the " +
                        std::to_string(import.entries.size()) + " participants were imported before the error.");
    }
    players.updatePlayerCount();
    return stored;
}
