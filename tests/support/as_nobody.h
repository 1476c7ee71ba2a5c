#pragma once
#include <QCoreApplication>
#include <QProcess>
#include <gtest/gtest.h>
#include <unistd.h>

// Root passes every permission check, so a test about permissions runs itself again as the user
// nobody when it runs as root. True when it did: the caller returns, the run's result is in.
inline bool rerunAsNobody()
{
    if (::geteuid() != 0) return false;
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    QProcess child;
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QStringLiteral("setpriv"),
                {"--reuid=65534", "--regid=65534", "--clear-groups", QCoreApplication::applicationFilePath(),
                 QStringLiteral("--gtest_filter=%1.%2").arg(test->test_suite_name(), test->name())});
    EXPECT_TRUE(child.waitForFinished(60000));
    const QByteArray output = child.readAll();
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
    return true;
}
