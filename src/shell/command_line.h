#pragma once
#include <optional>
#include <string>
#include <vector>

// What the program was asked for on its command line.
struct CommandLine {
    std::optional<std::string> poolDir;  // --pool DIR: the pool's folder, as typed
    bool help = false;                   // --help or -h: print the usage and end
    bool outlook = false;                // --outlook: print the pool's outlook and end, no window
    int places = 3;                      // --places N: the paid places of the outlook, 1 to 8
    std::string error;                   // not empty: the command line is wrong, this says how
};

// Reads the arguments that follow the program's name. A value that starts with "-" is taken for
// a forgotten DIR, not for a folder: "--pool --help" is an error, "--pool=-x" or "--pool ./-x"
// name such a folder.
CommandLine parseCommandLine(const std::vector<std::string>& args);

inline const char* const UsageText =
    "Usage: hoopfall [--pool DIR]\n"
    "       hoopfall --pool DIR --outlook [--places N]\n"
    "\n"
    "  --pool DIR   keep the pool's data files in DIR (created when missing); one folder per pool\n"
    "  --outlook    print the Pool Outlook of the pool in DIR as tab-separated text and end,\n"
    "               without a window; the pool's files are only read\n"
    "  --places N   paid places for Money % (1 to 8; 3 when not given)\n"
    "  -h, --help   show this text and end\n"
    "\n"
    "Without --pool the pool is kept beside the program when its data files are there and the\n"
    "folder can be written to, else in the user's data folder.\n";

// The exit code for a command line the program cannot follow, and for an outlook of a pool that
// cannot be read.
inline constexpr int UsageExitCode = 2;
