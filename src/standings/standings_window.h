#pragma once
#include "pool/players.h"
#include "shell/child_form.h"

class TMainForm;

// The one standings window: the sorted participant list in a grid.
class TfrmStandings : public TChildForm, public IStandingsView {
    Q_OBJECT
public:
    explicit TfrmStandings(TMainForm& main, QWidget* parent = nullptr);
    ~TfrmStandings() override;
    void RefreshStandings() override;

private:
    TMainForm& m_main;
};
