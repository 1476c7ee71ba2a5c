#include "shell/command_line.h"

CommandLine parseCommandLine(const std::vector<std::string>& args)
{
    CommandLine result;
    auto fail = [&result](const std::string& text) {
        result.error = text;
        return result;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::optional<std::string> pool;
        if (arg == "--help" || arg == "-h") {
            result.help = true;
        } else if (arg == "--pool") {
            if (i + 1 >= args.size() || args[i + 1].empty() || args[i + 1][0] == '-')
                return fail("--pool needs a folder: --pool DIR");
            pool = args[++i];
        } else if (arg.rfind("--pool=", 0) == 0) {
            pool = arg.substr(7);
            if (pool->empty()) return fail("--pool needs a folder: --pool=DIR");
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
    }
    return result;
}
