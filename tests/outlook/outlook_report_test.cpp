#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>

#include "outlook/outlook_report.h"
#include "pool/journal.h"
#include "pool/pool_host.h"
#include "../pool/pool_samples.h"
#include "support/temp_dir.h"

namespace {

using outlook::OutlookResult;
using outlook::ParticipantOutlook;

// Every file of a folder with its bytes: what "left unchanged" compares.
std::map<std::string, std::string> folderBytes(const TempDir& dir)
{
    std::map<std::string, std::string> files;
    for (const auto& item : std::filesystem::directory_iterator(dir.path()))
        files[item.path().filename().string()] = dir.read(item.path().filename().string());
    return files;
}

std::string picksFile(const std::vector<TPlayer>& entries)
{
    std::string bytes(entries.size() * PickRecordSize, '\0');
    for (std::size_t i = 0; i < entries.size(); ++i)
        encodePlayer(entries[i], reinterpret_cast<unsigned char*>(bytes.data()) + i * PickRecordSize);
    return bytes;
}

TEST(OutlookReport, TheGridAsTabSeparatedText)
{
    TempDir dir;
    NullPoolHost host;
    const TTeamTable teams;
    TPlayers list(host, dir.path(), teams);
    list.setWriteOnDestroy(false);
    list.add(MakeEntry(7, "Ann"));
    list.add(MakeEntry(ResultsId, ResultsName));  // has no row
    list.add(MakeEntry(9, "=1+1\tx"));            // a spreadsheet would take it for a formula
    list.add(MakeEntry(3, "Zo\xEB"));             // stored text keeps its code page
    OutlookResult result;
    result.rows = {ParticipantOutlook{7, 120, 1, 3, true, true, 66.66, 100},
                   ParticipantOutlook{9, 5, 2, 3, true, true, 33.3, 12.349},
                   ParticipantOutlook{3, -4, 3, 3, false, true, 0.04, 0}};
    EXPECT_EQ(outlook::outlookText(list, result),
              "#\tName\tTotal Pts\tBest Finish\tWorst Finish\tCan Win\tWin %\tMoney %\n"
              "1\tAnn\t120\t1\t3\tYes\t66.7\t100.0\n"
              "2\t'=1+1 x\t5\t2\t3\tYes\t33.3\t12.3\n"
              "3\tZo\xEB\t-4\t3\t3\tNo\t0.0\t0.0\n");
    EXPECT_EQ(outlook::outlookText(list, result, "\r\n").substr(0, outlook::OutlookHeader.size() + 5),
              outlook::OutlookHeader + "\r\n1\tA");
    EXPECT_TRUE(outlook::outlookNotes(result).empty());  // exact: nothing to add

    result.method = outlook::OutlookMethod::Simulated;
    result.tournaments = 100'000;
    result.largestHalfInterval = 0.1963;
    result.rows[1].finishesExact = false;
    EXPECT_EQ(outlook::outlookNotes(result),
              (std::vector<std::string>{"Win % and Money % estimated from 100000 tournaments, largest 95% interval \xB1"
                                        "0.2 points",
                                        "Best and Worst Finish of 1 participant are the ones found before the search "
                                        "reached its limit; the true ones may be better and worse"}));
}

// The pool as the files hold it, the journal of a running program applied, nothing written:
// every case leaves the folder as it was.
TEST(OutlookReport, ReadsThePoolWithoutWritingIt)
{
    const TPlayer ann = MakeEntry(1, "Ann"), bob = MakeEntry(2, "Bob"), results = MakeEntry(ResultsId, ResultsName);
    TPlayer renamed = ann;
    renamed.Name = "Anne";
    const auto journal = [&](bool damaged, std::size_t cut) {
        return [=](const TempDir& dir) {
            {
                TJournal changes(dir.file(JournalFileName));
                changes.appendStore(renamed, true);
                changes.appendStore(MakeEntry(3, "Cy"), true);
                changes.appendDelete(2);
            }
            std::string bytes = dir.read(JournalFileName);
            bytes.resize(bytes.size() - cut);
            if (damaged) bytes += std::string(JournalRecordMax + 1, 'x');
            dir.write(JournalFileName, bytes);
        };
    };
    const auto failingRead = [](int, void*, std::size_t) -> ssize_t {
        errno = EIO;
        return -1;
    };
    const struct {
        const char* what;
        std::function<void(const TempDir&)> make;
        std::string folder;  // relative to the temp folder
        ReadFunction read;
        std::vector<std::int32_t> ids;  // in order, when readable
        std::string error;              // its start, when not
    } rows[] = {
        {"the participants and the results", {}, "", nullptr, {1, ResultsId, 2}, ""},
        {"the journal's changes, in order", journal(false, 0), "", nullptr, {1, ResultsId, 3}, ""},
        {"a journal's last record cut short is dropped", journal(false, 3), "", nullptr, {1, ResultsId, 2, 3}, ""},
        {"a journal damaged beyond that", journal(true, 0), "", nullptr, {}, "The file "},
        {"PICKS.HFD cut short", [](const TempDir& d) { d.write(PicksFileName, d.read(PicksFileName) + "x"); }, "", nullptr, {},
         "The file "},
        {"PICKS.HFD that cannot be read", {}, "", failingRead, {}, "The file "},
        {"no PICKS.HFD", [](const TempDir& d) { std::filesystem::remove(d.file(PicksFileName)); }, "", nullptr, {},
         "There is no pool in "},
        {"no folder", {}, "missing", nullptr, {}, "The pool folder "},
        {"a file for a folder", {}, PicksFileName, nullptr, {}, "The pool folder "},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        TempDir dir;
        dir.write(PicksFileName, picksFile({ann, results, bob}));
        if (row.make) row.make(dir);
        const auto before = folderBytes(dir);
        const outlook::PoolEntries pool = outlook::readPoolEntries(row.folder.empty() ? dir.path() : dir.file(row.folder), row.read);
        EXPECT_EQ(folderBytes(dir), before);
        EXPECT_EQ(pool.error.substr(0, row.error.size()), row.error);
        EXPECT_EQ(pool.error.empty(), row.error.empty()) << pool.error;
        std::vector<std::int32_t> ids;
        for (const TPlayer& entry : pool.entries) ids.push_back(entry.Id);
        EXPECT_EQ(ids, row.ids);
        if (ids.size() > 2 && row.make) {
            EXPECT_EQ(pool.entries[0].Name.view(), "Anne");
        }
    }
}

// The rows come in the standings' order (the same sort, so ties fall the same way), with the
// totals the standings show and the participants the standings list; the folder is untouched.
TEST(OutlookReport, TheWholeCommandFollowsTheStandings)
{
    std::mt19937 rng(17);
    TempDir dir;
    std::vector<TPlayer> entries;
    const PickArray played = RandomBracket(rng, 56);
    for (int i = 0; i < 9; ++i) entries.push_back(MakeEntry(100 + i, "P" + std::to_string(i), RandomBracket(rng)));
    entries[4].Picks = entries[2].Picks;  // a tie
    entries.insert(entries.begin() + 3, MakeEntry(ResultsId, ResultsName, played));
    dir.write(PicksFileName, picksFile(entries));
    const auto before = folderBytes(dir);

    const outlook::OutlookReport report = outlook::poolOutlookReport(dir.path(), ScoringValues{}, 2);
    ASSERT_EQ(report.error, "");
    EXPECT_EQ(folderBytes(dir), before);
    EXPECT_TRUE(report.notes.empty());  // 7 games left: every figure exact

    NullPoolHost host;
    const TTeamTable teams;
    TPlayers standings(host, dir.path(), teams);
    standings.setWriteOnDestroy(false);
    ASSERT_TRUE(standings.LoadPlayers());
    standings.UpdateStandings(true);
    standings.sort();
    std::string expected = outlook::OutlookHeader + "\n";
    int position = 0;
    for (int i = 0; i < standings.count(); ++i) {
        if (standings[i].Id == ResultsId) continue;
        const std::string line = report.text.substr(expected.size(), report.text.find('\n', expected.size()) + 1 - expected.size());
        const std::string start = std::to_string(++position) + "\t" + std::string(standings[i].Name.view()) + "\t" +
                                  std::to_string(standings[i].Total) + "\t";
        EXPECT_EQ(line.substr(0, start.size()), start);
        expected += line;
    }
    EXPECT_EQ(report.text, expected);
    EXPECT_EQ(position, 9);
}

}  // namespace
