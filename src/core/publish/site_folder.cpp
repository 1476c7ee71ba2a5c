#include "core/publish/site_folder.h"

#include <cerrno>
#include <cstdio>
#include <random>
#include <system_error>
#include <vector>

#include "core/pool/errors.h"
#include "core/pool/file_io.h"

namespace fs = std::filesystem;

namespace {
constexpr std::string_view MarkerHeading =
    "This folder was published by the Hoopfall. Publishing again replaces the files listed below, and "
    "nothing else.";

std::string shown(const fs::path& path) { return fs::path(path).make_preferred().string(); }

std::string markerText(const std::set<std::string>& names)
{
    std::string text(MarkerHeading);
    text += '\n';
    for (const std::string& name : names) text += name + '\n';
    return text;
}

// The names the marker lists; none when it cannot be read (then nothing counts as ours).
std::set<std::string> markerNames(const fs::path& marker)
{
    std::string bytes;
    std::set<std::string> names;
    if (readWholeFile(marker.string(), bytes).status != ReadStatus::Read) return names;
    std::size_t start = bytes.find('\n');
    while (start != std::string::npos && start + 1 < bytes.size()) {
        const std::size_t end = bytes.find('\n', start + 1);
        const std::string name =
            bytes.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
        // Only plain names of this folder: a marker edited to name "../x" cannot reach outside it.
        if (!name.empty() && name.find('/') == std::string::npos && name.find('\\') == std::string::npos &&
            name != "." && name != ".." && name != SiteMarkerName)
            names.insert(name);
        start = end;
    }
    return names;
}

void writeMarker(const fs::path& folder, const std::set<std::string>& names)
{
    AtomicFile file((folder / SiteMarkerName).string());
    file.write(markerText(names));
    file.commit();
}

[[noreturn]] void failed(const std::string& what, const fs::path& path, const std::error_code& error)
{
    throw HoopError("Could not " + what + " " + shown(path) + ": " + error.message());
}
}  // namespace

SiteFolder::SiteFolder(const std::string& outDir)
{
    if (outDir.empty()) throw HoopError("No folder to publish to was given.");
    m_target = fs::path(outDir).lexically_normal();
    if (m_target.filename().empty()) m_target = m_target.parent_path();  // "site/" is "site"
    std::error_code error;
    const fs::file_status status = fs::status(m_target, error);
    if (fs::exists(status)) {
        if (!fs::is_directory(status))
            throw HoopError(shown(m_target) + " is not a folder. Choose a folder to publish the pool to.");
        const bool ours = fs::exists(m_target / SiteMarkerName, error);
        if (ours) m_previous = markerNames(m_target / SiteMarkerName);
        fs::directory_iterator entries(m_target, error);
        if (error) failed("read the folder", m_target, error);
        if (!ours && entries != fs::directory_iterator())
            throw HoopError("The folder " + shown(m_target) +
                            " already holds files that the Hoopfall did not publish. Choose an empty folder, or "
                            "one the Hoopfall published to before. Nothing was written.");
    } else if (error && error != std::errc::no_such_file_or_directory) {
        failed("reach", m_target, error);
    }

    // Beside the target, so the pages move in by renaming on the same disk.
    fs::path parent = m_target.parent_path();
    if (parent.empty()) parent = ".";
    std::random_device random;
    for (int attempt = 0; attempt < 100 && m_temporary.empty(); ++attempt) {
        std::string name = ".";
        name.append(m_target.filename().string()).append(".publishing-").append(std::to_string(random() % 1000000));
        const fs::path candidate = parent / name;
        if (fs::create_directory(candidate, error))
            m_temporary = candidate;
        else if (error)
            failed("create the folder", candidate, error);
    }
    if (m_temporary.empty()) throw HoopError("Could not create a temporary folder in " + shown(parent) + ".");
}

SiteFolder::~SiteFolder()
{
    if (!m_committed) removeTemporary();
}

void SiteFolder::removeTemporary() noexcept
{
    // Only the folder this run made, and only the pages it wrote there.
    std::error_code ignored;
    for (const std::string& name : m_written) fs::remove(m_temporary / name, ignored);
    fs::remove(m_temporary, ignored);
}

void SiteFolder::write(const std::string& name, std::string_view text)
{
    const fs::path path = m_temporary / name;
    // The temporary folder is new and ours, so a plain write will do; the whole site is put in
    // place only after every page was written in full.
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) throw HoopError("Could not write " + shown(path) + ": " + systemReason(errno));
    m_written.insert(name);
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const int writeError = errno;
    if (std::fclose(file) != 0 || !written)
        throw HoopError("Could not write " + shown(path) + ": " + systemReason(written ? errno : writeError));
    m_bytes += text.size();
}

void SiteFolder::commit()
{
    std::error_code error;
    // A file of someone else's under a page's name stops the run before anything moves.
    for (const std::string& name : m_written)
        if (!m_previous.contains(name) && fs::exists(fs::symlink_status(m_target / name, error)))
            throw HoopError("The folder " + shown(m_target) + " holds " + name +
                            ", which the Hoopfall did not publish; it is left as it is, and nothing was written.");

    fs::create_directories(m_target, error);
    if (error) failed("create the folder", m_target, error);
    // The marker names the old and the new pages while they move, so a run cut short leaves a
    // folder the next one can still replace.
    std::set<std::string> both = m_previous;
    both.insert(m_written.begin(), m_written.end());
    writeMarker(m_target, both);
    for (const std::string& name : m_written) {
        fs::rename(m_temporary / name, m_target / name, error);
        if (error) failed("move the page into", m_target / name, error);
    }
    m_committed = true;
    fs::remove(m_temporary, error);
    // Pages of the last publication that this one has not (a participant deleted since).
    for (const std::string& name : m_previous)
        if (!m_written.contains(name)) fs::remove(m_target / name, error);
    writeMarker(m_target, m_written);
}
