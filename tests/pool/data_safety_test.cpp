// The pool is never lost: files that cannot be read are kept, every change is journaled before it
// is reported, and saves keep what the file was.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <map>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/pool/errors.h"
#include "core/pool/file_io.h"
#include "core/pool/journal.h"
#include "core/pool/players.h"
#include "core/pool/team_files.h"
#include "core/pool/unreadable_file.h"
#include "core/session/pool_session.h"
#include "core/settings/settings.h"
#include "pool_samples.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

namespace {
// Names in dir that start with prefix.
std::vector<std::string> filesNamed(const TempDir& dir, const std::string& prefix)
{
    std::vector<std::string> names;
    for (const auto& item : fs::directory_iterator(dir.path())) {
        const std::string name = item.path().filename().string();
        if (name.rfind(prefix, 0) == 0) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Reads succeed until this many bytes were read, then fail with an I/O error.
std::size_t g_readBudget = 0;
ssize_t failingRead(int fd, void* buffer, std::size_t size)
{
    if (g_readBudget == 0) {
        errno = EIO;
        return -1;
    }
    const ssize_t n = ::read(fd, buffer, std::min(size, g_readBudget));
    if (n > 0) g_readBudget -= static_cast<std::size_t>(n);
    return n;
}

// Runs body in a child process as the nobody user when this process is root (root reads and
// renames anything); returns the child's exit code, 0 when every check in it held.
int asOrdinaryUser(const std::function<int()>& body)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setresgid(65534, 65534, 65534) != 0 ||
                                 ::setresuid(65534, 65534, 65534) != 0))
            ::_exit(99);
        try {
            ::_exit(body());
        } catch (...) {
            ::_exit(98);  // never back into the test runner from a child
        }
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// A pool session on a folder, as the program holds one, reporting to a recording host. Nothing
// is written when it goes, as after a kill; tests write PICKS.HFD themselves.
struct Pool {
    explicit Pool(const std::string& dir) : session(host, dir, settings) {}
    PlayerList& players() { return session.players(); }
    RecordingHost host;
    MemorySettings settings;
    PoolSession session;
};

class DataSafety : public ::testing::Test {
protected:
    TempDir dir;
    RecordingHost host;
    TeamTable teams;
};

// The three data files, each with its loader and its writer.
struct DataFile {
    std::string name;
    std::string content;
    std::function<void(PoolSession&)> load;
    std::function<void(PoolSession&)> save;
};

std::vector<DataFile> dataFiles()
{
    std::string teams;
    for (int i = 0; i < 64; ++i)
        teams += std::string{char(1 + i / 16), char(1 + i % 16), 3, 'T', 'e', 'a'} + std::string(15, '\0');
    return {
        {PicksFileName, records({5, 6, 7, -1}), [](PoolSession& s) { s.loadPlayers(); },
         [](PoolSession& s) { s.players().writePicksFile(); }},
        {TeamsFileName, teams, [](PoolSession& s) { s.loadTeams(); }, [](PoolSession& s) { s.saveTeams(); }},
        {RegionsFileName, "[Regions]\r\n1=East\r\n[Other]\r\nkeep=1\r\n", [](PoolSession& s) { s.checkRegionsFile(); },
         [](PoolSession& s) {
             s.saveRegions({"A", "B", "C", "D"});
         }},
    };
}
}  // namespace

