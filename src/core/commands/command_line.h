#pragma once
#include <optional>
#include <string>
#include <vector>

// A command that runs on the pool without a window and ends the program.
enum class BatchCommand {
    None,
    ImportPicks,
    ExportPicks,
    ExportStandings,
    ImportField,
    Outlook,
    Publish,
    MakeEntryPage
};

// What an export or the outlook writes, when --format says so rather than the file's name.
enum class OutputFormat { Csv, Tsv, Html };

// The FILE that stands for the standard input of an import and the standard output of an export.
inline constexpr const char* StandardStreamName = "-";

// What the program was asked for on its command line.
struct CommandLine {
    std::optional<std::string> poolDir;  // --pool DIR: the pool's folder, as typed
    bool help = false;                   // --help or -h: print the usage and end
    bool version = false;                // --version: print the version and end
    BatchCommand command = BatchCommand::None;
    std::string commandOption;             // the command as typed ("--import-picks")
    std::string commandFile;               // its FILE; "-" for the standard input or output (the OUTDIR of --publish)
    std::vector<std::string> importFiles;  // --import-picks FILE...: every FILE, the first one too
    std::optional<OutputFormat> format;    // --format csv|tsv|html
    int places = 3;                        // --places N: the paid places of --outlook, 1 to 8
    std::optional<std::string> fee;        // --fee F: the entry fee for --outlook, in place of the stored one
    std::optional<std::string> payouts;    // --payouts LIST: the same for the payout table
    bool remapPicks = false;               // --remap-picks: --import-field moves the picks with their teams
    std::string error;                     // not empty: the command line is wrong, this says how
    bool windowSystemOptions = false;      // the window system's options came (-platform): Qt takes them
};

// Reads the arguments that follow the program's name. A value that starts with "-" is taken for
// a forgotten DIR or FILE, not for a name: "--pool --help" is an error, "--pool=-x" or
// "--pool ./-x" name such a folder; a FILE of "-" alone is the standard input or output. One
// command at a time. Of the options this program does not know, only the window system's (Qt's
// -platform, -display, -style ...) are let through, for the window only.
CommandLine parseCommandLine(const std::vector<std::string>& args);

// What --version prints: "hoopfall 1.6.0" and a line end.
std::string versionText();

// What a mistake prints on the standard error: the mistake, then where to read more.
std::string mistakeText(const std::string& error);

inline const char* const UsageText = "Usage: hoopfall [--pool DIR] [COMMAND]\n"
                                     "Runs the office pool kept in DIR in a window, or one COMMAND on it without one.\n"
                                     "\n"
                                     "  --pool DIR               keep the pool's data files in DIR (made when\n"
                                     "                           missing); one folder per pool\n"
                                     "  -h, --help               show this text and end\n"
                                     "      --version            show the program's version and end\n"
                                     "\n"
                                     "Commands, run on the pool without a window, one at a time:\n"
                                     "  --import-picks FILE...   add the participants of comma- or tab-separated\n"
                                     "                           files, such as the entry page saves; one report\n"
                                     "                           for all of them\n"
                                     "  --export-picks FILE      every participant's picks: a page (.htm, .html),\n"
                                     "                           else a comma-separated file that --import-picks\n"
                                     "                           reads\n"
                                     "  --export-standings FILE  the standings as the standings window exports them:\n"
                                     "                           a page (.htm, .html), comma-separated (.csv) or\n"
                                     "                           tab-separated (.txt)\n"
                                     "  --make-entry-page FILE   a web page on which participants pick their\n"
                                     "                           winners and save a file for --import-picks\n"
                                     "  --import-field FILE      the 64 teams and the regions' places in the bracket\n"
                                     "                           from a comma- or tab-separated file\n"
                                     "  --remap-picks            with --import-field, when the pool holds picks and\n"
                                     "                           the new field moves teams: move every pick and\n"
                                     "                           result with its team\n"
                                     "  --outlook[=FILE]         the Pool Outlook as the outlook window copies it, on\n"
                                     "                           the standard output, or in FILE (.htm, .html, .csv\n"
                                     "                           or .txt)\n"
                                     "  --places N               with --outlook: N paid places for Money % (1 to 8, 3\n"
                                     "                           when not given)\n"
                                     "  --fee F                  with --outlook: the entry fee in place of the\n"
                                     "                           pool's; the last column is then Exp. Winnings\n"
                                     "  --payouts LIST           with --outlook: the payouts by place (as 60,30,10\n"
                                     "                           or 50,30,20,fee) in place of the pool's\n"
                                     "  --format FORMAT          with an export or --outlook: write csv, tsv\n"
                                     "                           (tab-separated) or html, whatever FILE is called\n"
                                     "  --publish OUTDIR         the pool as a small web site in OUTDIR: standings,\n"
                                     "                           outlook, every participant's bracket, results, Who\n"
                                     "                           Picked Whom, chart\n"
                                     "A FILE of - is the standard input of an import and the standard output of an\n"
                                     "export, where the picks are csv, the standings and the outlook tsv, unless\n"
                                     "--format says otherwise.\n"
                                     "\n"
                                     "A command ends with status 0 when it is done, 1 when rows were refused (each is\n"
                                     "listed on the standard error; the others were imported), 2 when nothing could\n"
                                     "be done. The imports are refused while the program has the pool open. A mistake\n"
                                     "on the command line ends the program with status 2.\n"
                                     "\n"
                                     "Without --pool the pool is kept beside the program when its data files are\n"
                                     "there and the folder can be written to, else in the user's data folder.\n";

// The exit code for a command line the program cannot follow.
inline constexpr int UsageExitCode = 2;
