// What a save may replace: only a regular file, reached through links the kernel itself would
// follow. Device nodes and foreign links need root to make, as CI has.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include "core/pool/errors.h"
#include "core/pool/file_io.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using ::testing::HasSubstr;

namespace {
// Names in a folder, sorted.
std::vector<std::string> namesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& item : fs::directory_iterator(folder)) names.push_back(item.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A save that opened a pipe would wait for a reader forever: the alarm ends the test run instead.
struct Alarm {
    Alarm() { ::alarm(30); }
    ~Alarm() { ::alarm(0); }
};

std::string refusalOf(const std::function<void()>& save)
{
    try {
        save();
    } catch (const HoopError& error) {
        return error.what();
    }
    return "(no error)";
}
}  // namespace

TEST(WriteTargets, OnlyARegularFileIsReplaced)
{
    if (::geteuid() != 0) GTEST_SKIP() << "mknod of a device needs root";
    const Alarm alarm;
    enum Node { Pipe, Device, Socket, Folder, LinkToPipe, FolderWithSlash };
    struct Row {
        Node node;
        const char* reason;
    };
    const Row rows[] = {
        {Pipe, "it is a named pipe, not a regular file"},       {Device, "it is a device, not a regular file"},
        {Socket, "it is a socket, not a regular file"},         {Folder, "Is a directory"},
        {LinkToPipe, "it is a named pipe, not a regular file"}, {FolderWithSlash, "Is a directory"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.node);
        TempDir dir;
        std::string path = dir.file("target");
        switch (row.node) {
        case Pipe: ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0); break;
        case Device: ASSERT_EQ(::mknod(path.c_str(), S_IFCHR | 0666, ::makedev(1, 3)), 0); break;  // as /dev/null
        case Socket: {
            const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            path.copy(address.sun_path, sizeof address.sun_path - 1);
            ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
            ::close(s);
            break;
        }
        case Folder: fs::create_directory(path); break;
        case LinkToPipe:
            ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0644), 0);
            fs::create_symlink("pipe", path);
            break;
        case FolderWithSlash:
            fs::create_directory(path);
            path += "/";
            break;
        }
        struct stat before {};
        ASSERT_EQ(::stat(path.c_str(), &before), 0);
        const auto names = namesIn(dir.path());

        const bool folder = row.node == Folder || row.node == FolderWithSlash;
        EXPECT_EQ(refusalOf([&] { writeFileAtomic(path, "data"); }),
                  folder ? "Cannot replace file " + path + ": " + row.reason
                         : "Cannot write file " + path + ": " + row.reason + ", so it is left as it is");
        struct stat after {};
        ASSERT_EQ(::stat(path.c_str(), &after), 0);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_rdev, before.st_rdev);
        EXPECT_EQ(namesIn(dir.path()), names) << "nothing made beside it";
    }
}

// The kernel's rule for links in a sticky folder anyone may write to (fs.protected_symlinks): a
// link is followed only when it is the follower's own or the folder owner's.
TEST(WriteTargets, ALinkInASharedFolderIsFollowedOnlyAsTheKernelWould)
{
    if (::geteuid() != 0) GTEST_SKIP() << "lchown to another user needs root";
    const uid_t folderOwner = 4242, stranger = 65534;
    struct Row {
        const char* what;
        mode_t folderMode;
        std::vector<uid_t> linkOwners;  // a chain of links in the shared folder, the first named by the save
        bool followed;
    };
    const Row rows[] = {
        {"another user's link", 01777, {stranger}, false},
        {"the folder owner's link", 01777, {folderOwner}, true},
        {"our own link", 01777, {0}, true},
        {"our link to another user's link", 01777, {0, stranger}, false},
        {"another user's link in a folder that is not sticky", 0777, {stranger}, true},
        {"another user's link in a sticky folder only its owner writes to", 01755, {stranger}, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TempDir dir;
        const std::string shared = dir.file("shared");
        fs::create_directory(shared);
        ASSERT_EQ(::chown(shared.c_str(), folderOwner, folderOwner), 0);
        ASSERT_EQ(::chmod(shared.c_str(), row.folderMode), 0);
        dir.write("victim", "the victim's own");
        // link0 -> link1 -> ... -> the victim's file, outside the shared folder
        for (std::size_t i = 0; i < row.linkOwners.size(); ++i) {
            const std::string link = shared + "/link" + std::to_string(i);
            const std::string next =
                i + 1 < row.linkOwners.size() ? "link" + std::to_string(i + 1) : dir.file("victim");
            fs::create_symlink(next, link);
            ASSERT_EQ(::lchown(link.c_str(), row.linkOwners[i], row.linkOwners[i]), 0);
        }
        const std::string path = shared + "/link0";
        const std::string refusal = refusalOf([&] { writeFileAtomic(path, "written"); });
        if (row.followed) {
            EXPECT_EQ(refusal, "(no error)");
            EXPECT_EQ(dir.read("victim"), "written");
        } else {
            EXPECT_THAT(refusal, HasSubstr("Cannot write file " + path + ": "));
            EXPECT_THAT(
                refusal,
                HasSubstr("is a symbolic link of another user in a folder shared by all, so it is not followed"));
            EXPECT_EQ(dir.read("victim"), "the victim's own");
        }
        EXPECT_TRUE(fs::is_symlink(path));
        EXPECT_EQ(namesIn(shared).size(), row.linkOwners.size()) << "no temp file left";
        EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"shared", "victim"}));
    }
}
