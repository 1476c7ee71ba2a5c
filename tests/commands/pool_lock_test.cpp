// The pool's lock on real folders: what stands at the lock file's name, who else holds it, and
// the programs the holder starts.
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/commands/pool_lock.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

extern char** environ;

TEST(PoolLockTest, OnlyAPlainFileOfItsOwnIsLockedAndOnlyOnce)
{
    struct Row {
        const char* what;
        std::function<void(const TempDir&, std::unique_ptr<PoolLock>&)> prepare;
        PoolLock::Outcome outcome;
        const char* reasonEnd;  // of the reason, when it failed
    };
    const std::string lockName = std::string("pool/") + PoolLockFileName;
    const Row rows[] = {
        {"a fresh folder", [](const TempDir&, auto&) {}, PoolLock::Outcome::Taken, ""},
        {"a lock file left by a copy that ended", [&](const TempDir& d, auto&) { d.write(lockName, ""); },
         PoolLock::Outcome::Taken, ""},
        {"another copy holds it",
         [](const TempDir& d, auto& other) {
             other = std::make_unique<PoolLock>();
             ASSERT_EQ(other->take(d.file("pool")), PoolLock::Outcome::Taken);
         },
         PoolLock::Outcome::Held, ""},
        {"a link to another file",
         [&](const TempDir& d, auto&) {
             d.write("victim", "keep");
             fs::create_symlink(d.file("victim"), d.file(lockName));
         },
         PoolLock::Outcome::Failed, "a symbolic link, which is not followed"},
        {"a link to nothing", [&](const TempDir& d, auto&) { fs::create_symlink(d.file("victim"), d.file(lockName)); },
         PoolLock::Outcome::Failed, "a symbolic link, which is not followed"},
        {"a pipe nobody writes to",
         [&](const TempDir& d, auto&) { ASSERT_EQ(::mkfifo(d.file(lockName).c_str(), 0600), 0); },
         PoolLock::Outcome::Failed, "not a plain file"},
        {"a folder", [&](const TempDir& d, auto&) { fs::create_directory(d.file(lockName)); },
         PoolLock::Outcome::Failed, "Is a directory"},
        {"no pool folder", [](const TempDir& d, auto&) { fs::remove(d.file("pool")); }, PoolLock::Outcome::Failed,
         "No such file or directory"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TempDir dir;
        fs::create_directory(dir.file("pool"));
        std::unique_ptr<PoolLock> other;
        row.prepare(dir, other);
        PoolLock lock;
        EXPECT_EQ(lock.take(dir.file("pool")), row.outcome);
        EXPECT_TRUE(lock.reason().ends_with(row.reasonEnd)) << lock.reason();
        EXPECT_FALSE(dir.exists("victim") && dir.read("victim") != "keep");
        EXPECT_EQ(fs::exists(fs::symlink_status(dir.file("victim"))), std::string(row.what) == "a link to another file")
            << "nothing is made through a link";
        if (row.outcome != PoolLock::Outcome::Taken) continue;
        EXPECT_EQ(PoolLock().take(dir.file("pool")), PoolLock::Outcome::Held);
    }
}

// Whoever may write in the pool's folder may lock it; a root run leaves the lock file to the
// folder's owner, who could not take it again otherwise.
TEST(PoolLockTest, TheLockFileIsForThoseWhoMayWriteThePool)
{
    struct Row {
        fs::perms folder;
        fs::perms lock;
    };
    const fs::perms rw = fs::perms::owner_read | fs::perms::owner_write;
    const fs::perms groupRw = fs::perms::group_read | fs::perms::group_write;
    const Row rows[] = {
        {fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec, rw},
        {fs::perms::owner_all | fs::perms::group_all, rw | groupRw},
    };
    for (const Row& row : rows) {
        TempDir dir;
        fs::create_directory(dir.file("pool"));
        fs::permissions(dir.file("pool"), row.folder);
        if (::geteuid() == 0) {
            ASSERT_EQ(::chown(dir.file("pool").c_str(), 65534, 65534), 0);
        }
        const mode_t umask = ::umask(022);
        PoolLock lock;
        EXPECT_EQ(lock.take(dir.file("pool")), PoolLock::Outcome::Taken);
        ::umask(umask);
        struct stat info {};
        ASSERT_EQ(::stat(dir.file(std::string("pool/") + PoolLockFileName).c_str(), &info), 0);
        EXPECT_EQ(fs::perms(info.st_mode & 0777), row.lock);
        if (::geteuid() == 0) {
            EXPECT_EQ(info.st_uid, 65534u);
        }
    }
}

// A program the holder starts (a browser for the help page) does not keep the pool locked after
// the holder has let go.
TEST(PoolLockTest, ProgramsStartedByTheHolderDoNotHoldTheLock)
{
    TempDir dir;
    auto lock = std::make_unique<PoolLock>();
    ASSERT_EQ(lock->take(dir.path()), PoolLock::Outcome::Taken);
    pid_t child = 0;
    char sleep[] = "sleep", seconds[] = "30";
    char* args[] = {sleep, seconds, nullptr};
    ASSERT_EQ(::posix_spawnp(&child, "sleep", nullptr, nullptr, args, environ), 0);
    lock.reset();
    EXPECT_EQ(PoolLock().take(dir.path()), PoolLock::Outcome::Taken);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
}
