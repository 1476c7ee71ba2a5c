#pragma once
#include <QString>

#include "gui/widgets/prompts.h"

class SettingsBackend;

// Where the file dialogs start: in the folder the user last chose a file in, remembered in the
// settings; before that, or once that folder is gone, in the user's documents folder (the home
// folder when there is none). Never in the pool's folder, which holds only the program's files.
QString dialogStartFolder(SettingsBackend& settings);
// Remembers the folder of a file the user chose. Not remembering is no fault worth a box: the
// next dialog only starts somewhere else.
void rememberDialogFolder(SettingsBackend& settings, const QString& chosenFile);

// The open and save dialogs of the prompts, started there; the chosen file's folder is
// remembered. False when cancelled. A save request that proposes a full path starts at that path.
bool chooseFileToOpen(SettingsBackend& settings, OpenFileRequest& request);
bool chooseFileToSave(SettingsBackend& settings, SaveFileRequest& request);
