#include "printing/print_commands.h"

#include "shell/main_window.h"

void PrintPool(TMainForm&, const TPlayer*) {}
void PrintRules(TMainForm&) {}
