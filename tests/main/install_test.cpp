// The program as a user gets it: installed by the project's install rules into a prefix of its
// own, and packaged with CPack. The installed program runs with a temp home and no XDG folders of
// the caller's, as the user nobody when the tests run as root, so the read-only cases are real and
// nothing of the real user's is touched.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

#include "core/commands/pool_lock.h"
#include "core/pool/players.h"
#include "pool/pool_samples.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {
constexpr uid_t Nobody = 65534;

QString Q(const std::string& text) { return QString::fromStdString(text); }

// Output and exit code of a tool; empty output and -1 when it did not run.
struct Ran {
    int exitCode = -1;
    QByteArray output;
};
Ran runTool(const QString& program, const QStringList& args, int timeoutMs = 120000)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    if (!process.waitForFinished(timeoutMs) || process.exitStatus() != QProcess::NormalExit) return {};
    return {process.exitCode(), process.readAll()};
}

// As root, everything the program may touch goes to nobody.
void giveAway(const fs::path& path)
{
    if (::geteuid() != 0) return;
    (void)::chown(path.c_str(), Nobody, Nobody);
    if (fs::is_directory(path))
        for (const auto& entry : fs::recursive_directory_iterator(path))
            (void)::chown(entry.path().c_str(), Nobody, Nobody);
}

class Installed : public ::testing::Test {
protected:
    // One install for every test of this program.
    static void SetUpTestSuite()
    {
        prefix = std::make_unique<TempDir>();
        const Ran install =
            runTool(QStringLiteral(HOOP_CMAKE), {"--install", HOOP_BUILD_DIR, "--prefix", Q(prefix->path())});
        installOutput = install.output;
        installed = install.exitCode == 0;
        giveAway(prefix->path());
    }
    static void TearDownTestSuite() { prefix.reset(); }
    void SetUp() override { ASSERT_TRUE(installed) << installOutput.toStdString(); }

    static QString inPrefix(const char* path) { return QDir(Q(prefix->path())).filePath(QString::fromLatin1(path)); }

    static std::unique_ptr<TempDir> prefix;
    static bool installed;
    static QByteArray installOutput;
};
std::unique_ptr<TempDir> Installed::prefix;
bool Installed::installed = false;
QByteArray Installed::installOutput;

// The installed program started by an ordinary user with a home of its own.
class UserSession {
public:
    UserSession()
    {
        for (const char* sub : {"run", "tmp"}) fs::create_directories(home.file(sub));
        fs::permissions(home.file("run"), fs::perms::owner_all);
        giveAway(home.path());
    }
    QString homePath() const { return Q(home.path()); }
    QString userFolder() const { return Q(home.file(".local/share/Corvanta/the Hoopfall")); }

    void start(const QString& program, const QStringList& args)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name :
             {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME", "XDG_DATA_DIRS"})
            env.remove(QString::fromLatin1(name));
        env.insert("HOME", homePath());
        env.insert("XDG_RUNTIME_DIR", Q(home.file("run")));
        env.insert("TMPDIR", Q(home.file("tmp")));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(homePath());
        if (::geteuid() == 0)
            process.start("setpriv", QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", program} + args);
        else
            process.start(program, args);
    }
    // The main window listens on its socket once it exists; a copy that never gets there ended early.
    bool waitUntilRunning()
    {
        for (int waited = 0; waited < 60000; waited += 50) {
            for (const auto& entry : fs::directory_iterator(home.file("run")))
                if (fs::is_socket(entry.status())) return true;
            if (process.waitForFinished(50)) return false;
        }
        return false;
    }
    ~UserSession()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }

    TempDir home;
    QProcess process;
};
}  // namespace

