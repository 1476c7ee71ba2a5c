// The start-up splash as a user sees it: the screen grabbed while the participants load, on a
// real X server and on the offscreen platform.
#include <QGuiApplication>
#include <QLabel>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>
#include <unistd.h>

#include "core/settings/settings.h"
#include "gui/main/main_window.h"
#include "gui/main/splash.h"
#include "gui/main/startup.h"
#include "support/fake_prompts.h"
#include "support/temp_dir.h"
#include "support/test_settings.h"

namespace {
// What the screen showed when the picks file was first read.
struct Moment {
    bool taken = false;
    QString status;
    QImage screen;   // the splash's square, as grabbed from the root window
    QImage painted;  // the same square as the splash paints it
};
Moment g_moment;
SplashWindow* g_splash = nullptr;

bool isPicksFile(int fd)
{
    char target[4096] = {};
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    return readlink(link.c_str(), target, sizeof target - 1) > 0 && std::string_view(target).ends_with("/PICKS.HFD");
}

// The read seam of the pool: the participants load slowly, and the first read of their file
// looks at the screen.
ssize_t slowRead(int fd, void* buffer, std::size_t size)
{
    if (!g_moment.taken && isPicksFile(fd)) {
        g_moment.taken = true;
        usleep(300 * 1000);
        const QRect area(g_splash->mapToGlobal(QPoint(0, 0)), g_splash->size());
        g_moment.screen = g_splash->screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
        g_moment.painted = g_splash->grab().toImage();
        g_moment.status = g_splash->findChild<QLabel*>(QStringLiteral("lblStatus"))->text();
    }
    return ::read(fd, buffer, size);
}

// Pixels of the status line that show the label as painted, and how many of them are its text.
std::pair<int, int> StatusLineMatch(const QImage& screen, const QImage& painted)
{
    int same = 0, text = 0;
    const QRect line(16, 144, 249, 19);
    for (int y = line.top(); y <= line.bottom(); ++y)
        for (int x = line.left(); x <= line.right(); ++x) {
            const QColor want = painted.pixelColor(x, y);
            const bool yellow = want.red() > 200 && want.green() > 200 && want.blue() < 100;
            text += yellow;
            same += yellow && screen.pixelColor(x, y) == want;
        }
    return {same, text};
}
}  // namespace

TEST(SplashOnScreen, ShowsTheBallAndItsStatusWhileThePicksLoad)
{
    TempDir dir;
    dir.write("PICKS.HFD", std::string(3 * 300, '\0'));
    MemorySettings store;
    SplashWindow splash;
    g_splash = &splash;
    splash.showAtStartUp();
    auto main = createAndLoad(store, QString::fromStdString(dir.path()), &splash,
                              [](MainWindow& window) { window.session().setReadFunction(slowRead); });
    ASSERT_TRUE(g_moment.taken);
    EXPECT_EQ(g_moment.status, QStringLiteral("Loading Players Picks..."));
    ASSERT_EQ(g_moment.screen.size(), QSize(278, 278));
    const QColor leather = g_moment.screen.pixelColor(100, 200);
    EXPECT_TRUE(leather.red() > 150 && leather.blue() < 80) << "the ball's orange";
    EXPECT_EQ(g_moment.screen.pixelColor(139, 139), QColor(40, 15, 0)) << "the seams cross at the centre";
    const auto [same, text] = StatusLineMatch(g_moment.screen, g_moment.painted);
    EXPECT_GT(text, 50) << "the status line has text";
    EXPECT_EQ(same, text) << "the screen shows the status line as painted";
    g_splash = nullptr;
}

// While start-up waits for the splash to be shown, a key the user pressed waits too.
TEST(SplashOnScreen, WaitingForTheSplashRunsNoUserInput)
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        GTEST_SKIP() << "keys from xdotool need a real X server";
    QWidget earlier;
    earlier.resize(200, 100);
    earlier.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&earlier));
    // Counted wherever it lands: the window manager may give the focus to the splash meanwhile.
    struct KeyCount final : QObject {
        int presses = 0;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            const auto* widget = qobject_cast<QWidget*>(watched);
            presses += event->type() == QEvent::KeyPress && widget && widget->isWindow();
            return false;
        }
    } keys;
    qApp->installEventFilter(&keys);
    ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("a")}), 0);

    SplashWindow splash;
    splash.showAtStartUp();
    EXPECT_TRUE(splash.windowHandle()->isExposed());
    EXPECT_EQ(keys.presses, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return keys.presses == 1; }, 5000)) << "the key comes once start-up is done";
}

// The main window fills its screen at start, with a window manager and without one (where
// "maximized" is a request nobody answers).
TEST(MainWindowOnScreen, FillsTheScreenAtStart)
{
    TempDir dir;
    MainWindow main(testSettings(), QString::fromStdString(dir.path()));
    main.showAtStart();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    const QRect screen = main.screen()->availableGeometry();
    // A window manager's frame takes its share of the screen.
    EXPECT_TRUE(QTest::qWaitFor([&] { return main.frameGeometry().width() >= screen.width(); }))
        << main.frameGeometry().width() << " of " << screen.width();
    EXPECT_GE(main.frameGeometry().height(), screen.height() * 9 / 10);
}
