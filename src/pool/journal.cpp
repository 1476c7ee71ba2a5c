#include "pool/journal.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "pool/errors.h"
#include "pool/players.h"

namespace {
constexpr unsigned char Magic[4] = {'H', 'F', 'J', '1'};
constexpr std::size_t HeaderSize = 9;  // magic, kind, length
constexpr std::size_t TrailerSize = 4;
constexpr std::size_t StorePayload = 1 + PickRecordSize;
constexpr std::size_t LargestRecord = HeaderSize + StorePayload + TrailerSize;
static_assert(LargestRecord == JournalRecordMax);

void Put32(unsigned char* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

std::uint32_t Get32(const unsigned char* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

const std::array<std::uint32_t, 256>& CrcTable()
{
    static const auto table = [] {
        std::array<std::uint32_t, 256> t {};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    return table;
}
}  // namespace

std::uint32_t crc32(const unsigned char* data, std::size_t size, std::uint32_t crc)
{
    const auto& table = CrcTable();
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

TJournal::TJournal(std::string path) : m_path(std::move(path)) {}

TJournal::~TJournal()
{
    if (m_fd >= 0) {
        if (m_unsynced) ::fdatasync(m_fd);
        ::close(m_fd);
    }
}

bool TJournal::exists() const
{
    struct stat st {};
    return ::lstat(m_path.c_str(), &st) == 0;
}

void TJournal::fail(int err) { throw HoopError("Cannot write file " + m_path + ": " + systemReason(err)); }

void TJournal::open()
{
    if (m_fd >= 0) return;
    const bool existed = exists();
    m_fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (m_fd < 0) fail(errno);
    struct stat st {};
    if (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int err = errno ? errno : EINVAL;
        ::close(m_fd);
        m_fd = -1;
        fail(err);
    }
    m_size = st.st_size;
    // A new journal must survive a power cut as a name in its folder, not only as data.
    if (!existed) syncFolder(folderOf(m_path));
}

std::size_t encodeJournalRecord(TJournal::Kind kind, const unsigned char* payload, std::size_t size, unsigned char* out)
{
    std::memcpy(out, Magic, 4);
    out[4] = static_cast<unsigned char>(kind);
    Put32(out + 5, static_cast<std::uint32_t>(size));
    std::memcpy(out + HeaderSize, payload, size);
    Put32(out + HeaderSize + size, crc32(out + 4, 5 + size));
    return HeaderSize + size + TrailerSize;
}

std::size_t parseJournal(const unsigned char* data, std::size_t size,
                         const std::function<void(const TJournal::Record&)>& apply, int* records)
{
    using Kind = TJournal::Kind;
    std::size_t pos = 0;
    while (pos + HeaderSize + TrailerSize <= size) {
        const unsigned char* p = data + pos;
        const std::uint32_t length = Get32(p + 5);
        const auto kind = static_cast<Kind>(p[4]);
        const bool shapeOk = std::memcmp(p, Magic, 4) == 0 &&
                             ((kind == Kind::Store && length == StorePayload) || (kind == Kind::Delete && length == 4));
        if (!shapeOk || pos + HeaderSize + length + TrailerSize > size) break;
        if (crc32(p + 4, 5 + length) != Get32(p + HeaderSize + length)) break;
        TJournal::Record record;
        record.kind = kind;
        if (kind == Kind::Store) {
            record.rescore = p[HeaderSize] != 0;
            record.entry = p + HeaderSize + 1;
            record.id = static_cast<std::int32_t>(Get32(record.entry));
        } else {
            record.id = static_cast<std::int32_t>(Get32(p + HeaderSize));
        }
        apply(record);
        if (records) ++*records;
        pos += HeaderSize + length + TrailerSize;
    }
    return pos;
}

void TJournal::append(Kind kind, const unsigned char* payload, std::size_t size)
{
    open();
    // One write per record, so a kill leaves at most the last record torn.
    unsigned char record[LargestRecord];
    const std::size_t total = encodeJournalRecord(kind, payload, size, record);

    std::size_t done = 0;
    while (done < total) {
        const ssize_t n = ::write(m_fd, record + done, total - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int err = n < 0 ? errno : ENOSPC;
            // Cut a half-written record off, so the records after it stay readable.
            if (::ftruncate(m_fd, m_size) != 0) { /* replay stops at the torn record */ }
            fail(err);
        }
        done += static_cast<std::size_t>(n);
    }
    if (m_batch > 0) {
        m_unsynced = true;
    } else if (::fdatasync(m_fd) != 0) {
        const int err = errno;
        if (::ftruncate(m_fd, m_size) != 0) { /* as above */ }
        fail(err);
    }
    m_size += static_cast<long long>(total);
}

void TJournal::appendStore(const TPlayer& entry, bool rescore)
{
    unsigned char payload[StorePayload];
    payload[0] = rescore ? 1 : 0;
    encodePlayer(entry, payload + 1);
    append(Kind::Store, payload, sizeof payload);
}

void TJournal::appendDelete(std::int32_t id)
{
    unsigned char payload[4];
    Put32(payload, static_cast<std::uint32_t>(id));
    append(Kind::Delete, payload, sizeof payload);
}

void TJournal::beginBatch() { ++m_batch; }

void TJournal::endBatch()
{
    if (m_batch > 0 && --m_batch > 0) return;
    if (!m_unsynced || m_fd < 0) return;
    m_unsynced = false;
    if (::fdatasync(m_fd) != 0) fail(errno);
}

TJournal::ReplayOutcome TJournal::replay(const std::function<void(const Record&)>& apply)
{
    ReplayOutcome outcome;
    std::string bytes;
    outcome.read = readWholeFile(m_path, bytes);
    if (outcome.read.status != ReadStatus::Read) return outcome;

    const std::size_t pos = parseJournal(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), apply,
                                         &outcome.records);
    // More than one record's worth of bad bytes is not a save cut short: keep them.
    if (bytes.size() - pos > LargestRecord) {
        outcome.damaged = true;
        const std::string aside = asideName(m_path, "damaged");
        const int fd = ::open(aside.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        bool kept = false;
        if (fd >= 0) {
            kept = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()) && ::fsync(fd) == 0;
            ::close(fd);
        }
        if (kept) outcome.keptAs = aside;
    }
    if (pos < bytes.size() && (!outcome.damaged || !outcome.keptAs.empty())) {
        if (::truncate(m_path.c_str(), static_cast<off_t>(pos)) == 0 && m_fd < 0) m_size = static_cast<long long>(pos);
    }
    return outcome;
}

void TJournal::remove()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    m_unsynced = false;
    m_size = 0;
    if (::unlink(m_path.c_str()) == 0) syncFolder(folderOf(m_path));
}