TEST_F(Installed, EveryFileIsWhereTheDesktopLooksAndValidates)
{
    for (const char* path :
         {"bin/hoopfall", "share/hoopfall/help.html", "share/applications/com.corvanta.Hoopfall.desktop",
          "share/icons/hicolor/scalable/apps/com.corvanta.Hoopfall.svg",
          "share/metainfo/com.corvanta.Hoopfall.metainfo.xml"})
        EXPECT_TRUE(QFile::exists(inPrefix(path))) << path;
    const Ran desktop =
        runTool("desktop-file-validate", {inPrefix("share/applications/com.corvanta.Hoopfall.desktop")});
    EXPECT_EQ(desktop.exitCode, 0);
    EXPECT_EQ(desktop.output.toStdString(), "") << "no warnings either";
    const Ran metainfo = runTool(
        "appstreamcli", {"validate", "--no-net", inPrefix("share/metainfo/com.corvanta.Hoopfall.metainfo.xml")});
    EXPECT_EQ(metainfo.exitCode, 0) << metainfo.output.toStdString();
}

TEST_F(Installed, TheProgramKeepsItsPoolWhereItCanBeSaved)
{
    enum Where { User, Pool, Program };
    struct Row {
        const char* name;
        QStringList args;  // "{pool}" stands for a folder of the user's that does not exist yet
        bool dataBesideProgram, programReadOnly;
        Where where;
    };
    const Row rows[] = {
        {"a first start with no data anywhere", {}, false, false, User},
        {"--pool DIR", {"--pool", "{pool}"}, false, false, Pool},
        {"--pool=DIR over a portable copy", {"--pool={pool}"}, true, false, Pool},
        {"a portable copy", {}, true, false, Program},
        {"a read-only program folder", {}, false, true, User},
        {"a read-only portable copy", {}, true, true, User},
    };
    const fs::path bin = inPrefix("bin").toStdString();
    const fs::path besideProgram = bin / PicksFileName;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        UserSession user;
        const QString pool = QDir(user.homePath()).filePath("pools/family");
        if (row.dataBesideProgram) {
            std::ofstream(besideProgram, std::ios::binary) << records({7, 8});
            giveAway(besideProgram);
        }
        fs::permissions(bin, row.programReadOnly ? fs::perms::owner_read | fs::perms::owner_exec : fs::perms::owner_all,
                        fs::perm_options::replace);
        user.start(inPrefix("bin/hoopfall"), QStringList(row.args).replaceInStrings("{pool}", pool));
        EXPECT_TRUE(user.waitUntilRunning()) << user.process.readAllStandardError().toStdString();
        user.process.terminate();  // SIGTERM closes it as Exit does
        EXPECT_TRUE(user.process.waitForFinished(20000));
        EXPECT_EQ(user.process.exitCode(), 0);

        const QString folders[] = {user.userFolder(), pool, inPrefix("bin")};
        EXPECT_TRUE(QFile::exists(QDir(folders[row.where]).filePath(Q(PicksFileName))));
        EXPECT_EQ(QFile::exists(user.userFolder()), row.where == User) << "the user's folder is made only when used";
        EXPECT_EQ(fs::exists(besideProgram), row.dataBesideProgram);
        if (row.dataBesideProgram) {
            std::ifstream in(besideProgram, std::ios::binary);
            EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), records({7, 8})) << "kept, whoever used it";
        }
        // The program, the pool's data file, and the pool's lock when the pool was there.
        std::size_t files = 0;
        for ([[maybe_unused]] const auto& entry : fs::directory_iterator(bin)) ++files;
        EXPECT_EQ(files, (row.dataBesideProgram ? 2u : 1u) + (row.where == Program ? 1u : 0u))
            << "nothing else is written beside the program";

        fs::permissions(bin, fs::perms::owner_all, fs::perm_options::add);
        fs::remove(besideProgram);
        fs::remove(bin / PoolLockFileName);
    }
}

TEST_F(Installed, AWrongCommandLineEndsWithoutStarting)
{
    UserSession user;
    user.start(inPrefix("bin/hoopfall"), {"--pool"});
    ASSERT_TRUE(user.process.waitForFinished(30000));
    EXPECT_EQ(user.process.exitCode(), 2);
    EXPECT_TRUE(user.process.readAllStandardError().startsWith("hoopfall: --pool needs a folder"));
    EXPECT_FALSE(QFile::exists(user.userFolder()));
}