// A folder, a named pipe or a read error part-way: reported with the system's reason, never the
// quick tip, and the file is moved aside whole, so the next save cannot touch it.
TEST_F(DataSafety, AFileThatCannotBeReadIsReportedAndKeptAside)
{
    enum Fault { Folder, Pipe, ReadError };
    for (const DataFile& file : dataFiles())
        for (Fault fault : {Folder, Pipe, ReadError}) {
            SCOPED_TRACE(file.name + " fault " + std::to_string(fault));
            TempDir d;
            Pool pool(d.path());
            RecordingHost& shown = pool.host;
            const std::string path = d.file(file.name);
            std::string reason = "Is a directory";
            if (fault == Folder) fs::create_directory(path);
            if (fault == Pipe) {
                ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);  // opening it for reading would block
                reason = "Not a regular file";
            }
            if (fault == ReadError) {
                d.write(file.name, file.content);
                g_readBudget = file.content.size() / 2;
                pool.session.setReadFunction(&failingRead);
                reason = "Input/output error";
            }
            file.load(pool.session);
            pool.session.setReadFunction(nullptr);

            ASSERT_EQ(shown.errors.size(), 1u);
            EXPECT_THAT(shown.errors[0], HasSubstr("The file " + path + " could not be read: " + reason + "."));
            EXPECT_THAT(shown.errors[0], HasSubstr("moved aside unchanged as " + file.name + ".unreadable-"));
            EXPECT_TRUE(shown.information.empty()) << "not the quick tip";
            const auto aside = filesNamed(d, file.name + ".unreadable-");
            ASSERT_EQ(aside.size(), 1u);
            // The aside file is the original: its bytes, or the folder itself.
            EXPECT_EQ(fault == ReadError ? d.read(aside[0]) : "", fault == ReadError ? file.content : "");
            EXPECT_EQ(fs::is_directory(d.file(aside[0])), fault == Folder);

            file.save(pool.session);
            EXPECT_TRUE(fs::is_regular_file(path)) << "the pool goes on with a file of its own";
            EXPECT_EQ(filesNamed(d, file.name + ".unreadable-"), aside) << "and the kept one stays";
        }
}

TEST_F(DataSafety, RecordsReadBeforeAnErrorStayAndTheWholeFileIsKept)
{
    std::string bytes;
    for (int i = 1; i <= 51; ++i) bytes += records({i});
    dir.write(PicksFileName, bytes);
    g_readBudget = 6137;
    Pool pool(dir.path());
    PlayerList& list = pool.players();
    pool.session.setReadFunction(&failingRead);
    EXPECT_FALSE(pool.session.loadPlayers());
    pool.session.setReadFunction(nullptr);
    EXPECT_EQ(list.count(), 20);
    ASSERT_EQ(pool.host.errors.size(), 1u);
    EXPECT_THAT(pool.host.errors[0], HasSubstr("The 20 records read before the error are in the list."));
    EXPECT_EQ(list.picksLoadStatus(), ReadStatus::Unreadable);
    list.writePicksFile();
    EXPECT_EQ(dir.read(PicksFileName).size(), 20 * PickRecordSize);
    EXPECT_EQ(dir.read(filesNamed(dir, "PICKS.HFD.unreadable-").at(0)), bytes);
}

// Permissions stop an ordinary user, not root: these run as the nobody user.
TEST_F(DataSafety, AFileWithoutReadPermissionIsMovedAsideOrLeftAlone)
{
    fs::permissions(dir.path(), fs::perms::all);
    dir.write(PicksFileName, records({1, 2}));
    dir.write(TeamsFileName, std::string(64 * TeamRecordSize, '\1'));
    fs::permissions(dir.file(PicksFileName), fs::perms::none);
    fs::permissions(dir.file(TeamsFileName), fs::perms::none);
    const std::string d = dir.path();
    EXPECT_EQ(asOrdinaryUser([&] {
                  Pool pool(d);
                  if (pool.session.loadPlayers() || pool.host.errors.size() != 1) return 1;
                  if (pool.host.errors[0].find("could not be read: Permission denied") == std::string::npos) return 2;
                  pool.players().writePicksFile();
                  return 0;
              }),
              0);
    EXPECT_EQ(dir.read(filesNamed(dir, "PICKS.HFD.unreadable-").at(0)), records({1, 2}));
    EXPECT_EQ(dir.read(PicksFileName), "") << "the new, empty pool";

    // Where the file cannot even be moved, nothing of this run writes over it.
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    EXPECT_EQ(asOrdinaryUser([&] {
                  Pool pool(d);
                  pool.session.loadTeams();
                  if (pool.host.errors.size() != 1 || !pool.host.information.empty()) return 1;
                  if (pool.host.errors[0].find("will not write over it") == std::string::npos) return 2;
                  try {
                      pool.session.saveTeams();  // the Options dialog's OK
                  } catch (const HoopError& error) {
                      return std::string(error.what()).find(KeptFileReason) == std::string::npos ? 3 : 0;
                  }
                  return 4;
              }),
              0);
    fs::permissions(dir.file(TeamsFileName), fs::perms::owner_read);
    EXPECT_EQ(dir.read(TeamsFileName), std::string(64 * TeamRecordSize, '\1'));
}

