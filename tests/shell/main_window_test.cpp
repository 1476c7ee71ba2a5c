#include <QLabel>
#include <gtest/gtest.h>

#include "shell/main_window.h"
#include "support/temp_dir.h"

TEST(MainWindow, Caption)
{
    TempDir dir;
    TMainForm main(QString::fromStdString(dir.path()));
    EXPECT_EQ(main.windowTitle(), QStringLiteral("Corvanta: NCAA Tournament Pool Manager"));
}
