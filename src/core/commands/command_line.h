#pragma once
#include <optional>
#include <string>
#include <vector>

// A command that runs on the pool without a window and ends the program.
enum class BatchCommand { None, ImportPicks, ExportPicks, ExportStandings, ImportField, Outlook, MakeEntryPage };

// What the program was asked for on its command line.
struct CommandLine {
    std::optional<std::string> poolDir;  // --pool DIR: the pool's folder, as typed
    bool help = false;                   // --help or -h: print the usage and end
    BatchCommand command = BatchCommand::None;
    std::string commandOption;             // the command as typed ("--import-picks")
    std::string commandFile;               // its FILE
    std::vector<std::string> importFiles;  // --import-picks FILE...: every FILE, the first one too
    int places = 3;                        // --places N: the paid places of --outlook, 1 to 8
    bool remapPicks = false;               // --remap-picks: --import-field moves the picks with their teams
    std::string error;                     // not empty: the command line is wrong, this says how
    bool windowSystemOptions = false;      // the window system's options came (-platform): Qt takes them
};

// Reads the arguments that follow the program's name. A value that starts with "-" is taken for
// a forgotten DIR or FILE, not for a name: "--pool --help" is an error, "--pool=-x" or
// "--pool ./-x" name such a folder. One command at a time. Of the options this program does not
// know, only the window system's (Qt's -platform, -display, -style ...) are let through, for the
// window only.
CommandLine parseCommandLine(const std::vector<std::string>& args);

inline const char* const UsageText =
    "Usage: hoopfall [--pool DIR] [COMMAND FILE]\n"
    "\n"
    "  --pool DIR                keep the pool's data files in DIR (created when missing); one\n"
    "                            folder per pool\n"
    "  -h, --help                show this text and end\n"
    "\n"
    "Commands, run on the pool without a window, one at a time:\n"
    "  --import-picks FILE...    add the participants of comma- or tab-separated files, such\n"
    "                            as the entry page saves; one report for all of them\n"
    "  --export-picks FILE       every participant's picks: a page when FILE ends in .htm or\n"
    "                            .html, else a comma-separated file that --import-picks reads\n"
    "  --export-standings FILE   the standings as the standings window exports them: a page\n"
    "                            (.htm, .html), comma-separated (.csv) or tab-separated (.txt)\n"
    "  --make-entry-page FILE    a web page on which participants pick their winners and save\n"
    "                            a file for --import-picks\n"
    "  --import-field FILE       the 64 teams and the regions' places in the bracket from a\n"
    "                            comma- or tab-separated file\n"
    "  --remap-picks             with --import-field, when the pool holds picks and the new\n"
    "                            field moves teams: move every pick and result with its team\n"
    "  --outlook [--places N]    the Pool Outlook as tab-separated text on standard output, as\n"
    "                            the outlook window copies it; N paid places for Money %\n"
    "                            (1 to 8, 3 when not given)\n"
    "A command ends with status 0 when it is done, 1 when rows were refused (each is listed on\n"
    "standard error; the others were imported), 2 when nothing could be done. The imports are\n"
    "refused while the program has the pool open.\n"
    "\n"
    "Without --pool the pool is kept beside the program when its data files are there and the\n"
    "folder can be written to, else in the user's data folder.\n";

// The exit code for a command line the program cannot follow.
inline constexpr int UsageExitCode = 2;
