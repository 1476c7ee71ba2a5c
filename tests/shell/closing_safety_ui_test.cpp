// Closing the window never writes over a PICKS.HFD that another program put in its place.
#include <QAction>
#include <QDir>
#include <filesystem>
#include <gtest/gtest.h>

#include "pool/players.h"
#include "shell/main_window.h"
#include "support/fake_prompts.h"
#include "support/find.h"
#include "support/temp_dir.h"
#include "support/test_settings.h"

namespace fs = std::filesystem;

namespace {
std::string PicksOf(std::initializer_list<std::int32_t> ids)
{
    std::string bytes;
    for (std::int32_t id : ids) {
        TPlayer entry;
        entry.Id = id;
        entry.Name = "P" + std::to_string(id);
        unsigned char record[PickRecordSize];
        encodePlayer(entry, record);
        bytes.append(reinterpret_cast<const char*>(record), PickRecordSize);
    }
    return bytes;
}
}  // namespace

TEST(ClosingWindow, RefusesToWriteOverAReplacedPicksFileAndSaysSo)
{
    TestPrompts().clear();
    TempDir dir;
    dir.write(PicksFileName, PicksOf({1, 2}));
    {
        TMainForm main{TestSettings(), QString::fromStdString(dir.path())};
        main.session().LoadPlayers();
        TPlayer entry;
        entry.Id = 3;
        entry.Name = "Saved in this run";
        main.session().players().storeEntry(entry, true);
        dir.write("restored", PicksOf({9}));  // a copy put back while the window runs
        fs::rename(dir.file("restored"), dir.file(PicksFileName));
        main.show();
        ASSERT_TRUE(main.close());
        ASSERT_EQ(TestPrompts().boxes.size(), 1u) << TestPrompts().texts().join('|').toStdString();
        EXPECT_EQ(TestPrompts().boxes[0].kind, PromptKind::Error);
        EXPECT_TRUE(TestPrompts().boxes[0].text.contains(QStringLiteral("was replaced or changed by another program")))
            << TestPrompts().boxes[0].text.toStdString();
    }
    EXPECT_EQ(dir.read(PicksFileName), PicksOf({9})) << "neither at closing nor when the list goes";
    EXPECT_TRUE(dir.exists(JournalFileName)) << "this run's saves stay";
    TestPrompts().clear();
}
