#include <QDir>

#include "pool/team_files.h"
#include "settings/qt_settings.h"
#include "shell/application.h"
#include "shell/main_window.h"

int main(int argc, char** argv)
{
    HoopApplication app(argc, argv);
    QtSettingsStore settings;
    SetSettingsStore(&settings);
    TMainForm main(QCoreApplication::applicationDirPath());
    LoadTeams(main.DataDirBytes(), main);
    main.Players().LoadPlayers();
    main.showMaximized();
    return app.exec();
}