// One package for the tests of it.
class Package : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        out = std::make_unique<TempDir>();
        const Ran cpack = runTool(QStringLiteral(HOOP_CPACK),
                                  {"--config", HOOP_BUILD_DIR "/CPackConfig.cmake", "-B", Q(out->path())});
        cpackOutput = cpack.output;
        for (const QString& name : QDir(Q(out->path())).entryList({"hoopfall_*.deb"}, QDir::Files))
            deb = QDir(Q(out->path())).filePath(name);
    }
    static void TearDownTestSuite() { out.reset(); }
    void SetUp() override { ASSERT_FALSE(deb.isEmpty()) << cpackOutput.toStdString(); }
    static QByteArray field(const char* name) { return runTool("dpkg-deb", {"--field", deb, name}).output.trimmed(); }

    static std::unique_ptr<TempDir> out;
    static QString deb;
    static QByteArray cpackOutput;
};
std::unique_ptr<TempDir> Package::out;
QString Package::deb;
QByteArray Package::cpackOutput;

TEST_F(Package, HoldsTheInstalledFilesAndNamesItsDependencies)
{
    // Built by its makers, not by Debian: the program's version with a package revision.
    const QByteArray version = field("Version");
    EXPECT_TRUE(version.startsWith(HOOP_VERSION "-")) << version.toStdString();
    EXPECT_EQ(QFileInfo(deb).fileName(),
              "hoopfall_" + version + "_" + runTool("dpkg", {"--print-architecture"}).output.trimmed() + ".deb");

    const QByteArray contents = runTool("dpkg-deb", {"--contents", deb}).output;
    for (const char* path :
         {"./usr/bin/hoopfall", "./usr/share/hoopfall/help.html",
          "./usr/share/applications/com.corvanta.Hoopfall.desktop",
          "./usr/share/icons/hicolor/scalable/apps/com.corvanta.Hoopfall.svg",
          "./usr/share/metainfo/com.corvanta.Hoopfall.metainfo.xml", "./usr/share/man/man1/hoopfall.1.gz",
          "./usr/share/doc/hoopfall/copyright", "./usr/share/doc/hoopfall/changelog.Debian.gz"})
        EXPECT_TRUE(contents.contains(QByteArray(path) + '\n')) << path;
    for (const char* library : {"libqt6widgets6", "libqt6svg6"})
        EXPECT_TRUE(field("Depends").contains(library)) << library << " in " << field("Depends").toStdString();
    // SimpleIni is compiled in from its header, so neither it nor the ICU it would pull in is needed.
    EXPECT_FALSE(field("Depends").contains("libsimpleini")) << field("Depends").toStdString();
    EXPECT_EQ(field("Recommends"), QByteArray("fonts-wine, fonts-liberation, fonts-dejavu-core, xdg-utils"));

    // The changelog's entry is the package's version.
    TempDir root;
    ASSERT_EQ(runTool("dpkg-deb", {"-x", deb, Q(root.path())}).exitCode, 0);
    const Ran changelog = runTool("zcat", {Q(root.file("usr/share/doc/hoopfall/changelog.Debian.gz"))});
    EXPECT_TRUE(changelog.output.startsWith("hoopfall (" + version + ") ")) << changelog.output.toStdString();
}

// Debian's own checker finds no error and no warning, and the program is built with every
// hardening flag it looks for (those it reports only as information).
TEST_F(Package, LintianFindsNothingWrong)
{
    if (QStandardPaths::findExecutable("lintian").isEmpty()) GTEST_SKIP() << "lintian is not installed (make deps)";
    const Ran lintian = runTool("lintian", {"--display-info", "--tag-display-limit", "0", deb});
    ASSERT_NE(lintian.exitCode, -1);
    QStringList faults;
    for (const QByteArray& line : lintian.output.split('\n'))
        if (line.startsWith("E: ") || line.startsWith("W: ") || line.contains(" hardening-"))
            faults << QString::fromUtf8(line);
    EXPECT_EQ(faults.join('\n').toStdString(), "") << lintian.output.toStdString();
}
