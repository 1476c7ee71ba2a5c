#include "core/pool/file_io.h"

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

#include "core/pool/errors.h"

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

std::string fileKindName(mode_t mode)
{
    if (S_ISREG(mode)) return "a regular file";
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a named pipe";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    return "a symbolic link";
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string fileNameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

namespace {

// A descriptor closed when it goes out of scope, unless released.
class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0) ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    Fd& operator=(int fd)
    {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = fd;
        return *this;
    }
    int get() const { return m_fd; }
    int release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

std::string notRegularReason(mode_t mode)
{
    return "it is " + fileKindName(mode) + ", not a regular file, so it is left as it is";
}

const char* const TempMarker = ".hoopfall-tmp-";

std::string randomSuffix()
{
    std::random_device source;  // no generator kept between calls: the core holds no mutable state
    std::mt19937 generator(source());
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::uniform_int_distribution<int> pick(0, 61);
    std::string suffix(6, 'x');
    for (char& c : suffix) c = alphabet[pick(generator)];
    return suffix;
}

bool isAlnum(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }

// Copies a file byte for byte to a new name (never replacing one); false with errno set.
bool copyToNewFile(const std::string& source, const std::string& destination)
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
    return readFileChunks(
        path, [&bytes](const char* data, std::size_t size) { bytes.append(data, size); }, read);
}

std::string asideName(const std::string& path, const std::string& tag)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
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

std::string copyAside(const std::string& path, const std::string& tag)
{
    const std::string aside = asideName(path, tag);
    if (!copyToNewFile(path, aside)) throw HoopError("Cannot keep a copy of file " + path + ": " + systemReason(errno));
    return aside;
}

// ---- Atomic writing --------------------------------------------------------------------------

