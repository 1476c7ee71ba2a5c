#include "core/commands/command_line.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "core/outlook/outlook.h"
#include "core/outlook/payouts.h"
#include "version.h"

namespace {
// The commands that take a FILE.
struct FileCommand {
    const char* option;
    BatchCommand command;
};
constexpr FileCommand FileCommands[] = {
    {"--import-picks", BatchCommand::ImportPicks},         {"--export-picks", BatchCommand::ExportPicks},
    {"--export-standings", BatchCommand::ExportStandings}, {"--import-field", BatchCommand::ImportField},
    {"--make-entry-page", BatchCommand::MakeEntryPage},
};

// The window system's options, which the application object takes for the window: Qt's
// documented ones, read as Qt reads them (one dash or two; "=VALUE" only for the style and the
// style sheet). Any other option is a mistake, found before anything needs a display.
struct WindowSystemOption {
    const char* name;
    bool takesValue;
    bool joinedValue;  // also as "-name=VALUE"
};
constexpr WindowSystemOption WindowSystemOptions[] = {
    {"platform", true, false},
    {"platformpluginpath", true, false},
    {"platformtheme", true, false},
    {"plugin", true, false},
    {"display", true, false},
    {"geometry", true, false},
    {"qwindowgeometry", true, false},
    {"qwindowicon", true, false},
    {"qwindowtitle", true, false},
    {"session", true, false},
    {"style", true, true},
    {"stylesheet", true, true},
    {"reverse", false, false},
    {"widgetcount", false, false},
};

// True when args[i] is one of the window system's options; its value, when it takes one, is passed
// over. error says what is missing when the value is.
bool windowSystemOption(const std::vector<std::string>& args, std::size_t& i, std::string& error)
{
    std::string_view arg = args[i];
    if (arg.size() < 2 || arg[0] != '-') return false;
    arg.remove_prefix(arg[1] == '-' ? 2 : 1);
    for (const WindowSystemOption& option : WindowSystemOptions) {
        const std::string_view name = option.name;
        if (option.joinedValue && arg.size() > name.size() && arg.starts_with(name) && arg[name.size()] == '=')
            return true;
        if (arg != name) continue;
        if (option.takesValue && ++i >= args.size()) error = args[i - 1] + " needs a value";
        return true;
    }
    return false;
}

// The value of an option given as "--option VALUE" or "--option=VALUE"; false when args[i] is
// not the option. error says what is missing when the value is. noun: "folder"; name: "DIR".
// A lone "-" is a value only for a FILE, where it names the standard input or output.
bool optionValue(const std::vector<std::string>& args, std::size_t& i, const std::string& option, const char* noun,
                 const char* name, std::optional<std::string>& value, std::string& error)
{
    const std::string& arg = args[i];
    const std::string needs = option + " needs a " + noun + ": " + option;
    const bool dashIsValue = std::string_view(name) == "FILE";
    if (arg == option) {
        if (i + 1 >= args.size() || args[i + 1].empty() ||
            (args[i + 1][0] == '-' && !(dashIsValue && args[i + 1] == StandardStreamName)))
            error = needs + " " + name;
        else
            value = args[++i];
        return true;
    }
    if (arg.rfind(option + "=", 0) != 0) return false;
    value = arg.substr(option.size() + 1);
    if (value->empty()) error = needs + "=" + name;
    return true;
}

struct FormatName {
    const char* name;
    OutputFormat format;
};
constexpr FormatName FormatNames[] = {
    {"csv", OutputFormat::Csv},
    {"tsv", OutputFormat::Tsv},
    {"html", OutputFormat::Html},
};

// Why --format does not fit the command; empty when it does.
std::string formatMismatch(const CommandLine& line)
{
    switch (line.command) {
    case BatchCommand::ExportStandings:
    case BatchCommand::Outlook: return {};
    case BatchCommand::ExportPicks:
        if (line.format != OutputFormat::Tsv) return {};
        return "--export-picks writes csv or html, not tsv";
    case BatchCommand::None:
    case BatchCommand::ImportPicks:
    case BatchCommand::ImportField:
    case BatchCommand::Publish:
    case BatchCommand::MakeEntryPage: break;
    }
    return "--format goes with --export-picks, --export-standings or --outlook";
}
}  // namespace

std::string versionText() { return std::string("hoopfall ") + version::Package + "\n"; }

std::string mistakeText(const std::string& error)
{
    return "hoopfall: " + error + "\nTry 'hoopfall --help' for more information.\n";
}

