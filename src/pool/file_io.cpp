#include "pool/file_io.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "pool/errors.h"

std::string joinPath(const std::string& dir, const std::string& name)
{
    if (dir.empty()) return name;
    if (dir.back() == '/') return dir + name;
    return dir + "/" + name;
}

std::string lowerExtension(std::string_view path)
{
    const std::size_t dot = path.find_last_of("./");
    std::string extension;
    if (dot == std::string_view::npos || path[dot] != '.') return extension;
    for (char c : path.substr(dot)) extension += c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
    return extension;
}

std::string systemReason(int err) { return std::strerror(err); }

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

namespace {
std::string BaseName(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Follows symbolic links to the file they end at, so a save replaces the target and keeps the
// link. A link that points nowhere names the file to create.
std::string ResolveLinks(const std::string& path)
{
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        std::vector<char> buffer(PATH_MAX + 1);
        const ssize_t n = ::readlink(current.c_str(), buffer.data(), buffer.size() - 1);
        if (n <= 0) return current;
        std::string target(buffer.data(), static_cast<std::size_t>(n));
        current = target.front() == '/' ? target : joinPath(folderOf(current), target);
    }
    return current;
}

const char* const TempMarker = ".hoopfall-tmp-";

std::string RandomSuffix()
{
    std::random_device source;  // no generator kept between calls: the core holds no mutable state
    std::mt19937 generator(source());
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::uniform_int_distribution<int> pick(0, 61);
    std::string suffix(6, 'x');
    for (char& c : suffix) c = alphabet[pick(generator)];
    return suffix;
}

bool IsAlnum(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }

// Copies a file byte for byte to a new name (never replacing one); false with errno set.
bool CopyToNewFile(const std::string& source, const std::string& destination)
{
    std::string bytes;
    const ReadOutcome read = readWholeFile(source, bytes);
    if (read.status != ReadStatus::Read) {
        errno = read.status == ReadStatus::Missing ? ENOENT : EIO;
        return false;
    }
    const int fd = ::open(destination.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int err = n < 0 ? errno : EIO;
            ::close(fd);
            ::unlink(destination.c_str());
            errno = err;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        const int err = errno;
        ::unlink(destination.c_str());
        errno = err;
        return false;
    }
    syncFolder(folderOf(destination));
    return true;
}
}  // namespace

ReadOutcome readFileChunks(const std::string& path, const std::function<void(const char*, std::size_t)>& sink,
                           ReadFunction read)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT) return {ReadStatus::Missing, {}};
        return {ReadStatus::Unreadable, systemReason(errno)};
    }
    // A folder, a pipe or a device is never opened: a pipe would block and a device may act on it.
    if (S_ISDIR(st.st_mode)) return {ReadStatus::Unreadable, systemReason(EISDIR)};
    if (!S_ISREG(st.st_mode)) return {ReadStatus::Unreadable, "Not a regular file"};
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT) return {ReadStatus::Missing, {}};
        return {ReadStatus::Unreadable, systemReason(errno)};
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return {ReadStatus::Unreadable, "Not a regular file"};
    }
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t n = read ? read(fd, buffer.data(), buffer.size()) : ::read(fd, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int err = errno;
            ::close(fd);
            return {ReadStatus::Unreadable, systemReason(err)};
        }
        if (n == 0) break;
        sink(buffer.data(), static_cast<std::size_t>(n));
    }
    ::close(fd);
    return {ReadStatus::Read, {}};
}

ReadOutcome readWholeFile(const std::string& path, std::string& bytes, ReadFunction read)
{
    bytes.clear();
    return readFileChunks(path, [&bytes](const char* data, std::size_t size) { bytes.append(data, size); }, read);
}

std::string asideName(const std::string& path, const std::string& tag)
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    ::localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = path + "." + tag + "-" + stamp;
    std::string name = base;
    struct stat st {};
    for (int n = 2; ::lstat(name.c_str(), &st) == 0; ++n) name = base + "-" + std::to_string(n);
    return name;
}

std::string moveAside(const std::string& path, const std::string& tag)
{
    const std::string aside = asideName(path, tag);
    if (::rename(path.c_str(), aside.c_str()) != 0)
        throw HoopError("Cannot move file " + path + " aside: " + systemReason(errno));
    syncFolder(folderOf(aside));
    return aside;
}

// ---- Atomic writing --------------------------------------------------------------------------

