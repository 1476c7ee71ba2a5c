// Closing the window never writes over a PICKS.HFD that another program put in its place.
#include <QAction>
#include <QDir>
#include <filesystem>
#include <gtest/gtest.h>

#include "core/pool/players.h"
#include "gui/main/main_window.h"
#include "pool/pool_samples.h"
#include "support/fake_prompts.h"
#include "support/find.h"
#include "support/temp_dir.h"
#include "support/test_settings.h"

namespace fs = std::filesystem;

TEST(ClosingWindow, RefusesToWriteOverAReplacedPicksFileAndSaysSo)
{
    testPrompts().clear();
    TempDir dir;
    dir.write(PicksFileName, records({1, 2}));
    {
        MainWindow main{testSettings(), QString::fromStdString(dir.path())};
        main.session().loadPlayers();
        Player entry;
        entry.id = 3;
        entry.name = "Saved in this run";
        main.session().players().storeEntry(entry, true);
        dir.write("restored", records({9}));  // a copy put back while the window runs
        fs::rename(dir.file("restored"), dir.file(PicksFileName));
        main.show();
        ASSERT_TRUE(main.close());
        ASSERT_EQ(testPrompts().boxes.size(), 1u) << testPrompts().texts().join('|').toStdString();
        EXPECT_EQ(testPrompts().boxes[0].kind, PromptKind::Error);
        EXPECT_TRUE(testPrompts().boxes[0].text.contains(QStringLiteral("was replaced or changed by another program")))
            << testPrompts().boxes[0].text.toStdString();
    }
    EXPECT_EQ(dir.read(PicksFileName), records({9})) << "neither at closing nor when the list goes";
    EXPECT_TRUE(dir.exists(JournalFileName)) << "this run's saves stay";
    testPrompts().clear();
}
