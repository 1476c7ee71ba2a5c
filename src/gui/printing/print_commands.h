#pragma once
struct Player;
class Frame;
class PoolSession;

// Prints the pool sheet: blank without an entry, else that participant's picks. Shows the print
// dialog first; failures after it propagate to the caller, with the job ended, the progress bar
// at 0 and the normal cursor back.
void printPool(PoolSession& session, Frame& frame, const Player* entry);
// Prints the rules sheet from the settings, one print job per copy.
void printRules(PoolSession& session, Frame& frame);
