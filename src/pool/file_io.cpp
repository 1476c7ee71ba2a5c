#include "pool/file_io.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "pool/errors.h"

std::string JoinPath(const std::string& dir, const std::string& name)
{
    if (dir.empty()) return name;
    if (dir.back() == '/') return dir + name;
    return dir + "/" + name;
}

std::string SystemReason(int err) { return std::strerror(err); }

AtomicFile::AtomicFile(std::string path) : m_path(std::move(path))
{
    std::string pattern = m_path + ".XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) fail("Cannot create", errno);
    m_temp = pattern;
    ::fchmod(fd, 0644);
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
    throw HoopError(std::string(what) + " file " + m_path + ": " + SystemReason(err));
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
    if (std::rename(m_temp.c_str(), m_path.c_str()) != 0) fail("Cannot replace", errno);
    m_done = true;
}

void WriteFileAtomic(const std::string& path, std::string_view data)
{
    AtomicFile file(path);
    file.write(data);
    file.commit();
}
