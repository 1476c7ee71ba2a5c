#pragma once
struct TPlayer;
class IFrame;
class TPoolSession;

// Prints the pool sheet: blank without an entry, else that participant's picks. Shows the print
// dialog first; failures after it propagate to the caller, with the job ended, the progress bar
// at 0 and the normal cursor back.
void PrintPool(TPoolSession& session, IFrame& frame, const TPlayer* entry);
// Prints the rules sheet from the settings, one print job per copy.
void printRules(TPoolSession& session, IFrame& frame);