CommandLine parseCommandLine(const std::vector<std::string>& args)
{
    CommandLine result;
    auto fail = [&result](const std::string& text) {
        result.error = text;
        return result;
    };
    std::optional<std::string> places;  // as typed; checked once the command is known
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::optional<std::string> value;
        std::string missing;
        if (arg == "--help" || arg == "-h") {
            result.help = true;
            continue;
        }
        if (arg == "--version") {
            result.version = true;
            continue;
        }
        if (optionValue(args, i, "--pool", "folder", "DIR", value, missing)) {
            if (!missing.empty()) return fail(missing);
            // Two different folders cannot both be the pool; which one was meant is anybody's guess.
            if (result.poolDir && *result.poolDir != *value) return fail("--pool given twice");
            result.poolDir = value;
            continue;
        }
        // --outlook[=FILE]: the value is optional, so it is never the next argument.
        if (arg == "--outlook" || arg.rfind("--outlook=", 0) == 0) {
            if (result.command != BatchCommand::None && result.command != BatchCommand::Outlook)
                return fail("one command at a time: " + result.commandOption + " and --outlook");
            const std::string file = arg == "--outlook" ? StandardStreamName : arg.substr(10);
            if (file.empty()) return fail("--outlook needs a file: --outlook=FILE");
            if (result.command == BatchCommand::Outlook && result.commandFile != file)
                return fail("--outlook given twice");
            result.command = BatchCommand::Outlook;
            result.commandOption = "--outlook";
            result.commandFile = file;
            continue;
        }
        if (optionValue(args, i, "--format", "format", "FORMAT", value, missing)) {
            if (!missing.empty()) return fail(missing);
            const FormatName* named = nullptr;
            for (const FormatName& format : FormatNames)
                if (*value == format.name) named = &format;
            if (!named) return fail("--format needs csv, tsv or html, not '" + *value + "'");
            if (result.format && *result.format != named->format) return fail("--format given twice");
            result.format = named->format;
            continue;
        }
        if (optionValue(args, i, "--publish", "folder", "OUTDIR", value, missing)) {
            if (!missing.empty()) return fail(missing);
            if (result.command != BatchCommand::None)
                return fail("one command at a time: " + result.commandOption + " and --publish");
            result.command = BatchCommand::Publish;
            result.commandOption = "--publish";
            result.commandFile = *value;
            continue;
        }
        if (arg == "--remap-picks") {
            result.remapPicks = true;
            continue;
        }
        if (optionValue(args, i, "--places", "number", "N", value, missing)) {
            if (!missing.empty()) return fail(missing);
            if (places && *places != *value) return fail("--places given twice");
            places = value;
            continue;
        }
        if (optionValue(args, i, "--fee", "sum", "F", value, missing)) {
            if (!missing.empty()) return fail(missing);
            if (result.fee && *result.fee != *value) return fail("--fee given twice");
            result.fee = value;
            continue;
        }
        if (optionValue(args, i, "--payouts", "list", "LIST", value, missing)) {
            if (!missing.empty()) return fail(missing);
            if (result.payouts && *result.payouts != *value) return fail("--payouts given twice");
            result.payouts = value;
            continue;
        }
        if (windowSystemOption(args, i, missing)) {
            if (!missing.empty()) return fail(missing);
            result.windowSystemOptions = true;
            continue;
        }
        const FileCommand* found = nullptr;
        for (const FileCommand& command : FileCommands)
            if (optionValue(args, i, command.option, "file", "FILE", value, missing)) {
                found = &command;
                break;
            }
        if (found) {
            if (!missing.empty()) return fail(missing);
            if (result.command != BatchCommand::None)
                return fail("one command at a time: " + result.commandOption + " and " + found->option);
            result.command = found->command;
            result.commandOption = found->option;
            result.commandFile = *value;
            if (result.command == BatchCommand::ImportPicks) result.importFiles.push_back(*value);
        } else if (result.command == BatchCommand::ImportPicks && !arg.empty() && arg[0] != '-') {
            // The returned entry pages come back as many files, imported in one run.
            result.importFiles.push_back(arg);
        } else if (!arg.empty() && arg[0] == '-') {
            return fail("unknown option '" + arg + "'");
        } else {
            return fail("unexpected argument '" + arg + "'");
        }
    }
    // The standard input is read once, so it cannot stand beside other files.
    if (result.importFiles.size() > 1 &&
        std::find(result.importFiles.begin(), result.importFiles.end(), StandardStreamName) != result.importFiles.end())
        return fail("--import-picks reads the standard input only as its one FILE");
    if (result.format)
        if (const std::string mismatch = formatMismatch(result); !mismatch.empty()) return fail(mismatch);
    if (result.remapPicks && result.command != BatchCommand::ImportField)
        return fail("--remap-picks goes with --import-field");
    if (places) {
        const char* end = places->data() + places->size();
        const auto [stop, error] = std::from_chars(places->data(), end, result.places);
        if (error != std::errc() || stop != end || result.places < 1 || result.places > outlook::MaxPaidPlaces)
            return fail("--places needs a number from 1 to " + std::to_string(outlook::MaxPaidPlaces) + ", not '" +
                        *places + "'");
        if (result.command != BatchCommand::Outlook) return fail("--places goes with --outlook");
    }
    if (result.fee && !outlook::parseFee(*result.fee))
        return fail("--fee needs a sum such as 5 or 12.50, not '" + *result.fee + "'");
    if (result.payouts && !outlook::parsePayouts(*result.payouts))
        return fail("--payouts needs percentages or 'fee' by place, such as 60,30,10 or 50,30,20,fee; not '" +
                    *result.payouts + "'");
    if ((result.fee || result.payouts) && result.command != BatchCommand::Outlook)
        return fail(std::string(result.fee ? "--fee" : "--payouts") + " goes with --outlook");
    if (result.windowSystemOptions && result.command != BatchCommand::None)
        return fail(result.commandOption + " runs without a window: leave out the window system's options");
    return result;
}
