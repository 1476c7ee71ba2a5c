#pragma once
#include <cstdio>
#include <string>
#include <string_view>

// Path of a file in a folder (the folder may or may not end in a separator).
std::string JoinPath(const std::string& dir, const std::string& name);

// Writes a file atomically: a temp file in the same folder, flushed to disk, then renamed over
// the target. Until commit() nothing is visible; a failure leaves the old file whole and throws
// a HoopError naming the file and the system's reason.
class AtomicFile {
public:
    explicit AtomicFile(std::string path);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    void write(const void* data, std::size_t size);
    void write(std::string_view text) { write(text.data(), text.size()); }
    void commit();
    const std::string& path() const { return m_path; }

private:
    [[noreturn]] void fail(const char* what, int err);
    std::string m_path;
    std::string m_temp;
    std::FILE* m_file = nullptr;
    bool m_done = false;
};

void WriteFileAtomic(const std::string& path, std::string_view data);

// Text of an errno value ("No such file or directory").
std::string SystemReason(int err);
