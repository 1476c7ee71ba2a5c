#pragma once
#include <string>

// One writer per pool folder, whoever runs it, from whatever environment, by whatever path: an
// exclusive flock on a file inside the folder, held by the window and by each command that changes
// the pool for the whole run. The lock belongs to the file, not to its name, so a bind mount or
// another runtime folder meets the same lock, and the system lets it go when the process ends,
// however it ends. The file is never removed: a copy could lock a new file of that name while
// another still holds the removed one.
class PoolLock final {
public:
    enum class Outcome { Taken, Held, Failed };

    PoolLock() = default;
    ~PoolLock();
    PoolLock(const PoolLock&) = delete;
    PoolLock& operator=(const PoolLock&) = delete;

    // Takes the lock of the pool in dataDir without waiting. Held: another process has it.
    // Failed: the lock file could not be made or opened as a plain file; reason() says why.
    Outcome take(const std::string& dataDir);
    const std::string& reason() const { return m_reason; }

private:
    int m_fd = -1;
    std::string m_reason;
};

// A name nobody types, and one the clean-up of temp files leaves alone.
inline const char* const PoolLockFileName = ".hoopfall.lock";
