// The settings store never opens what is not a regular file: a named pipe would hold it (and the
// program) forever, a device would be read without end. Each case runs in a child process with an
// alarm, so a store that waits fails the test instead of stopping the run.
#include <QSettings>
#include <QString>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/pool/errors.h"
#include "gui/settings/qt_settings.h"
#include "support/fake_prompts.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {
// Runs body in a child; its answer ("" when every check held), or how the child ended.
std::string inChild(const std::function<std::string()>& body)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return "no pipe";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeEnds[0]);
        ::alarm(10);
        std::string answer;
        try {
            answer = body();
        } catch (const std::exception& error) {
            answer = std::string("exception: ") + error.what();
        }
        if (::write(pipeEnds[1], answer.data(), answer.size()) < 0) ::_exit(2);
        ::_exit(0);  // never back into the test runner from a child
    }
    ::close(pipeEnds[1]);
    std::string answer;
    char buffer[512];
    for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;) answer.append(buffer, std::size_t(n));
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFSIGNALED(status))
        return "the child was stopped by signal " + std::to_string(WTERMSIG(status)) + " (it waited)";
    return answer;
}

enum class Node { Pipe, Device, Folder };
void plant(Node node, const std::string& path)
{
    fs::create_directories(fs::path(path).parent_path());
    if (node == Node::Pipe) ::mkfifo(path.c_str(), 0600);
    if (node == Node::Device) ::mknod(path.c_str(), S_IFCHR | 0666, ::makedev(1, 5));  // as /dev/zero: no end
    if (node == Node::Folder) fs::create_directory(path);
}
}  // namespace

TEST(SettingsFileKind, OnlyARegularFileIsOpened)
{
    if (::geteuid() != 0) GTEST_SKIP() << "mknod of a device needs root";
    enum class Where { OwnFile, UsersFile, OrganisationFile };
    struct Row {
        Where where;
        Node node;
        const char* reason;  // of the report; none when the store's own file is fine
    };
    const Row rows[] = {
        {Where::OwnFile, Node::Pipe, "it is a named pipe, not a regular file"},
        {Where::OwnFile, Node::Device, "it is a device, not a regular file"},
        {Where::OwnFile, Node::Folder, "it is a folder"},
        {Where::UsersFile, Node::Pipe, "it is a named pipe, not a regular file"},
        {Where::UsersFile, Node::Device, "it is a device, not a regular file"},
        {Where::OrganisationFile, Node::Pipe, nullptr},
        {Where::OrganisationFile, Node::Device, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(int(row.where)) + "/" + std::to_string(int(row.node)));
        TempDir dir;
        const std::string answer = inChild([&]() -> std::string {
            // The per-user store under this folder (the tests run with the standard paths' test mode).
            ::setenv("HOME", dir.path().c_str(), 1);
            ::setenv("XDG_CONFIG_DIRS", dir.file("system").c_str(), 1);
            // The per-user file is the one QSettings itself uses, asked while nothing odd is there.
            std::string path = row.where == Where::OwnFile ? dir.file("own.ini")
                                                           : QSettings(QSettings::NativeFormat, QSettings::UserScope,
                                                                       "Corvanta", "the Hoopfall")
                                                                 .fileName()
                                                                 .toStdString();
            std::string node = path;
            if (row.where == Where::OrganisationFile) {
                node = fs::path(path).parent_path().string() + ".conf";
                fs::create_directories(fs::path(path).parent_path());
                std::ofstream(path) << "[Scoring]\nRound1=5\n";
            }
            plant(row.node, node);
            auto store = row.where == Where::OwnFile ? std::make_unique<QtSettingsStore>(QString::fromStdString(path))
                                                     : std::make_unique<QtSettingsStore>();
            if (store->fileName().toStdString() != path)
                return "the store's file " + store->fileName().toStdString() + " is not " + path;
            struct stat before {};
            ::stat(node.c_str(), &before);
            testPrompts().clear();

            const std::optional<std::string> value = store->read("Scoring", "Round1");
            bool refused = false;
            try {
                store->write("Scoring", "Round2", "7");
            } catch (const HoopError&) {
                refused = true;
            }
            struct stat after {};
            ::stat(node.c_str(), &after);
            if (after.st_ino != before.st_ino || after.st_mode != before.st_mode) return "the node was replaced";
            if (!row.reason) {
                // Only the user's own file counts: it is read and written as ever.
                if (value != "5" || refused || !testPrompts().boxes.empty()) return "the user's file was not used";
                return store->read("Scoring", "Round2") == "7" ? "" : "the write did not reach the user's file";
            }
            if (value || !refused) return "a value was read or written";
            const QString report = "The settings file " + QString::fromStdString(path) +
                                   " cannot be read: " + row.reason +
                                   ". The default settings are used, and the file is left as it is.";
            if (testPrompts().texts() != QStringList{report})
                return "reported: " + testPrompts().texts().join("|").toStdString();
            return "";
        });
        EXPECT_EQ(answer, "");
    }
}