AtomicFile::AtomicFile(std::string path, FileGuard* guard) : m_path(std::move(path)), m_target(ResolveLinks(m_path))
{
    if (guard && guard->blocked()) throw HoopError("Cannot write file " + m_path + ": " + guard->reason);
    if (guard && guard->state == FileGuard::State::CopyAsideFirst) {
        // The file held bytes that could not be used (a torn last record): keep them before
        // they are replaced.
        const std::string aside = asideName(m_target, "damaged");
        if (!CopyToNewFile(m_target, aside) && errno != ENOENT) fail("Cannot keep a copy of", errno);
        guard->state = FileGuard::State::None;
    }

    struct stat st {};
    bool exists = ::stat(m_target.c_str(), &st) == 0;
    if (exists && S_ISREG(st.st_mode)) {
        // A read-only file is the organiser's way of saying "do not change this".
        if (::access(m_target.c_str(), W_OK) != 0) fail("Cannot write", errno);
        if ((st.st_mode & 0222) == 0) fail("Cannot write", EACCES);
    } else {
        exists = false;
    }

    const std::string folder = folderOf(m_target);
    // Appended rather than "." + name: g++ 12 at -O3 takes that for an overlapping copy (-Wrestrict).
    const std::string tempPrefix = joinPath(folder, std::string(".").append(BaseName(m_target)).append(TempMarker));
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        m_temp = tempPrefix + RandomSuffix();
        // 0666 less the umask, as any editor's new file; an existing file's bits are put back below.
        fd = ::open(m_temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        const int err = errno;
        m_temp.clear();
        fail("Cannot create", err);
    }
    if (exists) {
        // Keep the owner where we may (root saving a user's file) and the permission bits always.
        if (::fchown(fd, st.st_uid, st.st_gid) != 0) { /* not allowed for an ordinary user: keep ours */ }
        ::fchmod(fd, st.st_mode & 07777);
    }
    m_file = ::fdopen(fd, "wb");
    if (!m_file) {
        const int err = errno;
        ::close(fd);
        fail("Cannot create", err);
    }
}

AtomicFile::~AtomicFile()
{
    if (m_file) std::fclose(m_file);
    if (!m_done && !m_temp.empty()) ::unlink(m_temp.c_str());
}

void AtomicFile::fail(const char* what, int err)
{
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    if (!m_temp.empty()) ::unlink(m_temp.c_str());
    m_temp.clear();
    m_done = true;
    throw HoopError(std::string(what) + " file " + m_path + ": " + systemReason(err));
}

void AtomicFile::write(const void* data, std::size_t size)
{
    if (!m_file) throw HoopError("Cannot write file " + m_path + ": file is closed");
    if (size && std::fwrite(data, 1, size, m_file) != size) fail("Cannot write", errno ? errno : EIO);
}

void AtomicFile::commit()
{
    if (!m_file) throw HoopError("Cannot write file " + m_path + ": file is closed");
    if (std::fflush(m_file) != 0) fail("Cannot write", errno);
    if (::fsync(::fileno(m_file)) != 0) fail("Cannot write", errno);
    if (std::fclose(m_file) != 0) {
        m_file = nullptr;
        fail("Cannot write", errno);
    }
    m_file = nullptr;
    if (std::rename(m_temp.c_str(), m_target.c_str()) != 0) fail("Cannot replace", errno);
    m_done = true;
    // The rename is durable only once the folder is.
    if (!syncFolder(folderOf(m_target)) && errno == EIO)
        throw HoopError("Cannot write file " + m_path + ": " + systemReason(EIO));
}

void writeFileAtomic(const std::string& path, std::string_view data, FileGuard* guard)
{
    AtomicFile file(path, guard);
    file.write(data);
    file.commit();
}

bool syncFolder(const std::string& dir)
{
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    const int err = errno;
    ::close(fd);
    errno = err;
    return ok;
}

bool isTempFileName(const std::string& name)
{
    const std::size_t marker = name.rfind(TempMarker);
    if (name.size() < 2 || name[0] != '.' || marker == std::string::npos || marker < 2) return false;
    const std::string suffix = name.substr(marker + std::strlen(TempMarker));
    if (suffix.size() != 6) return false;
    for (char c : suffix)
        if (!IsAlnum(c)) return false;
    return true;
}

namespace {
// Earlier versions named their temp files "<target>.XXXXXX" (mkstemp's six letters and digits).
bool IsOldTempFileName(const std::string& name)
{
    static const char* const targets[] = {"TEAMS.HFD", "REGIONS.HFD", "PICKS.HFD",
                                          "TEAMS.BAK", "REGIONS.BAK", "PICKS.BAK"};
    for (const char* target : targets) {
        const std::size_t n = std::strlen(target);
        if (name.size() != n + 7 || name.compare(0, n, target) != 0 || name[n] != '.') continue;
        bool ok = true;
        for (std::size_t i = n + 1; i < name.size(); ++i) ok = ok && IsAlnum(name[i]);
        if (ok) return true;
    }
    return false;
}
}  // namespace

int removeStaleTempFiles(const std::string& dir)
{
    DIR* folder = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!folder) return 0;
    std::vector<std::string> stale;
    while (const dirent* item = ::readdir(folder)) {
        const std::string name = item->d_name;
        if (!isTempFileName(name) && !IsOldTempFileName(name)) continue;
        struct stat st {};
        const std::string path = joinPath(dir, name);
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) stale.push_back(path);
    }
    ::closedir(folder);
    int removed = 0;
    for (const std::string& path : stale) removed += ::unlink(path.c_str()) == 0 ? 1 : 0;
    return removed;
}
