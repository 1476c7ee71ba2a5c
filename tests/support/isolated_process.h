#pragma once
// The environment of a program run by a test: its home, settings, data, temp and runtime folders
// inside the test's temp folder, and no display, so the run never touches the user's own files
// and must manage without a screen.
#include <QProcessEnvironment>
#include <QString>
#include <filesystem>

#include "support/temp_dir.h"

inline QProcessEnvironment isolatedEnvironment(const TempDir& dir)
{
    for (const char* folder : {"tmp", "config/Corvanta", "run"}) std::filesystem::create_directories(dir.file(folder));
    std::filesystem::permissions(dir.file("run"), std::filesystem::perms::owner_all);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(display);
    for (const auto& [name, folder] : {std::pair{"HOME", ""},
                                       {"XDG_CONFIG_HOME", "/config"},
                                       {"XDG_DATA_HOME", "/data"},
                                       {"TMPDIR", "/tmp"},
                                       {"XDG_RUNTIME_DIR", "/run"}})
        env.insert(name, QString::fromStdString(dir.path()) + folder);
    return env;
}
