#include "shell/command_line.h"

#include <charconv>

#include "outlook/outlook.h"

CommandLine parseCommandLine(const std::vector<std::string>& args)
{
    CommandLine result;
    auto fail = [&result](const std::string& text) {
        result.error = text;
        return result;
    };
    std::optional<std::string> places;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::optional<std::string> pool, count;
        if (arg == "--help" || arg == "-h") {
            result.help = true;
        } else if (arg == "--outlook") {
            result.outlook = true;
        } else if (arg == "--pool") {
            if (i + 1 >= args.size() || args[i + 1].empty() || args[i + 1][0] == '-')
                return fail("--pool needs a folder: --pool DIR");
            pool = args[++i];
        } else if (arg.rfind("--pool=", 0) == 0) {
            pool = arg.substr(7);
            if (pool->empty()) return fail("--pool needs a folder: --pool=DIR");
        } else if (arg == "--places") {
            if (i + 1 >= args.size()) return fail("--places needs a number: --places N");
            count = args[++i];
        } else if (arg.rfind("--places=", 0) == 0) {
            count = arg.substr(9);
        } else if (!arg.empty() && arg[0] == '-') {
            return fail("unknown option '" + arg + "'");
        } else {
            return fail("unexpected argument '" + arg + "'");
        }
        if (pool) {
            // Two different folders cannot both be the pool; which one was meant is anybody's guess.
            if (result.poolDir && *result.poolDir != *pool) return fail("--pool given twice");
            result.poolDir = pool;
        }
        if (count) {
            if (places && *places != *count) return fail("--places given twice");
            places = count;
        }
    }
    if (places) {
        const char* end = places->data() + places->size();
        int n = 0;
        const auto [stop, error] = std::from_chars(places->data(), end, n);
        if (error != std::errc() || stop != end || n < 1 || n > outlook::MaxPaidPlaces)
            return fail("--places needs a number from 1 to " + std::to_string(outlook::MaxPaidPlaces) + ", not '" + *places + "'");
        result.places = n;
        if (!result.outlook) return fail("--places goes with --outlook");
    }
    if (result.outlook && !result.poolDir && !result.help) return fail("--outlook needs the pool's folder: --pool DIR --outlook");
    return result;
}