// Each link on the way is looked at through a handle to the link itself (owner and text from the
// same inode) and each folder through a handle of its own, so what is checked is what is used.
// Folders on the way are walked by the kernel, which applies its own rules to links among them.
bool AtomicFile::resolveTarget(struct stat& found)
{
    std::string current = m_path;      // looked up from `base`
    std::string currentPath = m_path;  // the same, from the working folder (for messages)
    Fd base(AT_FDCWD);
    for (int hops = 0;; ++hops) {
        if (hops > 40) fail("Cannot write", ELOOP);
        // "dir/" names the folder itself, refused below. (Not `name = "."`: g++ 12 at -O3 takes
        // that assignment for an overlapping copy, -Wrestrict.)
        const std::string last = fileNameOf(current);
        const std::string name = last.empty() ? std::string(1, '.') : last;
        Fd folder(::openat(base.get(), folderOf(current).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (folder.get() < 0) fail("Cannot create", errno);
        struct stat folderStat {};
        if (::fstat(folder.get(), &folderStat) != 0) fail("Cannot create", errno);
        Fd item(::openat(folder.get(), name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        if (item.get() < 0 && errno != ENOENT) fail("Cannot write", errno);
        found = {};
        if (item.get() >= 0 && ::fstat(item.get(), &found) != 0) fail("Cannot write", errno);
        if (item.get() >= 0 && S_ISLNK(found.st_mode)) {
            // In a sticky folder anyone may write to, another user can plant a link to a file of
            // ours; the kernel follows such a link only for its owner or the folder's.
            const mode_t shared = S_ISVTX | S_IWOTH;
            if ((folderStat.st_mode & shared) == shared && found.st_uid != ::geteuid() &&
                found.st_uid != folderStat.st_uid)
                refuse((currentPath == m_path ? std::string("it") : currentPath) +
                       " is a symbolic link of another user in a folder shared by all, so it is not followed");
            std::vector<char> buffer(PATH_MAX + 1);
            const ssize_t n = ::readlinkat(item.get(), "", buffer.data(), buffer.size() - 1);
            if (n <= 0) fail("Cannot write", n < 0 ? errno : ENOENT);
            const std::string target(buffer.data(), static_cast<std::size_t>(n));
            currentPath = target.front() == '/' ? target : joinPath(folderOf(currentPath), target);
            current = target;
            base = folder.release();  // a relative target is looked up from the link's folder
            continue;
        }
        const bool exists = item.get() >= 0;
        if (exists && !S_ISREG(found.st_mode)) refuseNotRegular(found.st_mode);
        m_folder = folder.release();
        m_name = name;
        m_target = currentPath;
        return exists;
    }
}

AtomicFile::AtomicFile(std::string path, FileGuard* guard) : m_path(std::move(path))
{
    if (guard && guard->blocked()) throw HoopError("Cannot write file " + m_path + ": " + guard->reason);
    struct stat st {};
    const bool exists = resolveTarget(st);
    if (guard && guard->state == FileGuard::State::CopyAsideFirst) {
        // The file held bytes that could not be used (a torn last record): keep them before
        // they are replaced.
        struct stat taken {};
        const bool named = !guard->aside.empty() && ::lstat(guard->aside.c_str(), &taken) != 0;
        const std::string aside = named ? guard->aside : asideName(m_target, "damaged");
        if (!copyToNewFile(m_target, aside) && errno != ENOENT) fail("Cannot keep a copy of", errno);
        guard->state = FileGuard::State::None;
        guard->aside.clear();
    }

    if (exists) {
        // A read-only file is the organiser's way of saying "do not change this".
        if (::faccessat(m_folder, m_name.c_str(), W_OK, 0) != 0) fail("Cannot write", errno);
        if ((st.st_mode & 0222) == 0) fail("Cannot write", EACCES);
    }

    // Appended rather than "." + name: g++ 12 at -O3 takes that for an overlapping copy (-Wrestrict).
    const std::string tempPrefix = std::string(".").append(m_name).append(TempMarker);
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        m_temp = tempPrefix + randomSuffix();
        // 0666 less the umask, as any editor's new file; an existing file's bits are put back below.
        fd = ::openat(m_folder, m_temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        const int err = errno;
        m_temp.clear();
        fail("Cannot create", err);
    }
    if (exists) {
        // Keep the owner where we may (root saving a user's file) and the permission bits always.
        if (::fchown(fd, st.st_uid, st.st_gid) != 0) { /* not allowed for an ordinary user: keep ours */
        }
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
    if (!m_done && !m_temp.empty()) ::unlinkat(m_folder, m_temp.c_str(), 0);
    if (m_folder >= 0) ::close(m_folder);
}

void AtomicFile::release()
{
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    if (!m_temp.empty() && m_folder >= 0) ::unlinkat(m_folder, m_temp.c_str(), 0);
    m_temp.clear();
    if (m_folder >= 0) ::close(m_folder);
    m_folder = -1;
    m_done = true;
}

void AtomicFile::fail(const char* what, int err)
{
    release();
    throw HoopError(std::string(what) + " file " + m_path + ": " + systemReason(err));
}

void AtomicFile::refuse(const std::string& reason)
{
    release();
    throw HoopError("Cannot write file " + m_path + ": " + reason);
}

void AtomicFile::refuseNotRegular(mode_t mode)
{
    // A folder in the file's place says so in the system's words, as a failed rename over it did.
    if (S_ISDIR(mode)) fail("Cannot replace", EISDIR);
    refuse(notRegularReason(mode));
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
    // Looked at again just before the rename: a pipe or a device put there meanwhile stays.
    struct stat st {};
    if (::fstatat(m_folder, m_name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISREG(st.st_mode))
        refuseNotRegular(st.st_mode);
    if (::renameat(m_folder, m_temp.c_str(), m_folder, m_name.c_str()) != 0) fail("Cannot replace", errno);
    m_done = true;
    // The rename is durable only once the folder is.
    const int folder = ::openat(m_folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool synced = folder >= 0 && ::fsync(folder) == 0;
    const int err = errno;
    if (folder >= 0) ::close(folder);
    if (!synced && err == EIO) throw HoopError("Cannot write file " + m_path + ": " + systemReason(EIO));
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
        if (!isAlnum(c)) return false;
    return true;
}

int removeStaleTempFiles(const std::string& dir, std::timespec runStart)
{
    DIR* folder = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!folder) return 0;
    std::vector<std::string> stale;
    while (const dirent* item = ::readdir(folder)) {
        const std::string name = item->d_name;
        if (!isTempFileName(name)) continue;
        struct stat st {};
        const std::string path = joinPath(dir, name);
        if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        const bool older = st.st_mtim.tv_sec < runStart.tv_sec ||
                           (st.st_mtim.tv_sec == runStart.tv_sec && st.st_mtim.tv_nsec < runStart.tv_nsec);
        if (older) stale.push_back(path);
    }
    ::closedir(folder);
    int removed = 0;
    for (const std::string& path : stale) removed += ::unlink(path.c_str()) == 0 ? 1 : 0;
    return removed;
}

std::timespec processStartTime()
{
    std::timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    // The 22nd field of /proc/self/stat is the start in clock ticks since boot; the 2nd, the
    // program's name in parentheses, may hold spaces and parentheses of its own.
    std::string stat;
    if (readWholeFile("/proc/self/stat", stat).status != ReadStatus::Read) return now;
    const std::size_t nameEnd = stat.rfind(')');
    if (nameEnd == std::string::npos) return now;
    const char* p = stat.c_str() + nameEnd + 1;
    unsigned long long ticks = 0;
    for (int field = 3; field <= 22 && *p; ++field) {
        while (*p == ' ') ++p;
        if (field == 22) ticks = std::strtoull(p, nullptr, 10);
        while (*p && *p != ' ') ++p;
    }
    const long hz = ::sysconf(_SC_CLK_TCK);
    std::timespec boot{};
    if (ticks == 0 || hz <= 0 || ::clock_gettime(CLOCK_BOOTTIME, &boot) != 0) return now;
    const long long second = 1'000'000'000;
    const long long sinceBoot = boot.tv_sec * second + boot.tv_nsec;
    const long long startedAt = static_cast<long long>(ticks) * (second / hz);
    if (startedAt > sinceBoot) return now;
    // One tick earlier than the figures say: a file of the very moment of the start stays.
    const long long start = now.tv_sec * second + now.tv_nsec - (sinceBoot - startedAt) - second / hz;
    return {static_cast<std::time_t>(start / second), static_cast<long>(start % second)};
}
