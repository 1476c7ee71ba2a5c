#include "shell/backup.h"

#include "shell/main_window.h"

void RunBackup(TMainForm&) {}