// A torn last record keeps the Part's rule (good records load, quick tip), and the file's bytes
// are copied aside once: PICKS.HFD's at once (the tip names the copy), the others before the first
// write replaces them.
TEST_F(DataSafety, ATornFileIsCopiedAsideBeforeItIsFirstReplaced)
{
    const std::string torn = records({1, 2}) + "tail";
    dir.write(PicksFileName, torn);
    dir.write(TeamsFileName, std::string(TeamRecordSize + 6, '\1'));
    Pool pool(dir.path());
    EXPECT_FALSE(pool.session.loadPlayers());
    EXPECT_FALSE(pool.session.loadTeams());
    EXPECT_EQ(pool.host.information.size(), 2u) << "both quick tips";
    EXPECT_TRUE(filesNamed(dir, "TEAMS.HFD.damaged-").empty()) << "nothing is copied until a write";
    pool.players().writePicksFile();
    pool.players().writePicksFile();
    pool.session.saveTeams();
    EXPECT_EQ(filesNamed(dir, "PICKS.HFD.damaged-").size(), 1u);
    EXPECT_EQ(dir.read(filesNamed(dir, "PICKS.HFD.damaged-").at(0)), torn);
    EXPECT_EQ(dir.read(filesNamed(dir, "TEAMS.HFD.damaged-").at(0)), std::string(TeamRecordSize + 6, '\1'));
    EXPECT_EQ(dir.read(PicksFileName), records({1, 2}));
}

TEST_F(DataSafety, RegionsThatCannotBeReadReadAsEmptyAndAreNeverReplaced)
{
    fs::create_directory(dir.file(RegionsFileName));
    EXPECT_EQ(loadRegions(dir.path(), 1), "");
    EXPECT_THAT(
        [&] {
            saveRegions(dir.path(), {"A", "B", "C", "D"});
        },
        ThrowsMessage<HoopError>(HasSubstr("could not be read (Is a directory), so it is left as it was")));
    EXPECT_TRUE(fs::is_directory(dir.file(RegionsFileName)));
}

// ---- The journal -----------------------------------------------------------------------------

TEST(JournalFormat, RecordsCarryTheStandardCrc32)
{
    const std::string check = "123456789";
    EXPECT_EQ(crc32(reinterpret_cast<const unsigned char*>(check.data()), check.size()), 0xCBF43926u);
}

TEST_F(DataSafety, ChangesOfARunThatNeverClosedComeBackAtTheNextStart)
{
    dir.write(PicksFileName, records({1, 2}));
    {
        PlayerList run(host, dir.path(), teams);
        run.loadPlayers();
        run.storeEntry(makeEntry(3, "Cy"), true);
        Player renamed = run[0];
        renamed.name = "Ann";
        run.storeEntry(renamed, false);
        run.deletePlayer(2);
        run.storeEntry(makeEntry(ResultsId, ResultsName), true);
    }
    EXPECT_EQ(dir.read(PicksFileName), records({1, 2})) << "PICKS.HFD itself is written only when the run ends";
    EXPECT_TRUE(dir.exists(JournalFileName));

    RecordingHost next;
    PlayerList list(next, dir.path(), teams);
    EXPECT_TRUE(list.loadPlayers());
    EXPECT_EQ(ids(list), (std::vector<std::int32_t>{1, 3, ResultsId}));
    EXPECT_EQ(list[0].name.text().bytes, "Ann");
    EXPECT_EQ(list.hasResults(), true);
    EXPECT_EQ(list[1].modified, 1) << "restored sheets are scored again";
    EXPECT_TRUE(next.errors.empty() && next.information.empty());
    EXPECT_EQ(next.countText, "Players: 2");
    // Folded into PICKS.HFD at once, and the journal is gone.
    EXPECT_FALSE(dir.exists(JournalFileName));
    EXPECT_EQ(dir.read(PicksFileName).size(), 3 * PickRecordSize);
}

