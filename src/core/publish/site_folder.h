#pragma once
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>

// The folder a site is published to. The pages are written into a temporary folder beside it and
// moved in only once every one of them is written; what the folder held before is replaced only
// where this program wrote it (the marker file lists those files), and anything else in it is
// never deleted or written over.
class SiteFolder final {
public:
    // Checks that outDir may take the site and makes the temporary folder beside it; throws a
    // HoopError saying why not (a file of that name, a folder holding files of someone else's).
    explicit SiteFolder(const std::string& outDir);
    ~SiteFolder();  // removes the temporary folder when the site was not put in place
    SiteFolder(const SiteFolder&) = delete;
    SiteFolder& operator=(const SiteFolder&) = delete;

    // A page of the site, by its file name (no folder); a failure throws a HoopError.
    void write(const std::string& name, std::string_view text);
    // Puts the site in place; a failure throws a HoopError.
    void commit();

    int fileCount() const { return static_cast<int>(m_written.size()); }
    std::uintmax_t byteCount() const { return m_bytes; }

private:
    void removeTemporary() noexcept;

    std::filesystem::path m_target;
    std::filesystem::path m_temporary;
    std::set<std::string> m_previous;  // what the last publication wrote, by the marker
    std::set<std::string> m_written;
    std::uintmax_t m_bytes = 0;
    bool m_committed = false;
};

// The file that names a folder as one this program published to.
inline const std::string SiteMarkerName = ".hoopfall-site";
