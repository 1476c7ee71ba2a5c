#pragma once
#include <optional>
#include <string>
#include <vector>

// What the program was asked for on its command line.
struct CommandLine {
    std::optional<std::string> poolDir;  // --pool DIR: the pool's folder, as typed
    bool help = false;                   // --help or -h: print the usage and end
    std::string error;                   // not empty: the command line is wrong, this says how
};

// Reads the arguments that follow the program's name. A value that starts with "-" is taken for
// a forgotten DIR, not for a folder: "--pool --help" is an error, "--pool=-x" or "--pool ./-x"
// name such a folder.
CommandLine parseCommandLine(const std::vector<std::string>& args);

inline const char* const UsageText =
    "Usage: hoopfall [--pool DIR]\n"
    "\n"
    "  --pool DIR   keep the pool's data files in DIR (created when missing); one folder per pool\n"
    "  -h, --help   show this text and end\n"
    "\n"
    "Without --pool the pool is kept beside the program when its data files are there and the\n"
    "folder can be written to, else in the user's data folder.\n";

// The exit code for a command line the program cannot follow.
inline constexpr int UsageExitCode = 2;