// Only an explicit close writes PICKS.HFD; a session that goes without one leaves the file as it
// was and its changes in the journal, for the next start. Once closed, a second close (the
// window's, then the one at exit) writes nothing, even over a file another program put there.
TEST_F(DataSafety, ASessionWritesThePoolOnlyWhenClosed)
{
    struct Case {
        const char* name;
        int closes;
        std::string picksAfter;  // PICKS.HFD once the session is gone
        std::vector<std::int32_t> reopened;
    };
    const Case cases[] = {
        {"destroyed without closing", 0, records({1, 2}), {2, 3}},
        {"closed", 1, records({2, 3}), {2, 3}},
        {"closed twice", 2, records({9}), {9}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir d;
        d.write(PicksFileName, records({1, 2}));
        {
            Pool pool(d.path());
            pool.session.loadPlayers();
            pool.players().storeEntry(makeEntry(3, "P3"), true);
            pool.players().deletePlayer(1);
            for (int k = 1; k <= c.closes; ++k) {
                EXPECT_NO_THROW(pool.session.closePool()) << "close " << k;
                if (k < c.closes) d.write(PicksFileName, records({9}));  // another program's, between the two
            }
        }
        EXPECT_EQ(d.read(PicksFileName), c.picksAfter);
        EXPECT_EQ(d.exists(JournalFileName), c.closes == 0) << "the journal holds what was not written";
        EXPECT_TRUE(filesNamed(d, "PICKS.HFD.").empty()) << "nothing kept aside";

        Pool next(d.path());
        EXPECT_TRUE(next.session.loadPlayers());
        EXPECT_EQ(ids(next.players()), c.reopened);
        EXPECT_TRUE(next.host.errors.empty());
    }
}

TEST_F(DataSafety, AJournalWithoutAPicksFileGivesNoQuickTip)
{
    {
        PlayerList run(host, dir.path(), teams);
        run.storeEntry(makeEntry(9, "Nine"), true);
    }
    RecordingHost next;
    PlayerList list(next, dir.path(), teams);
    EXPECT_FALSE(list.loadPlayers()) << "PICKS.HFD itself was missing";
    EXPECT_EQ(ids(list), std::vector<std::int32_t>{9});
    EXPECT_TRUE(next.information.empty());
}

TEST_F(DataSafety, ATornJournalTailIsDroppedAndDamageBeyondItIsKept)
{
    auto journalWith = [&](int stores) {
        PlayerList run(host, dir.path(), teams);
        for (int i = 1; i <= stores; ++i) run.storeEntry(makeEntry(i, "P"), true);
    };
    struct Case {
        const char* what;
        std::function<void(std::string&)> damage;
        std::vector<std::int32_t> restored;
        bool keptAside;
    };
    const std::vector<Case> cases = {
        {"a save cut short", [](std::string& j) { j.resize(j.size() - 100); }, {1, 2}, false},
        {"a few stray bytes", [](std::string& j) { j += "HFJ1"; }, {1, 2, 3}, false},
        {"a bad checksum in the middle", [](std::string& j) { j[400] ^= 1; }, {1}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(dir.file(PicksFileName));
        for (const auto& name : filesNamed(dir, "PICKS.JNL")) fs::remove(dir.file(name));
        journalWith(3);
        std::string journal = dir.read(JournalFileName);
        c.damage(journal);
        dir.write(JournalFileName, journal);

        RecordingHost next;
        PlayerList list(next, dir.path(), teams);
        list.loadPlayers();
        EXPECT_EQ(ids(list), c.restored);
        EXPECT_EQ(next.errors.size(), c.keptAside ? 1u : 0u);
        const auto kept = filesNamed(dir, "PICKS.JNL.damaged-");
        EXPECT_EQ(kept.size(), c.keptAside ? 1u : 0u);
        EXPECT_EQ(c.keptAside ? dir.read(kept.at(0)) : journal, journal);
    }
}

// An export from the command line reads the pool as start-up would, but repairs nothing: the
// torn tail of PICKS.HFD and a journal damaged in its first record stay as they are.
TEST_F(DataSafety, AReadOnlyLoadRefusesADamagedJournalAndChangesNoFile)
{
    dir.write(PicksFileName, records({5, 6}) + "torn");
    {
        PlayerList run(host, dir.path(), teams);  // a run that never closed
        for (std::int32_t id : {7, 8}) run.storeEntry(makeEntry(id, "P"), true);
    }
    std::string journal = dir.read(JournalFileName);
    journal[20] ^= 1;  // the checksum fails: nothing after it can be trusted
    dir.write(JournalFileName, journal);
    const auto before = filesNamed(dir, "");
    MemorySettings settings;
    {
        PoolSession session(host, dir.path(), settings);
        EXPECT_THAT([&] { session.loadUnchanged(); }, ThrowsMessage<HoopError>(HasSubstr("PICKS.JNL is damaged")));
    }
    EXPECT_TRUE(host.errors.empty() && host.information.empty());
    EXPECT_EQ(filesNamed(dir, ""), before);
    EXPECT_EQ(dir.read(PicksFileName), records({5, 6}) + "torn");
    EXPECT_EQ(dir.read(JournalFileName), journal);
}

TEST_F(DataSafety, AChangeTheDiskRefusesChangesNothing)
{
    PlayerList list(host, dir.path(), teams);
    list.add(makeEntry(1, "Ann"));
    fs::create_directory(dir.file(JournalFileName));  // nothing can be appended to a folder
    const auto refused = ThrowsMessage<HoopError>(HasSubstr(dir.file(JournalFileName)));
    EXPECT_THAT([&] { list.storeEntry(makeEntry(2, "Bo"), true); }, refused);
    Player renamed = list[0];
    renamed.name = "Changed";
    EXPECT_THAT([&] { list.storeEntry(renamed, false); }, refused);
    EXPECT_THAT([&] { list.deletePlayer(1); }, refused);
    EXPECT_EQ(ids(list), std::vector<std::int32_t>{1});
    EXPECT_EQ(list[0].name.text().bytes, "Ann");
}

// A child process saves sheets (adding, renaming, deleting, now and then folding into PICKS.HFD)
// and reports each save that returned; it is killed at a random moment. After the restart every
// reported save is there, and nothing else but possibly the one that was under way.
TEST_F(DataSafety, AKillAtAnyMomentLosesNoSaveThatReturned)
{
    using Pool = std::map<std::int32_t, std::string>;
    auto step = [](Pool& pool, int s) -> std::function<void(PlayerList&)> {
        if (s % 7 == 0 && pool.count(s - 2)) {
            pool.erase(s - 2);
            return [s](PlayerList& l) { l.deletePlayer(s - 2); };
        }
        if (s % 3 == 0 && pool.count(s - 1)) {
            pool[s - 1] = "U" + std::to_string(s);
            return [s](PlayerList& l) {
                Player e = l[l.indexOfId(s - 1)];
                e.name = "U" + std::to_string(s);
                l.storeEntry(e, false);
            };
        }
        pool[s] = "P" + std::to_string(s);
        return [s](PlayerList& l) { l.storeEntry(makeEntry(s, "P" + std::to_string(s)), true); };
    };
    std::mt19937 rng(11);
    int reported = 0;
    for (int round = 0; round < 6; ++round) {
        TempDir d;
        int report[2];
        ASSERT_EQ(::pipe(report), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(report[0]);
            try {
                NullPoolHost quiet;
                PlayerList list(quiet, d.path(), teams);
                list.loadPlayers();
                Pool model;
                for (int s = 1;; ++s) {
                    step(model, s)(list);
                    if (s % 20 == 0) list.writePicksFile();
                    if (::write(report[1], &s, sizeof s) != sizeof s) ::_exit(1);
                }
            } catch (...) {
                ::_exit(2);  // never back into the test runner from a child
            }
        }
        ::close(report[1]);
        ::usleep(std::uniform_int_distribution<int>(20'000, 150'000)(rng));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        int done = 0;
        for (int s = 0; ::read(report[0], &s, sizeof s) == sizeof s;) done = s;
        ::close(report[0]);
        reported += done;

        NullPoolHost quiet;
        PlayerList list(quiet, d.path(), teams);
        list.loadPlayers();
        Pool found;
        for (int i = 0; i < list.count(); ++i) found[list[i].id] = list[i].name.text().bytes;
        Pool saved, withNext;
        for (int s = 1; s <= done; ++s) step(saved, s);
        withNext = saved;
        step(withNext, done + 1);
        SCOPED_TRACE("saves reported: " + std::to_string(done));
        EXPECT_TRUE(found == saved || found == withNext);
        EXPECT_EQ(list.count(), static_cast<int>(found.size())) << "no entry twice";
    }
    EXPECT_GT(reported, 20) << "the children were killed before they saved much";
}

// ---- Saving ----------------------------------------------------------------------------------

TEST_F(DataSafety, ASaveKeepsTheFilesModeAndLinkAndRefusesAReadOnlyFile)
{
    struct ModeCase {
        int existing;  // -1: no file yet
        mode_t umaskBits;
        int expected;
    };
    for (const ModeCase& c :
         {ModeCase{0600, 022, 0600}, {0640, 077, 0640}, {0664, 022, 0664}, {-1, 022, 0644}, {-1, 077, 0600}}) {
        SCOPED_TRACE(c.existing);
        fs::remove(dir.file("f"));
        if (c.existing >= 0) {
            dir.write("f", "old");
            ::chmod(dir.file("f").c_str(), static_cast<mode_t>(c.existing));
        }
        const mode_t old = ::umask(c.umaskBits);
        writeFileAtomic(dir.file("f"), "new");
        ::umask(old);
        struct stat st {};
        ::stat(dir.file("f").c_str(), &st);
        EXPECT_EQ(st.st_mode & 07777, static_cast<mode_t>(c.expected));
    }

    fs::create_directory(dir.file("real"));
    dir.write("real/picks.dat", "old");
    fs::create_symlink("real/picks.dat", dir.file(PicksFileName));
    writeFileAtomic(dir.file(PicksFileName), "new");
    EXPECT_TRUE(fs::is_symlink(dir.file(PicksFileName)));
    EXPECT_EQ(dir.read("real/picks.dat"), "new");
    EXPECT_TRUE(filesNamed(dir, ".").empty()) << "no temp file left";

    dir.write("locked", "keep");
    fs::permissions(dir.file("locked"), fs::perms::owner_read | fs::perms::group_read);
    EXPECT_THAT([&] { writeFileAtomic(dir.file("locked"), "lost"); },
                ThrowsMessage<HoopError>(HasSubstr("Cannot write file " + dir.file("locked") + ": Permission denied")));
    EXPECT_EQ(dir.read("locked"), "keep");
}

// Clean-up at start removes what interrupted saves of earlier runs left, and nothing a person
// made: copies named like the data files stay, and so does a temp file newer than the run (the
// save of another copy under way).
TEST_F(DataSafety, OnlyTheProgramsOwnStaleTempFilesAreRemovedAtStart)
{
    enum Kind { File, Folder, Link };
    struct Row {
        const char* name;
        Kind kind;
        bool older;  // last changed before the run started
        bool removed;
    };
    const Row rows[] = {
        {".PICKS.HFD.hoopfall-tmp-Ab12Cd", File, true, true},
        {".TEAMS.HFD.hoopfall-tmp-000000", File, true, true},
        {".picks.csv.hoopfall-tmp-x1Y2z3", File, true, true},
        {".REGIONS.HFD.hoopfall-tmp-NewOne", File, false, false},
        {".PICKS.HFD.hoopfall-tmp-short", File, true, false},
        {".REGIONS.HFD.hoopfall-tmp-Folder", Folder, true, false},
        {".PICKS.BAK.hoopfall-tmp-Linked", Link, true, false},
        {"PICKS.HFD.backup", File, true, false},
        {"PICKS.BAK.friday", File, true, false},
        {"TEAMS.HFD.orig12", File, true, false},
        {"REGIONS.HFD.copy01", File, true, false},
        {"PICKS.HFD.x1Y2z3", File, true, false},
        {"PICKS.HFD.unreadable-20261207-101500", File, true, false},
        {"notes.txt", File, true, false},
    };
    std::timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const std::timespec runStart{now.tv_sec - 60, 0};
    int expected = 0;
    for (const Row& row : rows) {
        const std::string path = dir.file(row.name);
        if (row.kind == File) dir.write(row.name, "x");
        if (row.kind == Folder) fs::create_directory(path);
        if (row.kind == Link) fs::create_symlink("notes.txt", path);
        const std::timespec times[2] = {{0, UTIME_OMIT}, {row.older ? now.tv_sec - 3600 : now.tv_sec, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << row.name;
        expected += row.removed ? 1 : 0;
    }
    EXPECT_EQ(removeStaleTempFiles(dir.path(), runStart), expected);
    for (const Row& row : rows) EXPECT_EQ(fs::exists(fs::symlink_status(dir.file(row.name))), !row.removed) << row.name;
}

// A child that asks a second after it was started gets the moment it was started.
TEST(RunStart, IsWhenTheProcessStartedNotWhenItAsks)
{
    auto seconds = [](std::timespec t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9; };
    std::timespec forked{};
    ::clock_gettime(CLOCK_REALTIME, &forked);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::usleep(1'000'000);
        const double start = seconds(processStartTime());
        ::_exit(start <= seconds(forked) + 0.5 && start >= seconds(forked) - 0.5 ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
