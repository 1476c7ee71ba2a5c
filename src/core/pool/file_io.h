#pragma once
#include <cstddef>
#include <cstdio>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/types.h>

// Path of a file in a folder (the folder may or may not end in a separator).
std::string joinPath(const std::string& dir, const std::string& name);

// The extension of a file's name with its dot, in lower case ASCII (".htm"); empty when it has none.
std::string lowerExtension(std::string_view path);

// Text of an errno value ("No such file or directory").
std::string systemReason(int err);

// What a file of this mode is, for a message: "a folder", "a named pipe", "a socket", "a device",
// "a regular file".
std::string fileKindName(mode_t mode);

// ---- Reading ---------------------------------------------------------------------------------

// "No file yet" and "a file that could not be read in full" are different things: the first is a
// new pool, the second is a pool that must not be written over.
enum class ReadStatus { Read, Missing, Unreadable };

struct ReadOutcome {
    ReadStatus status = ReadStatus::Missing;
    std::string reason;  // the system's reason when Unreadable
};

// The read(2) the readers use; tests pass one that fails part-way. nullptr is the real one.
using ReadFunction = ssize_t (*)(int fd, void* buffer, std::size_t size);

// Reads a regular file in chunks, handing each to sink. Never opens a folder, a pipe or a device
// (that is Unreadable, "not a regular file"); a read error at any offset is Unreadable, after the
// chunks read before it were handed on.
ReadOutcome readFileChunks(const std::string& path, const std::function<void(const char*, std::size_t)>& sink,
                           ReadFunction read = nullptr);
// The whole file in memory; bytes are what was read before a failure.
ReadOutcome readWholeFile(const std::string& path, std::string& bytes, ReadFunction read = nullptr);

// ---- Files that must not be written over -----------------------------------------------------

// What a save must do about a data file that was not read in full at start-up: copy it aside
// first (a torn tail), or nothing at all (a file that could neither be read nor moved aside).
// Each data file's owner keeps one and hands it to the writer.
struct FileGuard {
    enum class State { None, CopyAsideFirst, Blocked };
    State state = State::None;
    std::string reason;   // why a Blocked file is not written
    std::string aside{};  // the copy a CopyAsideFirst file gets, when named as it was found (else one is chosen)
    bool blocked() const { return state == State::Blocked; }
};

// The name a kept file gets beside the original: "PICKS.HFD.unreadable-20261207-101500" (with
// "-2", "-3" ... when that name is taken).
std::string asideName(const std::string& path, const std::string& tag);
// Moves the file aside; returns the new path, or throws a HoopError with the system's reason.
std::string moveAside(const std::string& path, const std::string& tag);
// Copies the file aside byte for byte, never over an existing name; returns the new path, or
// throws a HoopError with the system's reason.
std::string copyAside(const std::string& path, const std::string& tag);

// ---- Writing ---------------------------------------------------------------------------------

// Writes a file atomically: a temp file in the same folder, flushed to disk, then renamed over
// the target. Until commit() nothing is visible; a failure leaves the old file whole and throws
// a HoopError naming the file and the system's reason. The new file keeps the old one's
// permission bits (a new file gets 0666 less the umask), a symbolic link is written through to its
// target, a read-only file is refused, and the folder is synced after the rename.
//
// Only a regular file is ever replaced: a folder, a device, a named pipe or a socket is refused
// before anything is created beside it. Links are followed as the kernel follows them when
// fs.protected_symlinks is on: a link in a sticky folder that anyone may write to (/tmp) is not
// followed when it belongs neither to us nor to the folder's owner.
class AtomicFile {
public:
    // guard: the file's guard, when it is a data file (a Blocked file is refused; a torn one is
    // copied aside first, and the guard then cleared).
    explicit AtomicFile(std::string path, FileGuard* guard = nullptr);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    void write(const void* data, std::size_t size);
    void write(std::string_view text) { write(text.data(), text.size()); }
    void commit();
    const std::string& path() const { return m_path; }

private:
    [[noreturn]] void fail(const char* what, int err);
    [[noreturn]] void refuse(const std::string& reason);
    [[noreturn]] void refuseNotRegular(mode_t mode);
    void release();
    // Finds the file to replace (m_folder, m_name, m_target); true, with its status, when it exists.
    bool resolveTarget(struct stat& found);
    std::string m_path;    // as the caller named it (for messages)
    std::string m_target;  // the file actually replaced: the end of any symbolic links
    std::string m_name;    // its name in m_folder
    int m_folder = -1;     // the folder it is in, held open so no rename of a folder on the way redirects us
    std::string m_temp;    // the temp file's name in m_folder
    std::FILE* m_file = nullptr;
    bool m_done = false;
};

void writeFileAtomic(const std::string& path, std::string_view data, FileGuard* guard = nullptr);

// Temp files are named ".<name>.hoopfall-tmp-XXXXXX" beside their target.
bool isTempFileName(const std::string& fileName);
// Removes the temp files that interrupted saves left in dir: regular files of that pattern only,
// and only those last changed before runStart, since a newer one is another copy's save under
// way. Returns how many.
int removeStaleTempFiles(const std::string& dir, std::timespec runStart);
// When this process started (the current time when the system does not say).
std::timespec processStartTime();

// Flushes a folder's entries (after a rename or a new file) to disk; false on failure.
bool syncFolder(const std::string& dir);
std::string folderOf(const std::string& path);
// The last part of a path: its file name.
std::string fileNameOf(const std::string& path);
