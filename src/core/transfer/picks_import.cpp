#include "core/transfer/picks_import.h"

#include <optional>

#include "core/pool/cp1252.h"
#include "core/pool/errors.h"
#include "core/pool/file_io.h"
#include "core/pool/sheet_picks.h"
#include "core/session/pool_session.h"
#include "core/transfer/entry_page.h"
#include "core/transfer/team_names.h"

namespace {
enum Column : std::size_t { NameColumn, TiebreakerColumn, PaidColumn, FirstGameColumn };
constexpr std::size_t FieldColumn = FirstGameColumn + GameCount;

std::vector<ColumnRule> picksColumns()
{
    std::vector<ColumnRule> columns{{PicksNameColumn, true}, {PicksTiebreakerColumn, false}, {PicksPaidColumn, false}};
    for (int game = 1; game <= GameCount; ++game) columns.push_back({gameColumnName(game), true});
    columns.push_back({PicksFieldColumn, false});
    return columns;
}

// A line saved from an entry page names the field the page was made for; its picks name teams
// by their places in that field, so a page of another field or year cannot be taken.
std::optional<TransferProblem> fieldProblem(const ImportTable& table, const TeamNames& names)
{
    const std::string_view field = trimBlanks(table.cell(FieldColumn));
    if (field.empty() || field == names.fingerprint()) return std::nullopt;
    return TransferProblem{table.line(), PicksFieldColumn,
                           CodePageText{"the picks were saved from an entry page made for another field or year (" +
                                        quotedValue(field) + "; this pool's field is \"" + names.fingerprint() +
                                        "\"): make a new entry page and send it to the participant"}};
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
std::optional<TransferProblem> readLine(const ImportTable& table, const TeamNames& names, SheetPicks& picks,
                                        Player& entry)
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

// Whether a line read is a participant known already. A line refused for a fault of its own is
// refused for its known name instead, unless the name itself is at fault: a known name is the
// first thing a line is checked for after the name.
KnownEntries::Match knownEntry(const KnownEntries& known, const ImportTable& table,
                               const std::optional<TransferProblem>& problem, const Player& entry)
{
    if (!problem) return known.match(entry);
    if (problem->column != PicksNameColumn && known.nameTaken(table.textCell(NameColumn)))
        return KnownEntries::Match::NameTaken;
    return KnownEntries::Match::New;
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
    return readPicksImport(source, names, KnownEntries(pool));
}

PicksImport readPicksImport(ByteSource& source, const TeamNames& names, const KnownEntries& known)
{
    PicksImport result;
    ImportTable table(source, picksColumns());
    SheetPicks picks;
    std::optional<TransferProblem> problem;
    while (table.next(problem)) {
        Player entry;
        if (!problem) problem = fieldProblem(table, names);
        const bool lineRead = !problem;
        if (lineRead) problem = readLine(table, names, picks, entry);
        switch (lineRead ? knownEntry(known, table, problem, entry) : KnownEntries::Match::New) {
        case KnownEntries::Match::AlreadyIn:
            result.alreadyIn.add({table.line(), PicksNameColumn,
                                  CodePageText{quotedValue(entry.name.view()) + " is already in the pool"}});
            continue;
        case KnownEntries::Match::NameTaken:
            problem =
                TransferProblem{table.line(), PicksNameColumn,
                                CodePageText{quotedValue(table.textCell(NameColumn)) + " is already in the pool"}};
            break;
        case KnownEntries::Match::New: break;
        }
        if (problem) {
            result.refused.add(std::move(*problem));
            continue;
        }
        if (!entry.complete) ++result.incomplete;
        result.entries.push_back(entry);
    }
    return result;
}

KnownEntries::KnownEntries(const PlayerList* pool)
{
    if (!pool) return;
    for (int i = 0; i < pool->count(); ++i)
        if ((*pool)[i].id != ResultsId) m_picksByName.emplace((*pool)[i].name.text().bytes, &(*pool)[i].picks);
}

KnownEntries::Match KnownEntries::match(const Player& entry) const
{
    const auto [first, last] = m_picksByName.equal_range(std::string(entry.name.view()));
    if (first == last) return Match::New;
    for (auto it = first; it != last; ++it)
        if (*it->second == entry.picks) return Match::AlreadyIn;
    return Match::NameTaken;
}

void KnownEntries::add(const Player& entry)
{
    m_added.push_back(entry.picks);
    m_picksByName.emplace(std::string(entry.name.view()), &m_added.back());
}

std::vector<PicksFileImport> readPicksImportFiles(const PoolSession& session, const std::vector<std::string>& paths)
{
    const TeamNames names(session.teams(), session.regionNames());
    KnownEntries known(&session.players());
    std::vector<PicksFileImport> files;
    for (const std::string& path : paths) {
        PicksFileImport file{path, {}};
        try {
            FileSource source;
            source.open(path);
            file.import = readPicksImport(source, names, known);
        } catch (const HoopError& error) {
            // Among several files, the message says which one; most already name it.
            const std::string what = error.what();
            throw HoopError(what.find(path) == std::string::npos ? path + ": " + what : what);
        }
        for (const Player& entry : file.import.entries) known.add(entry);
        files.push_back(std::move(file));
    }
    return files;
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
