#include "standings/standings_window.h"

#include "shell/main_window.h"

TfrmStandings::TfrmStandings(TMainForm& main, QWidget* parent) : TChildForm(parent), m_main(main)
{
    setWindowTitle(QStringLiteral("Standings"));
    RefreshStandings();
}

TfrmStandings::~TfrmStandings()
{
    if (m_main.Players().StandingsWindow == this) m_main.Players().StandingsWindow = nullptr;
}

void TfrmStandings::RefreshStandings() { m_main.Players().Sort(); }
