#include "core/commands/batch_commands.h"

#include <filesystem>
#include <iostream>
#include <memory>
#include <ostream>
#include <system_error>
#include <vector>

#include "core/commands/pool_lock.h"
#include "core/outlook/outlook_table.h"
#include "core/outlook/payouts.h"
#include "core/pool/cp1252.h"
#include "core/pool/errors.h"
#include "core/pool/file_io.h"
#include "core/pool/pool_host.h"
#include "core/pool/team_files.h"
#include "core/publish/site_pages.h"
#include "core/session/pool_session.h"
#include "core/settings/settings.h"
#include "core/transfer/entry_page.h"
#include "core/transfer/field_import.h"
#include "core/transfer/picks_export.h"
#include "core/transfer/picks_import.h"
#include "core/transfer/standings_export.h"
#include "core/transfer/team_names.h"

namespace {
// The host of a run without a window: its errors go to err; quick tips, the status bar and the
// progress go nowhere.
class StreamHost final : public NullPoolHost {
public:
    explicit StreamHost(std::ostream& err) : m_err(err) {}
    void showError(const std::string& text) override
    {
        m_err << "hoopfall: " << text << '\n';
        ++errors;
    }
    int errors = 0;

private:
    std::ostream& m_err;
};

// A text in the storage code page, as UTF-8.
std::string utf8(std::string_view text)
{
    std::string out;
    appendUtf8FromCp1252(out, text);
    return out;
}

// One run on one pool. pool() is the pool as it stands on disk, read without changing anything;
// open() loads it as start-up does, for a command that changes it, and the run closes it as the
// program closes.
class BatchRun {
public:
    BatchRun(const CommandLine& line, const std::string& dataDir, SettingsBackend& settings, std::istream& in,
             std::ostream& out, std::ostream& err)
        : file(line.commandFile),
          files(line.importFiles.empty() ? std::vector<std::string>{line.commandFile} : line.importFiles),
          format(line.format), places(line.places), fee(line.fee), payouts(line.payouts), in(in), out(out), err(err),
          m_dataDir(dataDir), m_settings(settings), m_host(err), m_pool(m_host, dataDir, settings)
    {
    }

    const std::string& file;
    const std::vector<std::string> files;      // --import-picks FILE...
    const std::optional<OutputFormat> format;  // --format
    const int places;
    const std::optional<std::string> fee, payouts;  // --fee, --payouts: in place of the stored ones
    bool remapPicks = false;                        // --remap-picks
    std::istream& in;
    std::ostream& out;
    std::ostream& err;

    // FILE is "-": the standard input of an import, the standard output of an export.
    bool standardStream() const { return file == StandardStreamName; }
    // FILE as the messages name it.
    std::string shownFile() const { return standardStream() ? "standard input" : file; }

    // Reads the pool; false (with the reason on err) when it cannot be read.
    bool read()
    {
        try {
            m_pool.loadUnchanged();
            return true;
        } catch (const HoopError& error) {
            fail(error.what());
            return false;
        }
    }
    PoolSession& pool() { return m_pool; }

    // The pool to change; null (with the reason on err) when start-up's loading reported a fault.
    PoolSession* open()
    {
        m_open = std::make_unique<PoolSession>(m_host, m_dataDir, m_settings);
        const int before = m_host.errors;
        removeStaleTempFiles(m_dataDir, processStartTime());
        m_open->loadTeams();
        m_open->checkRegionsFile();
        m_open->loadPlayers();
        return m_host.errors == before ? m_open.get() : nullptr;
    }
    // Writes PICKS.HFD when the pool was opened; BatchFailed when that fails. Every run
    // ends here, also one whose command threw: nothing else writes the pool.
    int close(int status)
    {
        if (!m_open) return status;
        try {
            m_open->closePool();
        } catch (const std::exception& error) {
            return fail(error.what());
        }
        return status;
    }

