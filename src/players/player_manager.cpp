#include "players/player_manager.h"

#include "shell/main_window.h"

TfrmOpen::TfrmOpen(TMainForm& main, QWidget* parent) : QDialog(parent), m_main(main)
{
    setWindowTitle(QStringLiteral("Player Manager"));
}
