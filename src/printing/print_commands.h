#pragma once
struct TPlayer;
class TMainForm;

// Prints the pool sheet: blank without an entry, else that participant's picks. Shows the print
// dialog first; failures after it propagate to the caller.
void PrintPool(TMainForm& main, const TPlayer* entry);
// Prints the rules sheet from the settings.
void PrintRules(TMainForm& main);
