#include "core/pool/backup_copy.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <sys/stat.h>

#include "core/pool/errors.h"
#include "core/pool/file_io.h"
#include "core/pool/players.h"
#include "core/pool/team_files.h"

namespace fs = std::filesystem;

std::string copyErrorText(CopyStatus status)
{
    switch (status) {
    case CopyStatus::BadSource: return "Invalid Source file handle";
    case CopyStatus::BadDestination: return "Invalid Destination file handle";
    case CopyStatus::ReadFailed: return "Source file format is not valid";
    case CopyStatus::WriteFailed: return "There is insufficient space for the output file";
    case CopyStatus::Copied: break;
    }
    return "Unknown error";
}

namespace {
bool isReadOnly(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    return (st.st_mode & S_IWUSR) == 0;  // the owner's write bit, as the read-only attribute
}

// Opens the destination; nothing when it is read-only or cannot be created.
std::unique_ptr<AtomicFile> openDestination(const std::string& destination)
{
    if (isReadOnly(destination)) return nullptr;
    try {
        return std::make_unique<AtomicFile>(destination);
    } catch (const HoopError&) {
        return nullptr;
    }
}
}  // namespace

CopyOutcome writeBackupBytes(const std::string& bytes, const std::string& destination)
{
    auto out = openDestination(destination);
    if (!out) return {CopyStatus::BadDestination};
    try {
        out->write(bytes);
        out->commit();
    } catch (const HoopError&) {
        return {CopyStatus::WriteFailed};
    }
    return {CopyStatus::Copied, static_cast<long long>(bytes.size())};
}

CopyOutcome copyFileBytes(const std::string& source, const std::string& destination)
{
    std::FILE* in = std::fopen(source.c_str(), "rb");
    if (!in) return {CopyStatus::BadSource};
    auto out = openDestination(destination);
    if (!out) {
        std::fclose(in);
        return {CopyStatus::BadDestination};
    }
    long long written = 0;
    char buffer[64 * 1024];
    try {
        for (;;) {
            const std::size_t got = std::fread(buffer, 1, sizeof buffer, in);
            if (got == 0) break;
            out->write(buffer, got);
            written += static_cast<long long>(got);
        }
        if (std::ferror(in)) {
            std::fclose(in);
            return {CopyStatus::ReadFailed};
        }
        out->commit();
    } catch (const HoopError&) {
        std::fclose(in);
        return {CopyStatus::WriteFailed};
    }
    std::fclose(in);
    return {CopyStatus::Copied, written};
}

PicksCount countPicksParticipants(const std::string& path)
{
    PicksCount count;
    std::string carry;
    count.read = readFileChunks(path, [&](const char* data, std::size_t size) {
        carry.append(data, size);
        std::size_t pos = 0;
        for (; pos + PickRecordSize <= carry.size(); pos += PickRecordSize) {
            Player entry;
            decodePlayer(reinterpret_cast<const unsigned char*>(carry.data() + pos), entry);
            if (entry.id != ResultsId) ++count.participants;
        }
        carry.erase(0, pos);
    });
    return count;
}

namespace {
bool sameNameIgnoringCase(const std::string& a, const std::string& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](unsigned char x, unsigned char y) { return std::toupper(x) == std::toupper(y); });
}

bool isSoundTeamsFile(const std::string& bytes)
{
    if (bytes.empty() || bytes.size() % TeamRecordSize != 0) return false;
    for (std::size_t pos = 0; pos < bytes.size(); pos += TeamRecordSize) {
        const int region = static_cast<unsigned char>(bytes[pos]);
        const int seed = static_cast<unsigned char>(bytes[pos + 1]);
        if (region < 1 || region > RegionCount || seed < 1 || seed > SeedCount) return false;
    }
    return true;
}

bool isSoundRegionsFile(const std::string& bytes)
{
    for (int position = 1; position <= RegionCount; ++position)
        if (!loadRegionsFromText(bytes, position).empty()) return true;
    return false;
}
}  // namespace

bool isSoundDataFile(const std::string& fileName, const std::string& bytes)
{
    if (sameNameIgnoringCase(fileName, TeamsFileName)) return isSoundTeamsFile(bytes);
    if (sameNameIgnoringCase(fileName, RegionsFileName)) return isSoundRegionsFile(bytes);
    return true;
}

std::string backupName(const std::string& fileName)
{
    const std::size_t dot = fileName.rfind('.');
    return (dot == std::string::npos ? fileName : fileName.substr(0, dot)) + ".BAK";
}

std::vector<std::string> findDataFiles(const std::string& dir)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& item : fs::directory_iterator(dir, ec)) {
        std::error_code typeError;
        if (!item.is_regular_file(typeError)) continue;
        const std::string name = item.path().filename().string();
        if (name.empty() || name[0] == '.' || name.size() < 4) continue;
        std::string ext = name.substr(name.size() - 4);
        std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::toupper(c)); });
        if (ext == ".HFD") names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}
