#pragma once
#include <iosfwd>
#include <string>

#include "core/commands/command_line.h"

class SettingsBackend;

// Exit statuses of a command run without a window.
inline constexpr int BatchDone = 0;
inline constexpr int BatchRowsRefused = 1;  // each refused row was listed; the others were imported
inline constexpr int BatchFailed = 2;       // nothing could be done, or something went wrong

// Whether the command changes the pool, so that no window of the program may hold it meanwhile.
bool batchCommandChangesPool(BatchCommand command);

// Runs the command of the command line on the pool in dataDir without a window. What was done
// goes to out, what went wrong to err, as lines of UTF-8; an export to the FILE "-" writes to out
// the bytes its file would hold, an import from "-" reads in (null: std::cin). Returns the exit
// status.
//
// A command that only reads leaves the pool's folder as it was, takes no lock, and refuses a
// folder that holds no pool. One that changes the pool holds the pool's lock for the whole run
// (refused while the program or another command holds it) and checks its file against the pool as
// it stands; only then does it load the pool as start-up does, store through the journal, and
// write PICKS.HFD as closing does.
int runBatchCommand(const CommandLine& line, const std::string& dataDir, SettingsBackend& settings, std::ostream& out,
                    std::ostream& err, std::istream* in = nullptr);
