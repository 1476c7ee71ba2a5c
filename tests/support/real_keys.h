#pragma once
// Keys typed on a real X server with xdotool, as a user's keyboard sends them: the server's
// auto-repeat included. The Qt event loop keeps running while xdotool does, so the program
// sees the keys as they come.
#include <QProcess>
#include <QStringList>
#include <QTest>
#include <gtest/gtest.h>

// Runs a shell line of xdotool commands (for example "xdotool keydown Up; sleep 1.5; xdotool
// keyup Up") and pumps events until it ends; false when it failed.
inline bool runXdotool(const QString& script)
{
    QProcess process;
    process.start(QStringLiteral("sh"), {QStringLiteral("-c"), script});
    if (!process.waitForStarted()) return false;
    for (int i = 0; i < 3000 && process.state() != QProcess::NotRunning; ++i) QTest::qWait(10);
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// The window tests of this file need a real X server: run through with_xvfb.sh by ctest.
inline bool onRealX() { return qEnvironmentVariableIsSet("HOOP_REAL_X"); }
