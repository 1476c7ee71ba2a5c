// Pool, Publish... in the main window: the folder dialog, the folder remembered, and the open
// windows' list left in its order.
#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

#include "core/pool/team_files.h"
#include "core/settings/settings.h"
#include "gui/main/main_window.h"
#include "gui/publish/publish_command.h"
#include "pool/pool_samples.h"
#include "support/fake_prompts.h"
#include "support/find.h"
#include "support/temp_dir.h"
#include "support/test_settings.h"

TEST(PublishWindow, PoolPublishWritesTheSiteToTheChosenFolderAndRemembersIt)
{
    TempDir dir;
    testSettings().values.clear();
    testPrompts().clear();
    saveRegions(dir.path(), {"East", "West", "South", "Midwest"});
    auto main = std::make_unique<MainWindow>(testSettings(), QString::fromStdString(dir.path()));
    fillRandomPool(main->session().players(), 6);
    const std::vector<std::int32_t> order = ids(main->session().players());
    main->show();
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));

    const QString site = QString::fromStdString(dir.file("site"));
    const QString other = QString::fromStdString(dir.file("mine"));
    dir.write("mine", "");  // a file, not a folder: refused
    for (const QString& chosen : {site, other, site}) {
        testPrompts().folderAnswers.push_back([chosen](FolderRequest& request) {
            request.directory = chosen;
            return true;
        });
        QTest::keyClick(main.get(), Qt::Key_P, Qt::AltModifier);
        ASSERT_TRUE(QTest::qWaitFor([&] { return Find<QMenu>(*main, "mnuPool")->isVisible(); }));
        QTest::keyClick(Find<QMenu>(*main, "mnuPool"), Qt::Key_P);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !testPrompts().boxes.empty(); }));
        const FakePrompts::Box box = testPrompts().boxes.back();
        testPrompts().boxes.clear();
        if (chosen == other) {
            EXPECT_EQ(box.kind, PromptKind::Error);
            EXPECT_TRUE(box.text.contains("is not a folder")) << box.text.toStdString();
        } else {
            EXPECT_EQ(box.kind, PromptKind::Information);
            EXPECT_TRUE(box.text.startsWith("Site published to ")) << box.text.toStdString();
        }
    }
    ASSERT_EQ(testPrompts().folderRequests.size(), 3u);
    EXPECT_EQ(testPrompts().folderRequests[0].directory.toStdString(), dir.path());
    EXPECT_EQ(testPrompts().folderRequests[1].directory, site);  // the last folder chosen
    EXPECT_TRUE(dir.read("site/index.html").find("Player 6") != std::string::npos);
    EXPECT_EQ(dir.read("mine"), "");
    EXPECT_EQ(ids(main->session().players()), order);
    main.reset();
    testPrompts().clear();
}
