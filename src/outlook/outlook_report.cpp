#include "outlook/outlook_report.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <system_error>

#include "pool/journal.h"
#include "pool/pool_host.h"
#include "standings/export.h"

namespace outlook {
namespace {

// One decimal, a point whatever the locale.
void appendDecimal(std::string& out, double value)
{
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 1);
    out.append(buffer, error == std::errc() ? end : buffer);
}

// Applies one journal record to the entries as the participant list would: a store replaces the
// first entry with its id or adds one at the end, a deletion removes the first with its id.
void applyRecord(std::vector<TPlayer>& entries, const TJournal::Record& record)
{
    const auto sameId = [&record](const TPlayer& entry) { return entry.Id == record.id; };
    const auto found = std::find_if(entries.begin(), entries.end(), sameId);
    if (record.kind == TJournal::Kind::Delete) {
        if (found != entries.end()) entries.erase(found);
        return;
    }
    TPlayer stored;
    decodePlayer(record.entry, stored);
    if (found == entries.end()) {
        entries.push_back(stored);
        return;
    }
    found->Name = stored.Name;
    found->Tiebreaker = stored.Tiebreaker;
    found->Paid = stored.Paid;
    found->Complete = stored.Complete;
    found->Picks = stored.Picks;
}
}  // namespace

std::string outlookText(const TPlayers& list, const OutlookResult& result, std::string_view lineEnd)
{
    std::string text = OutlookHeader;
    text += lineEnd;
    std::string name;
    std::size_t row = 0;
    for (int i = 0; i < list.count() && row < result.rows.size(); ++i) {
        const TPlayer& entry = list[i];
        if (entry.Id == ResultsId) continue;
        const ParticipantOutlook& outlook = result.rows[row++];
        text += std::to_string(row);
        text += '\t';
        name = entry.Name.view();
        if (startsLikeFormula(name)) name.insert(name.begin(), '\'');
        appendTextField(text, name, TextSeparator::Tab);
        for (const int number : {outlook.finalTotal, outlook.bestFinish, outlook.worstFinish}) {
            text += '\t';
            text += std::to_string(number);
        }
        text += outlook.canWin ? "\tYes\t" : "\tNo\t";
        appendDecimal(text, outlook.winPercent);
        text += '\t';
        appendDecimal(text, outlook.moneyPercent);
        text += lineEnd;
    }
    return text;
}

std::vector<std::string> outlookNotes(const OutlookResult& result)
{
    std::vector<std::string> notes;
    if (result.method == OutlookMethod::Simulated) {
        std::string note = "Win % and Money % estimated from " + std::to_string(result.tournaments) +
                           " tournaments, largest 95% interval \xB1";
        appendDecimal(note, result.largestHalfInterval);
        notes.push_back(note + " points");
    }
    int open = 0;
    for (const ParticipantOutlook& row : result.rows) open += !row.finishesExact;
    if (open > 0)
        notes.push_back("Best and Worst Finish of " + std::to_string(open) + (open == 1 ? " participant are" : " participants are") +
                        " the ones found before the search reached its limit; the true ones may be better and worse");
    return notes;
}

PoolEntries readPoolEntries(const std::string& dir, ReadFunction read)
{
    PoolEntries pool;
    const auto fail = [&pool](std::string text) {
        pool.entries.clear();
        pool.error = std::move(text);
        return pool;
    };
    std::error_code error;
    const auto status = std::filesystem::status(dir, error);
    if (error || !std::filesystem::exists(status))
        return fail("The pool folder " + dir + " cannot be read: " + (error ? error.message() : "it does not exist") + ".");
    if (!std::filesystem::is_directory(status)) return fail("The pool folder " + dir + " is not a folder.");

    const std::string picks = joinPath(dir, PicksFileName);
    std::string bytes;
    const ReadOutcome picksRead = readWholeFile(picks, bytes, read);
    if (picksRead.status == ReadStatus::Missing) return fail("There is no pool in " + dir + ": it holds no " + PicksFileName + ".");
    if (picksRead.status == ReadStatus::Unreadable) return fail("The file " + picks + " could not be read: " + picksRead.reason + ".");
    if (bytes.size() % PickRecordSize != 0) return fail("The file " + picks + " is damaged: its last record is cut short.");
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    for (std::size_t pos = 0; pos < bytes.size(); pos += PickRecordSize) decodePlayer(data + pos, pool.entries.emplace_back());

    const std::string journal = joinPath(dir, JournalFileName);
    bytes.clear();
    const ReadOutcome journalRead = readWholeFile(journal, bytes, read);
    if (journalRead.status == ReadStatus::Unreadable)
        return fail("The file " + journal + " could not be read: " + journalRead.reason + ".");
    if (journalRead.status == ReadStatus::Read) {
        int records = 0;
        const std::size_t sound = parseJournal(
            reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
            [&pool](const TJournal::Record& record) { applyRecord(pool.entries, record); }, &records);
        // A cut-short last record is a save still being written, or one a crash stopped: the
        // program drops it too. More than a record's worth is damage.
        if (bytes.size() - sound > JournalRecordMax)
            return fail("The file " + journal + " is damaged after its first " + std::to_string(records) + " changes.");
    }
    return pool;
}

OutlookReport poolOutlookReport(const std::string& dir, const ScoringValues& values, int places,
                                const OutlookOptions& options, ReadFunction read)
{
    OutlookReport report;
    PoolEntries pool = readPoolEntries(dir, read);
    if (!pool.error.empty()) {
        report.error = std::move(pool.error);
        return report;
    }
    // The list as a start-up leaves it, never written: scored in full and sorted as the
    // standings open, by total points from the highest, ties in the order that sort leaves them.
    NullPoolHost host;
    const TTeamTable teams;
    TPlayers list(host, dir, teams);
    list.setWriteOnDestroy(false);
    list.setScoringSource([&values] { return values; });
    for (TPlayer& entry : pool.entries) {
        entry.Modified = 1;
        list.add(entry);
    }
    list.UpdateStandings(true);
    list.setSort(SortKey::Total, false);
    list.sort();

    const OutlookResult result = computeOutlook(outlookInputOf(list, values, places), options);
    if (result.cancelled) {
        report.error = "The outlook was cancelled.";
        return report;
    }
    report.text = outlookText(list, result);
    report.notes = outlookNotes(result);
    return report;
}

}  // namespace outlook