    int fail(const std::string& text)
    {
        err << "hoopfall: " << text << '\n';
        return BatchFailed;
    }
    // Each refused row or problem of the file, as "FILE: Line 7, column "Game 34": reason", up to
    // the first thousand, then the count of the others.
    void list(const TransferProblems& problems) { list(err, shownFile(), problems); }
    static void list(std::ostream& to, const std::string& path, const TransferProblems& problems)
    {
        for (const TransferProblem& problem : problems.listed)
            to << path << ": " << toUtf8(problemText(problem)) << '\n';
        if (problems.unlisted() > 0) to << path << ": " << unlistedText(problems.unlisted()) << '\n';
    }

private:
    const std::string& m_dataDir;
    SettingsBackend& m_settings;
    StreamHost m_host;
    PoolSession m_pool;
    std::unique_ptr<PoolSession> m_open;
};

std::string counted(std::size_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The whole standard input. An import reads its text twice (once to learn whether it is UTF-8),
// which a pipe cannot give; a file is opened instead, so only this copy costs memory.
std::string readStandardInput(std::istream& in)
{
    constexpr std::size_t Largest = std::size_t(1) << 30;  // as for a file
    std::string bytes;
    char buffer[1 << 16];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        bytes.append(buffer, std::size_t(in.gcount()));
        if (bytes.size() > Largest) throw HoopError("The standard input is too large to import.");
    }
    if (in.bad()) throw HoopError("The standard input could not be read.");
    return bytes;
}

// The format of an export or the outlook: --format, else the name of its file (.htm or .html, .csv,
// .txt), else for the standard output fallback; nothing for a name that says none of these.
std::optional<OutputFormat> formatOf(const BatchRun& run, OutputFormat fallback)
{
    if (run.format) return run.format;
    if (run.standardStream()) return fallback;
    const std::string extension = lowerExtension(run.file);
    if (extension == ".htm" || extension == ".html") return OutputFormat::Html;
    if (extension == ".csv") return OutputFormat::Csv;
    if (extension == ".txt") return OutputFormat::Tsv;
    return std::nullopt;
}

// The standard output, checked once everything went to it: a full disk or a closed pipe behind
// it is no success.
int wroteOut(BatchRun& run)
{
    run.out.flush();
    return run.out ? BatchDone : run.fail("the standard output could not be written");
}

// One report for every file: each file's refused lines, then its lines passed over because their
// participant is known already, then what was imported from each. The standard input is read
// only as the one FILE (the command line allows no other beside it).
int importPicks(BatchRun& run, const std::vector<std::string>& paths)
{
    std::vector<PicksFileImport> files;
    if (run.standardStream()) {
        const std::string bytes = readStandardInput(run.in);
        MemorySource source(bytes);
        const TeamNames names(run.pool().teams(), run.pool().regionNames());
        files.push_back({run.file, readPicksImport(source, names, &run.pool().players())});
    } else {
        files = readPicksImportFiles(run.pool(), paths);
    }
    const auto shown = [](const std::string& path) {
        return path == StandardStreamName ? std::string("standard input") : path;
    };
    std::size_t refused = 0;
    std::size_t entries = 0;
    for (const PicksFileImport& file : files) {
        const std::size_t lines = file.import.refused.total;
        if (lines > 0) {
            BatchRun::list(run.err, shown(file.path), file.import.refused);
            run.err << "hoopfall: " << counted(lines, "line", "lines") << " of " << shown(file.path)
                    << (lines == 1 ? " was" : " were") << " refused\n";
        }
        const std::size_t passed = file.import.alreadyIn.total;
        if (passed > 0) {
            BatchRun::list(run.out, shown(file.path), file.import.alreadyIn);
            run.err << "hoopfall: " << counted(passed, "line", "lines") << " of " << shown(file.path)
                    << (passed == 1 ? " is" : " are") << " already in the pool and skipped\n";
        }
        refused += lines;
        entries += file.import.entries.size();
    }
    if (entries == 0 && refused > 0) return BatchFailed;
    PoolSession* pool = entries > 0 ? run.open() : nullptr;
    if (entries > 0 && !pool) return BatchFailed;
    for (const PicksFileImport& file : files) {
        const int stored = file.import.entries.empty() ? 0 : storeImportedPicks(*pool, file.import);
        run.out << counted(std::size_t(stored), "participant", "participants") << " imported from " << shown(file.path);
        // Entries with games that have no winner are stored as a sheet saved so is: incomplete.
        if (stored > 0)
            run.out << ": " << stored - file.import.incomplete << " complete, " << file.import.incomplete
                    << " incomplete";
        run.out << '\n';
    }
    return refused > 0 ? BatchRowsRefused : BatchDone;
}

int importPicks(BatchRun& run) { return importPicks(run, run.files); }

int makeEntryPage(BatchRun& run)
{
    makeEntryPageFile(run.pool(), run.file);
    run.out << "Entry page made: " << run.file << '\n';
    return BatchDone;
}

int exportPicks(BatchRun& run)
{
    const PicksFileFormat format =
        formatOf(run, OutputFormat::Csv) == OutputFormat::Html ? PicksFileFormat::Html : PicksFileFormat::Csv;
    if (!run.standardStream()) {
        exportPicksFile(run.pool(), run.file, format);
        run.out << "Picks successfully exported to " << run.file << '\n';
        return BatchDone;
    }
    const PoolSession& pool = run.pool();
    const TeamNames names(pool.teams(), pool.regionNames());
    const TextSink sink = [&run](std::string_view text) { run.out << text; };
    if (format == PicksFileFormat::Html)
        writePicksHtml(pool.players(), names, asOfText(pool.today()), sink);
    else
        writePicksCsv(pool.players(), names, sink);
    return wroteOut(run);
}

// The standings as the window shows them when it opens: scored, in its first order.
int exportStandings(BatchRun& run)
{
    const std::optional<OutputFormat> format = formatOf(run, OutputFormat::Tsv);
    if (!format)
        return run.fail("the standings are exported as .htm, .html, .csv or .txt, not as " + run.file +
                        "; --format names the format whatever the name");
    PoolSession& pool = run.pool();
    PlayerList& players = pool.players();
    NullPoolHost quiet;
    players.updateStandings();
    players.setSort(SortKey::Total, players.sortAscending());
    players.sort();
    StandingsTable table(pool.regionNames());
    table.refill(players, pool.teams());
    const TextSeparator separator = format == OutputFormat::Csv ? TextSeparator::Comma : TextSeparator::Tab;
    if (run.standardStream()) {
        const StandingsSink sink = [&run](std::string_view text) { run.out << text; };
        if (format == OutputFormat::Html)
            writeStandingsHtml(table, asOfText(pool.today()), quiet, sink);
        else
            writeStandingsText(table, separator, quiet, sink);
        return wroteOut(run);
    }
    if (format == OutputFormat::Html)
        exportHtmlFile(table, run.file, asOfText(pool.today()), quiet);
    else
        exportTextFile(table, run.file, separator, quiet);
    run.out << ExportSuccessPrefix << run.file << '\n';
    return BatchDone;
}

// The Pool Outlook in the order the standings open in: scored, sorted by total points from the
// highest with the standings' own sort, so ties fall as there. On the standard output as text
// the window's Copy gives (in UTF-8, lines ending in LF); in a file, or as a page, what its Save
// As writes.
int printOutlook(BatchRun& run)
{
    const std::optional<OutputFormat> format = formatOf(run, OutputFormat::Tsv);
    if (!format)
        return run.fail("the outlook is written as .htm, .html, .csv or .txt, not as " + run.file +
                        "; --format names the format whatever the name");
    PoolSession& pool = run.pool();
    PlayerList& players = pool.players();
    // Start-up would leave a record cut short out and go on; the figures of a pool that lost a
    // participant would mislead, so nothing is shown.
    std::error_code error;
    const auto size = std::filesystem::file_size(players.picksPath(), error);
    if (!error && size % PickRecordSize != 0)
        return run.fail("The file " + players.picksPath() + " is damaged: its last record is cut short.");
    players.updateStandings();
    players.setSort(SortKey::Total, players.sortAscending());
    players.sort();
    outlook::OutlookInput input = outlook::outlookInputOf(players, pool.readScoringValues(), run.places);
    SettingsFile store(pool.settings());
    const outlook::Money money = outlook::moneyOf(
        run.fee ? *run.fee : store.readString(settings::Other, settings::EntryFee, ""),
        run.payouts ? *run.payouts : store.readString(settings::Other, settings::Payouts, settings::DefaultPayouts));
    if (money.fee > 0)
        input.prizes = outlook::prizesOf(money.fee * outlook::paidParticipants(players), money.fee, money.payouts);
    const outlook::OutlookResult result = outlook::computeOutlook(input);
    const outlook::OutlookTable table(result, outlook::participantNames(players), money.fee > 0);
    const outlook::OutlookFormat separator =
        format == OutputFormat::Csv ? outlook::OutlookFormat::Comma : outlook::OutlookFormat::Tab;
    int status = BatchDone;
    if (!run.standardStream()) {
        writeFileAtomic(run.file, format == OutputFormat::Html
                                      ? outlook::outlookHtml(table, asOfText(pool.today()))
                                      : utf8FileText(outlook::outlookText(table, separator, "\r\n")));
        run.out << "Pool Outlook saved to " << run.file << '\n';
    } else {
        if (format == OutputFormat::Html)
            run.out << outlook::outlookHtml(table, asOfText(pool.today()));
        else
            run.out << utf8(outlook::outlookText(table, separator, "\n"));
        status = wroteOut(run);
    }
    // What the window's status strip says, when the figures are not all exact.
    if (result.method == outlook::OutlookMethod::Simulated || table.unprovenFinishes() > 0)
        run.err << utf8(table.summary()) << '\n';
    return status;
}

// The pool as a web site, from the pool as it stands on disk; the outlook's paid places are the
// outlook window's.
int publishSite(BatchRun& run)
{
    PoolSession& pool = run.pool();
    PublishOptions options;
    options.asOf = asOfText(pool.today()) + " " + timeOfDayText();
    SettingsFile store(pool.settings());
    options.places = store.readInteger(settings::Other, settings::OutlookPlaces, settings::DefaultOutlookPlaces);
    const PublishSummary summary = publishPool(pool, run.file, options);
    run.out << publishedText(run.file, summary) << '\n';
    return BatchDone;
}

int importField(BatchRun& run)
{
    const FieldImport field =
        run.standardStream() ? readFieldImport(readStandardInput(run.in)) : readFieldImportFile(run.file);
    if (!field.ok()) {
        run.list(field.problems);
        return run.fail("the field in " + run.shownFile() + " can not be imported");
    }
    // The names the team file keeps only the start of.
    for (const TransferProblem& cut : field.cutNames) run.err << run.file << ": " << toUtf8(problemText(cut)) << '\n';
    // Picks name teams by their places: a field that moves teams moves the picks only when asked.
    const FieldChange change = compareField(run.pool(), field);
    if (!change.plain()) {
        const std::vector<CodePageText> lines = moveLines(change, run.pool().regionNames(), field.regionNames);
        if (!run.remapPicks) {
            for (const CodePageText& line : lines) run.err << run.shownFile() << ": " << toUtf8(line) << '\n';
            return run.fail("the field in " + run.shownFile() + " moves " +
                            counted(change.moves.size(), "team", "teams") + " that the picks of " +
                            counted(std::size_t(change.sheetsWithPicks), "sheet", "sheets") +
                            " name by place; nothing was imported. --remap-picks moves every pick and result with "
                            "its team.");
        }
        if (!change.canRemap()) {
            for (std::size_t k = 0; k < lines.size(); ++k)
                if (change.moves[k].to == 0 && change.moves[k].sheets > 0)
                    run.err << run.shownFile() << ": " << toUtf8(lines[k]) << '\n';
            return run.fail(strandedText(change) + " Nothing was imported.");
        }
    }
    PoolSession* pool = run.open();
    if (!pool) return BatchFailed;
    const bool remap = !compareField(*pool, field).plain();
    if (remap && !run.remapPicks) return run.fail("the pool changed while the field was read; nothing was imported");
    storeImportedField(*pool, field, remap);
    run.out << "Field imported from " << run.shownFile();
    if (remap)
        run.out << "; the picks of " << counted(std::size_t(change.sheetsChanged), "sheet", "sheets")
                << " moved with their teams";
    run.out << '\n';
    return BatchDone;
}

// The commands: a new one is a row here and a row in the command line's table.
struct BatchCommandEntry {
    BatchCommand command;
    bool changesPool;
    int (*run)(BatchRun&);
};
constexpr BatchCommandEntry Commands[] = {
    {BatchCommand::ImportPicks, true, importPicks},
    {BatchCommand::ExportPicks, false, exportPicks},
    {BatchCommand::ExportStandings, false, exportStandings},
    {BatchCommand::ImportField, true, importField},
    {BatchCommand::Outlook, false, printOutlook},
    {BatchCommand::Publish, false, publishSite},
    {BatchCommand::MakeEntryPage, false, makeEntryPage},
};

const BatchCommandEntry* entryOf(BatchCommand command)
{
    for (const BatchCommandEntry& entry : Commands)
        if (entry.command == command) return &entry;
    return nullptr;
}

// A folder without PICKS.HFD and TEAMS.HFD (even unreadable ones) holds no pool: what it would
// export is nothing, and the outlook of nobody.
bool holdsPool(const std::string& dataDir)
{
    std::error_code error;
    for (const std::string& name : {PicksFileName, TeamsFileName})
        if (std::filesystem::symlink_status(joinPath(dataDir, name), error).type() !=
            std::filesystem::file_type::not_found)
            return true;
    return false;
}

// A folder as the user gave it, in the system's own form.
std::string shownFolder(const std::string& dir) { return std::filesystem::path(dir).make_preferred().string(); }
}  // namespace

