// Entry point of every window test: the real application object with its error report, the
// offscreen platform (or a real X server), a settings store in memory and prompts answered by
// the fake.
#include <QStandardPaths>
#include <gtest/gtest.h>

#include "gui/main/application.h"
#include "support/fake_prompts.h"
#include "support/test_settings.h"

MemorySettings& testSettings()
{
    static MemorySettings store;
    return store;
}

int main(int argc, char** argv)
{
    // with_xvfb.sh sets HOOP_REAL_X for the tests that need a real X server.
    if (!qEnvironmentVariableIsSet("HOOP_REAL_X")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);  // never the user's own folders
    HoopApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    FakePrompts prompts;
    setPrompts(&prompts);
    const int result = RUN_ALL_TESTS();
    setPrompts(nullptr);
    return result;
}
