#include "core/commands/pool_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/pool/file_io.h"

namespace {
// Closes a descriptor when it goes out of scope.
struct Descriptor {
    int fd;
    ~Descriptor()
    {
        if (fd >= 0) ::close(fd);
    }
};
}  // namespace

PoolLock::~PoolLock()
{
    if (m_fd >= 0) ::close(m_fd);  // the lock goes with the last descriptor
}

PoolLock::Outcome PoolLock::take(const std::string& dataDir)
{
    const std::string path = joinPath(dataDir, PoolLockFileName);
    auto fail = [this, &path](const std::string& why) {
        m_reason = path + ": " + why;
        return Outcome::Failed;
    };
    if (m_fd >= 0) return Outcome::Taken;
    const Descriptor folder{::open(dataDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    struct stat folderInfo {};
    if (folder.fd < 0 || ::fstat(folder.fd, &folderInfo) != 0) return fail(systemReason(errno));
    // Whoever may write in the folder may lock it, nobody else: one who could only read the pool
    // could otherwise hold its lock and keep the pool's own users out.
    const mode_t mode = 0600 | (folderInfo.st_mode & S_IWGRP ? 0060 : 0) | (folderInfo.st_mode & S_IWOTH ? 0006 : 0);
    // Opened for writing, since a lock over the network needs it; never through a link, never
    // waiting on a pipe, and not handed to the programs this one starts (a browser would hold the
    // lock after the program ended).
    const int flags = O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY;
    Descriptor lock{-1};
    bool made = false;
    for (int attempt = 0; lock.fd < 0 && attempt < 3; ++attempt) {
        lock.fd = ::openat(folder.fd, PoolLockFileName, flags | O_CREAT | O_EXCL, mode);
        made = lock.fd >= 0;
        if (lock.fd < 0 && errno == EEXIST) lock.fd = ::openat(folder.fd, PoolLockFileName, flags);
        if (lock.fd < 0 && errno != ENOENT) break;  // ENOENT: removed between the two opens
    }
    if (lock.fd < 0)
        return fail(errno == ELOOP ? std::string("a symbolic link, which is not followed") : systemReason(errno));
    struct stat info {};
    if (::fstat(lock.fd, &info) != 0) return fail(systemReason(errno));
    if (!S_ISREG(info.st_mode)) return fail("not a plain file");
    int locked;
    do locked = ::flock(lock.fd, LOCK_EX | LOCK_NB);
    while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        if (errno == EWOULDBLOCK) return Outcome::Held;
        return fail(systemReason(errno));
    }
    if (made) {
        ::fchmod(lock.fd, mode);  // the umask may have taken the group's access away
        // Run as root on a user's pool, the lock file becomes the user's, or the user could never
        // take it again. Should that fail, it is still a lock: root can open it, and so can the
        // users its mode lets in.
        if (::geteuid() == 0 && folderInfo.st_uid != 0 &&
            ::fchown(lock.fd, folderInfo.st_uid, folderInfo.st_gid) != 0) {
        }
    }
    m_fd = lock.fd;
    lock.fd = -1;
    m_reason.clear();
    return Outcome::Taken;
}
