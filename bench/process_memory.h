#pragma once
// The process's resident memory, for the benchmarks that report what an operation costs in memory.
#include <fstream>
#include <sstream>
#include <string>

namespace bench {
constexpr double MiB = 1024.0 * 1024.0;

// A size line of /proc/self/status ("VmRSS", "VmHWM") in bytes; 0 when it cannot be read.
inline double statusBytes(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field + ":", 0) != 0) continue;
        std::istringstream value(line.substr(field.size() + 1));
        double kib = 0;
        value >> kib;
        return kib * 1024.0;
    }
    return 0;
}

// Starts a new high-water mark of the resident size (Linux 4.0 and later).
inline bool resetPeakResident()
{
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return clear.good();
}
}  // namespace bench
