// Where the pool lives, and the ways the program shows it: the About box, the help page and
// Pool, Open Data Folder.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QTextStream>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

#include "core/commands/command_line.h"
#include "core/pool/players.h"
#include "core/pool/team_files.h"
#include "gui/main/data_folder.h"
#include "gui/main/help_page.h"
#include "gui/main/main_window.h"
#include "gui/main/open_url.h"
#include "gui/main/splash.h"
#include "support/as_nobody.h"
#include "support/fake_prompts.h"
#include "support/find.h"
#include "support/temp_dir.h"
#include "support/test_settings.h"

namespace fs = std::filesystem;

namespace {
QString Q(const std::string& text) { return QString::fromStdString(text); }

class DataFolderTest : public ::testing::Test {
protected:
    void SetUp() override { testPrompts().clear(); }
    void TearDown() override
    {
        testPrompts().clear();
        setUrlOpener({});
        setHelpCopyFolder({});
    }
    TempDir dir;
};
}  // namespace

// Permissions are the point here, so as root this runs as the user nobody.
TEST_F(DataFolderTest, ThePoolGoesWhereItCanBeSaved)
{
    if (rerunAsNobody()) return;
    enum Where { Pool, Program, User, Refused };
    struct Row {
        const char* name;
        std::function<void(const TempDir&)> prepare;  // the folders: pool, program, user
        const char* pool;                             // --pool, relative to the temp folder; "" for none
        Where where;
        const char* error;  // with %1 for the folder's full path
    };
    const Row rows[] = {
        {"--pool wins over a portable copy and is made with its parents",
         [](const TempDir& d) { d.write("program/" + PicksFileName, ""); }, "office/2025", Pool, ""},
        {"a portable copy keeps its folder", [](const TempDir& d) { d.write("program/" + TeamsFileName, ""); }, "",
         Program, ""},
        {"a program folder without data files is not the pool's", [](const TempDir&) {}, "", User, ""},
        {"a read-only portable copy falls to the user's folder",
         [](const TempDir& d) {
             d.write("program/" + RegionsFileName, "");
             fs::permissions(d.file("program"), fs::perms::owner_read | fs::perms::owner_exec);
         },
         "", User, ""},
        {"a --pool folder that cannot be made",
         [](const TempDir& d) {
             fs::create_directories(d.file("locked"));
             fs::permissions(d.file("locked"), fs::perms::owner_read | fs::perms::owner_exec);
         },
         "locked/pool", Refused, "The pool folder %1 could not be created: Permission denied."},
        {"a --pool folder that cannot be written to",
         [](const TempDir& d) {
             fs::create_directories(d.file("locked"));
             fs::permissions(d.file("locked"), fs::perms::owner_read | fs::perms::owner_exec);
         },
         "locked", Refused,
         "The pool folder %1 cannot be written to: Permission denied. Nothing could be saved there."},
        {"a --pool that is a file", [](const TempDir& d) { d.write("plain", "x"); }, "plain", Refused,
         "The pool folder %1 is not a folder."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir d;
        fs::create_directories(d.file("program"));
        row.prepare(d);
        const QString pool = *row.pool ? Q(d.file(row.pool)) : QString();
        const UsableFolder chosen =
            chooseDataFolder(pool, Q(d.file("program")), Q(d.file("user/Corvanta/the Hoopfall")));
        const QString expected[] = {pool, Q(d.file("program")), Q(d.file("user/Corvanta/the Hoopfall")), QString()};
        EXPECT_EQ(chosen.path.toStdString(), expected[row.where].toStdString());
        EXPECT_EQ(chosen.error.toStdString(), QString::fromUtf8(row.error).arg(pool).toStdString());
        EXPECT_EQ(d.exists("user"), row.where == User) << "the user's folder is made only when it is used";
        if (!chosen.path.isEmpty()) {
            EXPECT_EQ(QDir(chosen.path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(),
                      row.where == Program ? 1 : 0)
                << "the check that the folder takes new files leaves nothing behind";
        }
        fs::permissions(d.file("program"), fs::perms::owner_all);
    }
}

TEST_F(DataFolderTest, TheCommandLineEndsTheProgramBeforeAnyWindowWhenItIsWrong)
{
    dir.write("plain", "x");
    struct Row {
        QStringList args;
        int exitCode;
        bool folderChosen, usageOnOut;
        const char* err;
        int boxes;
    };
    const char* const tryHelp = "Try 'hoopfall --help' for more information.\n";
    const Row rows[] = {
        {{"--pool", Q(dir.file("pool"))}, 0, true, false, "", 0},
        {{"--help"}, 0, false, true, "", 0},
        {{"--pool"}, UsageExitCode, false, false, "hoopfall: --pool needs a folder: --pool DIR\n", 0},
        {{"--poll=x"}, UsageExitCode, false, false, "hoopfall: unknown option '--poll=x'\n", 0},
        {{"--pool=" + Q(dir.file("plain"))}, 1, false, false, "", 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        testPrompts().clear();
        QString outText, errText;
        QTextStream out(&outText), err(&errText);
        int exitCode = -1;
        const QString folder =
            resolveDataFolder(row.args, Q(dir.file("program")), Q(dir.file("user")), out, err, exitCode);
        EXPECT_EQ(exitCode, row.exitCode);
        EXPECT_EQ(folder.isEmpty(), !row.folderChosen);
        EXPECT_EQ(outText, row.usageOnOut ? QString::fromLatin1(UsageText) : QString());
        EXPECT_EQ(errText, *row.err ? row.err + QString::fromLatin1(tryHelp) : QString());
        EXPECT_EQ(static_cast<int>(testPrompts().boxes.size()), row.boxes);
        EXPECT_FALSE(dir.exists("user")) << "a wrong command line never falls back to another folder";
    }
    EXPECT_EQ(testPrompts().boxes.at(0).kind, PromptKind::Error);

    // "--pool=~/..." reaches the program with its tilde; it means the home folder all the same.
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", dir.file("home").c_str());
    QString none;
    QTextStream out(&none), err(&none);
    int exitCode = -1;
    const QString family = resolveDataFolder({"--pool=~/family"}, Q(dir.file("program")), {}, out, err, exitCode);
    qputenv("HOME", home);
    EXPECT_EQ(family.toStdString(), dir.file("home/family"));
}

TEST_F(DataFolderTest, TheHelpPageNamesThePoolFolder)
{
    struct Row {
        const char* page;
        const char* filled;
    };
    const Row rows[] = {
        {"<p>Kept in <code><!--pool-folder-->your folder<!--/pool-folder--></code>.</p>",
         "<p>Kept in <code><!--pool-folder-->/pools/a&amp;b &lt;x&gt;<!--/pool-folder--></code>.</p>"},
        {"<!--pool-folder--><!--/pool-folder--> and <!--pool-folder-->x<!--/pool-folder-->",
         "<!--pool-folder-->/pools/a&amp;b &lt;x&gt;<!--/pool-folder--> and <!--pool-folder-->/pools/a&amp;b "
         "&lt;x&gt;<!--/pool-folder-->"},
        {"no marks <!--pool-folder--> unclosed", "no marks <!--pool-folder--> unclosed"},
    };
    for (const Row& row : rows) EXPECT_EQ(fillPoolFolder(row.page, "/pools/a&b <x>"), QByteArray(row.filled));

    dir.write("help.html", rows[0].page);
    const QUrl shipped = QUrl::fromLocalFile(Q(dir.file("help.html")));
    EXPECT_EQ(helpPageFor("/pools/a&b <x>", shipped.toLocalFile()), shipped) << "no copy folder: the page as it ships";
    setHelpCopyFolder(Q(dir.file("cache/help")));
    const QUrl office = helpPageFor("/pools/a&b <x>", shipped.toLocalFile());
    const QUrl family = helpPageFor("/pools/family", shipped.toLocalFile());
    ASSERT_NE(office, family) << "each pool has its own copy";
    QFile copy(office.toLocalFile());
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), QByteArray(rows[0].filled));
    EXPECT_EQ(helpPageFor("/pools/x", Q(dir.file("missing.html"))), QUrl::fromLocalFile(Q(dir.file("missing.html"))));
    dir.write("cache/file", "");
    setHelpCopyFolder(Q(dir.file("cache/file")));
    EXPECT_EQ(helpPageFor("/pools/x", shipped.toLocalFile()), shipped) << "a copy that cannot be written";
}

TEST_F(DataFolderTest, TheMainWindowShowsThePoolFolder)
{
    const QString pool = Q(dir.file("office pool"));
    QDir().mkpath(pool);
    MainWindow main(testSettings(), pool);
    std::vector<QUrl> opened;
    bool desktopTakesIt = true;
    setUrlOpener([&](const QUrl& url) {
        opened.push_back(url);
        return desktopTakesIt;
    });

    Find<QAction>(main, "mnuOpenDataFolder")->trigger();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(pool));
    EXPECT_TRUE(testPrompts().boxes.empty());
    desktopTakesIt = false;
    Find<QAction>(main, "mnuOpenDataFolder")->trigger();
    EXPECT_EQ(testPrompts().texts(), QStringList{"The data folder " + pool + " could not be opened."});

    // The build puts the help page beside this test as it does beside the program.
    setHelpCopyFolder(Q(dir.file("cache")));
    Find<QAction>(main, "mnuHlpFAQ")->trigger();
    ASSERT_EQ(opened.size(), 3u);
    EXPECT_TRUE(opened[2].toLocalFile().startsWith(Q(dir.file("cache/"))));
    QFile page(opened[2].toLocalFile());
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    EXPECT_TRUE(page.readAll().contains("<!--pool-folder-->" + pool.toUtf8() + "<!--/pool-folder-->"));

    QString aboutText;
    QTimer::singleShot(0, &main, [&aboutText] {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* about = qobject_cast<SplashWindow*>(window); about && about->isVisible()) {
                aboutText = about->findChild<QLabel*>(QStringLiteral("lblPool"))->text().remove(QChar(0x200B));
                about->accept();
            }
    });
    Find<QAction>(main, "HelpAboutItem")->trigger();
    EXPECT_EQ(aboutText, "Pool: " + pool);
}

TEST_F(DataFolderTest, TheAboutBoxShortensAPathTooLongToFit)
{
    SplashWindow about;
    const QString deep = "/" + QStringList(40, "folder").join('/');
    about.showPoolFolder(deep);
    const QLabel* pool = about.findChild<QLabel*>(QStringLiteral("lblPool"));
    ASSERT_NE(pool, nullptr);
    const QString shown = pool->text();
    EXPECT_TRUE(shown.startsWith("Pool: /folder")) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QChar(0x2026))) << "shortened in the middle";
    EXPECT_LE(pool->fontMetrics().horizontalAdvance(shown), pool->width());
}

TEST_F(DataFolderTest, TheSplashDrawsTheBallOfTheIcon)
{
    SplashWindow splash;
    const QImage image = splash.grab().toImage();
    const QColor leather = image.pixelColor(100, 200);  // between the seams, clear of the labels
    EXPECT_GT(leather.red(), 150);
    EXPECT_LT(leather.blue(), 80) << "orange, not the white behind the ball";
    EXPECT_EQ(image.pixelColor(139, 139), QColor(40, 15, 0)) << "the seams cross at the centre";
}
