// The running program as a desktop sees it, on a real X server: docks and task bars group a
// window with the menu entry whose desktop file is named as the window's class, and two pools
// open side by side need titles that tell them apart.
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>

#include "core/pool/team_files.h"
#include "pool/pool_samples.h"
#include "support/isolated_process.h"
#include "support/real_keys.h"
#include "support/temp_dir.h"
#include "transfer/transfer_fixture.h"

namespace {
// What xprop says of one property of a window ("" when it failed).
QString property(const QString& window, const char* name)
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {"-id", window, QString::fromLatin1(name)});
    if (!xprop.waitForFinished(10000) || xprop.exitCode() != 0) return {};
    return QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
}

// The value of Key= in the desktop file.
QString desktopValue(const char* key)
{
    QFile file(QStringLiteral(HOOP_DESKTOP_FILE));
    if (!file.open(QIODevice::ReadOnly)) return {};
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.startsWith(QByteArray(key) + '=')) return QString::fromUtf8(line.mid(qsizetype(qstrlen(key)) + 1));
    return {};
}
}  // namespace

TEST(WindowClass, IsTheDesktopFilesNameAndTheTitleNamesAPoolOfItsOwn)
{
    if (!onRealX()) GTEST_SKIP() << "needs a real X server (with_xvfb.sh)";
    TempDir dir;
    QProcessEnvironment env = isolatedEnvironment(dir);
    env.insert("DISPLAY", qEnvironmentVariable("DISPLAY"));
    env.insert("QT_QPA_PLATFORM", "xcb");
    // Pools with their files, so no quick tip waits in front of the window.
    for (const std::string pool : {"data/Corvanta/the Hoopfall", "office"}) {
        std::filesystem::create_directories(dir.file(pool));
        TeamTable teams;
        nameTeams(teams);
        saveTeams(dir.file(pool), teams);
        saveRegions(dir.file(pool), {"East", "West", "South", "Midwest"});
        dir.write(pool + "/PICKS.HFD", records({7}));
    }

    struct Copy {
        QStringList args;
        QProcess process;
        QString window;
    } copies[2];
    copies[1].args = QStringList{"--pool", QString::fromStdString(dir.file("office"))};
    for (Copy& copy : copies) {
        copy.process.setProcessEnvironment(env);
        copy.process.start(QStringLiteral(HOOPFALL_BINARY), copy.args);
        ASSERT_TRUE(copy.process.waitForStarted(10000));
        // The main window, once it is shown with its title.
        QProcess search;
        search.start(QStringLiteral("xdotool"), {"search", "--all", "--sync", "--onlyvisible", "--pid",
                                                 QString::number(copy.process.processId()), "--name", "Pool Manager"});
        const bool found = QTest::qWaitFor([&] { return search.state() == QProcess::NotRunning; }, 60000);
        search.kill();
        search.waitForFinished();
        ASSERT_TRUE(found) << "no window shown for " << copy.args.join(' ').toStdString();
        copy.window = QString::fromLatin1(search.readAllStandardOutput()).split('\n').value(0);
        ASSERT_FALSE(copy.window.isEmpty()) << copy.args.join(' ').toStdString();
    }

    const QString id = QStringLiteral(HOOP_APP_ID);
    EXPECT_EQ(desktopValue("StartupWMClass"), id);
    for (const Copy& copy : copies)
        EXPECT_EQ(property(copy.window, "WM_CLASS"), "WM_CLASS(STRING) = \"hoopfall\", \"" + id + "\"");
    static const QRegularExpression title(QStringLiteral("^_NET_WM_NAME\\(UTF8_STRING\\) = \"(.*)\"$"));
    const QString user = title.match(property(copies[0].window, "_NET_WM_NAME")).captured(1);
    const QString office = title.match(property(copies[1].window, "_NET_WM_NAME")).captured(1);
    EXPECT_FALSE(user.isEmpty());
    EXPECT_EQ(office, user + " - office") << "the user's own pool goes unnamed";

    for (Copy& copy : copies) {
        copy.process.terminate();  // SIGTERM closes it as Exit does
        EXPECT_TRUE(copy.process.waitForFinished(20000));
    }
}
