#include "core/transfer/picks_import.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "core/pool/cp1252.h"
#include "core/pool/errors.h"
#include "core/pool/file_io.h"
#include "core/pool/sheet_picks.h"
#include "core/session/pool_session.h"
#include "core/transfer/entry_page.h"
#include "core/transfer/name_keys.h"
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

// Yes/No/1/0, TRUE/FALSE (a spreadsheet's check box; WAHR/FALSCH where it writes German), x
// for paid, or empty (not paid); nothing for anything else.
std::optional<std::uint8_t> paidValue(std::string_view cell)
{
    std::string value;
    appendCp1252Lower(value, trimName(cell));
    if (value.empty() || value == "no" || value == "0" || value == "false" || value == "falsch") return 0;
    if (value == "yes" || value == "1" || value == "true" || value == "wahr" || value == "x") return 1;
    return std::nullopt;
}

// "; did you mean "Michigan St"?", or nothing when no team's name is near.
std::string suggestion(const TeamNames& names, std::string_view cell)
{
    const std::vector<std::string> near = names.closestNames(cell);
    if (near.empty()) return {};
    std::string text = "; did you mean ";
    for (std::size_t k = 0; k < near.size(); ++k) {
        if (k) text += k + 1 == near.size() ? " or " : ", ";
        text += quotedValue(near[k]);
    }
    return text + "?";
}

// The participants a line may repeat: the known ones, and the lines of the file read so far.
struct NamesSeen {
    const KnownEntries* known = nullptr;
    std::unordered_map<std::string, int> inFile;  // key -> the first line that gave it
    // Whether paid is compared: a file saved from the entry page (one with a Field column) never
    // says whether its participant paid, so its line is the known sheet without it.
    bool comparePaid = true;
};

bool sameSheet(const Player& a, const Player& b, bool comparePaid)
{
    return trimBlanks(a.tiebreaker.view()) == trimBlanks(b.tiebreaker.view()) && (!comparePaid || a.paid == b.paid) &&
           std::equal(a.picks.begin() + 1, a.picks.end(), b.picks.begin() + 1);
}

// Reads one line into entry: nothing when it is taken, else the reason it is refused, or (with
// already set) nothing because the pool holds this very sheet.
std::optional<TransferProblem> readLine(const ImportTable& table, const TeamNames& names, NamesSeen& seen,
                                        bool detailed, SheetPicks& picks, Player& entry, bool& already)
{
    already = false;
    const auto refuse = [&table](std::size_t column, std::string reason) {
        return TransferProblem{table.line(), table.columnName(column), CodePageText{std::move(reason)}};
    };
    const std::string cellName = table.textCell(NameColumn);
    const std::string_view name = trimName(cellName);
    if (name.empty()) return refuse(NameColumn, "the name is not filled in");
    // Neither cut nor stored with a '?': either may make it someone else's name.
    if (holdsMissing(name)) return refuse(NameColumn, notInCodePageText(name));
    if (name.size() > sizeof entry.name.chars)
        return refuse(NameColumn, quotedCell(name) + " is longer than the 25 characters a name can have");
    entry.name = name;

    // The rest of the line first: whether a repeated name is the same sheet again depends on it.
    const std::optional<TransferProblem> problem = [&]() -> std::optional<TransferProblem> {
        const std::string tiebreaker = table.textCell(TiebreakerColumn);
        if (holdsMissing(tiebreaker)) return refuse(TiebreakerColumn, notInCodePageText(tiebreaker));
        if (tiebreaker.size() > sizeof entry.tiebreaker.chars)
            return refuse(TiebreakerColumn,
                          quotedCell(tiebreaker) + " is longer than the 12 characters a tiebreaker can have");
        entry.tiebreaker = tiebreaker;
        const std::optional<std::uint8_t> paid = paidValue(table.cell(PaidColumn));
        if (!paid)
            return refuse(PaidColumn, quotedCell(table.cell(PaidColumn)) + " is not Yes, No, TRUE, FALSE, x, 1 or 0");
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
            case TeamNames::Match::Unknown:
                return refuse(column, quotedCell(cell) + " is not a team of the field" +
                                          (detailed ? suggestion(names, text) : std::string()));
            case TeamNames::Match::Ambiguous: {
                std::string reason = quotedCell(cell) + " names more than one team (";
                for (std::size_t k = 0; k < shared.size(); ++k)
                    reason += (k ? ", " : "") + names.regionSeedText(shared[k]);
                return refuse(column, reason + "); give region and seed instead");
            }
            case TeamNames::Match::Found: break;
            }
            picks.setWinner(game, team);
            if (picks.check(game) == SheetPicks::PickState::Stray)
                return refuse(column, quotedCell(cell) + " is not one of the game's two teams");
            if (team == 0) entry.complete = 0;
        }
        entry.picks = picks.picks();
        return std::nullopt;
    }();

    // A name already known, or on an earlier line, as a person reads it ("ann " is "Ann").
    const std::string key = nameKey(name);
    if (const std::vector<const Player*>* known = seen.known->withKey(key)) {
        for (const Player* participant : *known)
            if (!problem && sameSheet(entry, *participant, seen.comparePaid)) {
                already = true;
                return std::nullopt;
            }
        const CodePageText stored = known->front()->name.text();
        std::string reason = quotedCell(name) + " is already in the pool";
        if (stored.bytes != name) reason += " as " + quotedValue(stored.bytes);
        if (!problem) reason += ", with other picks, tiebreaker or paid";
        return refuse(NameColumn, reason);
    }
    const auto [first, added] = seen.inFile.emplace(key, table.line());
    if (!added) return refuse(NameColumn, quotedCell(name) + " is already on line " + std::to_string(first->second));
    return problem;
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
    NamesSeen seen;
    seen.known = &known;
    seen.comparePaid = !table.hasColumn(FieldColumn);
    SheetPicks picks;
    std::optional<TransferProblem> problem;
    while (table.next(problem)) {
        Player entry;
        bool already = false;
        if (!problem) problem = fieldProblem(table, names);
        if (!problem) {
            // Only a listed refusal is worth the search for names near a misspelt one.
            const bool detailed = result.refused.listed.size() < TransferProblems::Listed;
            problem = readLine(table, names, seen, detailed, picks, entry, already);
        }
        if (problem) {
            result.refused.add(std::move(*problem));
            continue;
        }
        if (already) {
            result.alreadyIn.add({table.line(), PicksNameColumn,
                                  CodePageText{quotedValue(entry.name.view()) + " is already in the pool"}});
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
        if ((*pool)[i].id != ResultsId) m_byKey[nameKey((*pool)[i].name.view())].push_back(&(*pool)[i]);
}

const std::vector<const Player*>* KnownEntries::withKey(const std::string& key) const
{
    const auto it = m_byKey.find(key);
    return it == m_byKey.end() ? nullptr : &it->second;
}

void KnownEntries::add(const Player& entry)
{
    m_added.push_back(entry);
    m_byKey[nameKey(entry.name.view())].push_back(&m_added.back());
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
