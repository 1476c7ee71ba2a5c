#pragma once
#include <QString>
#include <functional>
#include <memory>

class SettingsBackend;
class MainWindow;
class SplashWindow;

// Asks once per user account whether to go on with a screen narrower than minWidth; false to stop.
bool checkResolution(SettingsBackend& settings, int screenWidth, int minWidth, const QString& recommended);

// Steps of start-up after the single-instance check: the main window is created with its empty
// participant list, teams and participants are loaded with their quick tips, the splash window
// shows each step. The caller runs the event loop. mainWindowCreated runs once the main window
// exists, before anything is loaded.
std::unique_ptr<MainWindow> createAndLoad(SettingsBackend& settings, const QString& dataDir, SplashWindow* splash,
                                          const std::function<void(MainWindow&)>& mainWindowCreated = {});

// The whole program: single instance, resolution check, splash, main window, event loop.
int runProgram(int argc, char** argv);

inline const char* const ApplicationTitle = "Corvanta: NCAA Tournament Manager";
