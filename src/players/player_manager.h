#pragma once
#include <QDialog>
#include <vector>

#include "pool/players.h"

class TMainForm;

// The Player Manager: lists, opens, deletes, prints and edits stored participants.
class TfrmOpen : public QDialog {
    Q_OBJECT
public:
    TfrmOpen(TMainForm& main, QWidget* parent = nullptr);
    std::vector<TPlayer*> SelectedPlayers;  // chosen with Open, in list order

private:
    TMainForm& m_main;
};