bool batchCommandChangesPool(BatchCommand command)
{
    const BatchCommandEntry* entry = entryOf(command);
    return entry && entry->changesPool;
}

int runBatchCommand(const CommandLine& line, const std::string& dataDir, SettingsBackend& settings, std::ostream& out,
                    std::ostream& err, std::istream* in)
{
    const BatchCommandEntry* entry = entryOf(line.command);
    // Refusals come before the run's pool exists, so a refused run opens nothing.
    auto refuse = [&err](const std::string& text) {
        err << "hoopfall: " << text << '\n';
        return BatchFailed;
    };
    if (!entry) return refuse("no command to run");
    // Held until the run has written the pool back: the open program, or another command, would
    // write its own list over this one's changes when it closes.
    PoolLock lock;
    if (entry->changesPool) {
        const PoolLock::Outcome locked = lock.take(dataDir);
        if (locked == PoolLock::Outcome::Held)
            return refuse("the program has the pool in " + shownFolder(dataDir) +
                          " open, or another command is changing it; close it there and run the command again");
        if (locked == PoolLock::Outcome::Failed)
            return refuse(
                "the pool in " + shownFolder(dataDir) +
                " cannot be locked against other copies of the program, so nothing was changed: " + lock.reason());
    } else if (!holdsPool(dataDir)) {
        return refuse(shownFolder(line.poolDir.value_or(dataDir)) + " holds no pool");
    }
    BatchRun run(line, dataDir, settings, in ? *in : std::cin, out, err);
    run.remapPicks = line.remapPicks;
    int status = BatchFailed;
    try {
        if (run.read()) status = entry->run(run);
    } catch (const std::exception& error) {
        status = run.fail(error.what());
    }
    return run.close(status);
}
