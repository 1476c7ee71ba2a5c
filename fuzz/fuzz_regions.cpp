// REGIONS.HFD reader and writer: any text reads without harm, and writing the four names into
// any existing file gives a file that reads back those names.
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "core/pool/errors.h"
#include "core/pool/file_io.h"
#include "core/pool/team_files.h"

namespace {
// A folder of its own for the run, memory-backed when there is one (the writer flushes to disk
// on every input), removed at exit.
struct WorkDir {
    WorkDir()
    {
        std::filesystem::path base =
            std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
        path = base / ("hoopfall-fuzz-regions-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
    }
    ~WorkDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::filesystem::path path;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    static const WorkDir work;
    const std::string dir = work.path.string();
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (int n = 0; n <= 5; ++n) (void)loadRegionsFromText(text, n);

    std::ofstream(joinPath(dir, RegionsFileName), std::ios::binary | std::ios::trunc) << text;
    const std::array<std::string, 4> names = {"East", "West", "South", "Midwest"};
    saveRegions(dir, names);
    for (int n = 1; n <= 4; ++n)
        if (loadRegions(dir, n) != names[std::size_t(n - 1)]) std::abort();
    return 0;
}
