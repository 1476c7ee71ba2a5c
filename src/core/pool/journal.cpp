#include "core/pool/journal.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/pool/errors.h"
#include "core/pool/players.h"

namespace {
constexpr unsigned char Magic[4] = {'H', 'F', 'J', '1'};
constexpr unsigned char HeaderMagic[4] = {'H', 'F', 'J', 'H'};
constexpr std::size_t RecordHead = 9;  // magic, kind, length
constexpr std::size_t TrailerSize = 4;
constexpr std::size_t StorePayload = 1 + PickRecordSize;
// A clearing keeps the entries whose sheets are open: a handful, bounded so a damaged length
// cannot pass for a record still being written.
constexpr std::uint32_t MaxKept = 65536;

void put32(unsigned char* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

std::uint32_t get32(const unsigned char* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

const std::array<std::uint32_t, 256>& crcTable()
{
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    return table;
}

bool knownKind(unsigned char kind) { return kind >= 1 && kind <= 4; }

constexpr std::size_t BasePayload = 16;  // state, three zero bytes, size, CRC

void putBase(unsigned char* p, const JournalBase& base)
{
    std::memset(p, 0, BasePayload);
    p[0] = static_cast<unsigned char>(base.state);
    put32(p + 4, static_cast<std::uint32_t>(base.size));
    put32(p + 8, static_cast<std::uint32_t>(base.size >> 32));
    put32(p + 12, base.crc);
}

// False when the bytes cannot be a base the program wrote.
bool getBase(const unsigned char* p, JournalBase& base)
{
    if (p[0] > 2 || p[1] || p[2] || p[3]) return false;
    base.state = static_cast<JournalBase::State>(p[0]);
    base.size = std::uint64_t(get32(p + 4)) | std::uint64_t(get32(p + 8)) << 32;
    base.crc = get32(p + 12);
    return true;
}

// Whether length is a payload length the kind can have.
bool lengthFits(Journal::Kind kind, std::uint32_t length)
{
    switch (kind) {
    case Journal::Kind::Store: return length == StorePayload;
    case Journal::Kind::Delete: return length == 4;
    case Journal::Kind::Clear: return length >= 4 && length % 4 == 0 && (length - 4) / 4 <= MaxKept;
    case Journal::Kind::Written: return length == BasePayload;
    }
    return false;
}

FileStamp stampOf(const struct stat& st)
{
    return {true, static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
            static_cast<std::int64_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
}
}  // namespace

std::uint32_t crc32(const unsigned char* data, std::size_t size, std::uint32_t crc)
{
    const auto& table = crcTable();
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

JournalBase journalBaseOf(const std::string& path)
{
    JournalBase base;
    const ReadOutcome read = readFileChunks(path, [&base](const char* data, std::size_t size) {
        base.crc = crc32(reinterpret_cast<const unsigned char*>(data), size, base.crc);
        base.size += size;
    });
    base.state = read.status == ReadStatus::Read      ? JournalBase::State::Present
                 : read.status == ReadStatus::Missing ? JournalBase::State::Missing
                                                      : JournalBase::State::Unknown;
    return base;
}

FileStamp fileStampOf(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    return stampOf(st);
}

std::string keepCopyAside(const std::string& path, std::string_view bytes, const std::string& tag)
{
    const std::string aside = asideName(path, tag);
    const int fd = ::open(aside.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return {};
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    const bool kept = done == bytes.size() && ::fsync(fd) == 0;
    ::close(fd);
    if (!kept) {
        ::unlink(aside.c_str());
        return {};
    }
    syncFolder(folderOf(aside));
    return aside;
}

// ---- The format ------------------------------------------------------------------------------

std::string encodeJournalHeader(const JournalBase& base)
{
    unsigned char h[JournalHeaderSize] = {};
    std::memcpy(h, HeaderMagic, 4);
    putBase(h + 4, base);
    put32(h + 20, crc32(h, 20));
    return std::string(reinterpret_cast<const char*>(h), sizeof h);
}

std::string encodeJournalRecord(Journal::Kind kind, const unsigned char* payload, std::size_t size)
{
    std::string out(RecordHead + size + TrailerSize, '\0');
    auto* p = reinterpret_cast<unsigned char*>(out.data());
    std::memcpy(p, Magic, 4);
    p[4] = static_cast<unsigned char>(kind);
    put32(p + 5, static_cast<std::uint32_t>(size));
    if (size) std::memcpy(p + RecordHead, payload, size);
    put32(p + RecordHead + size, crc32(p + 4, 5 + size));
    return out;
}

std::size_t parseJournal(const unsigned char* data, std::size_t size,
                         const std::function<void(const Journal::Record&)>& apply, int* records)
{
    using Kind = Journal::Kind;
    std::size_t pos = 0;
    while (size - pos >= RecordHead + TrailerSize) {
        const unsigned char* p = data + pos;
        const std::uint32_t length = get32(p + 5);
        if (std::memcmp(p, Magic, 4) != 0 || !knownKind(p[4])) break;
        const auto kind = static_cast<Kind>(p[4]);
        if (!lengthFits(kind, length) || size - pos - RecordHead - TrailerSize < length) break;
        if (crc32(p + 4, 5 + length) != get32(p + RecordHead + length)) break;
        Journal::Record record;
        record.kind = kind;
        const unsigned char* payload = p + RecordHead;
        if (kind == Kind::Store) {
            record.rescore = payload[0] != 0;
            record.entry = payload + 1;
            record.id = static_cast<std::int32_t>(get32(record.entry));
        } else if (kind == Kind::Delete) {
            record.id = static_cast<std::int32_t>(get32(payload));
        } else if (kind == Kind::Written) {
            if (!getBase(payload, record.written)) break;
        } else {
            if (get32(payload) != (length - 4) / 4) break;
            for (std::uint32_t i = 0; i < get32(payload); ++i)
                record.kept.push_back(static_cast<std::int32_t>(get32(payload + 4 + 4 * i)));
        }
        apply(record);
        if (records) ++*records;
        pos += RecordHead + length + TrailerSize;
    }
    return pos;
}

bool isTornJournalRecord(const unsigned char* data, std::size_t size)
{
    if (size == 0) return false;
    if (std::memcmp(data, Magic, std::min<std::size_t>(size, 4)) != 0) return false;
    if (size < 5) return true;
    if (!knownKind(data[4])) return false;
    // The checkpoint's payload is checked as far as it came.
    if (data[4] == static_cast<unsigned char>(Journal::Kind::Written) && size > RecordHead) {
        const unsigned char zero[4] = {};
        const std::size_t have = std::min<std::size_t>(size - RecordHead, 4);
        if (data[RecordHead] > 2 || (have > 1 && std::memcmp(data + RecordHead + 1, zero, have - 1) != 0)) return false;
    }
    if (size < RecordHead) return true;
    const auto kind = static_cast<Journal::Kind>(data[4]);
    const std::uint32_t length = get32(data + 5);
    if (!lengthFits(kind, length)) return false;
    if (kind == Journal::Kind::Clear && size >= RecordHead + 4 && get32(data + RecordHead) != (length - 4) / 4)
        return false;
    return size < RecordHead + length + TrailerSize;
}

JournalScan scanJournal(const unsigned char* data, std::size_t size, const JournalBase& base,
                        const std::function<void(const Journal::Record&)>& apply)
{
    JournalScan scan;
    using Header = JournalScan::Header;
    if (size == 0) return scan;
    if (size >= 4 && std::memcmp(data, Magic, 4) == 0) {
        scan.header = Header::OldFormat;
        return scan;
    }
    if (size < JournalHeaderSize) {
        // The first write carries the header and the first record; cut short, it confirmed nothing.
        const bool prefix = std::memcmp(data, HeaderMagic, std::min<std::size_t>(size, 4)) == 0;
        scan.header = prefix ? Header::Empty : Header::Damaged;
        return scan;
    }
    if (std::memcmp(data, HeaderMagic, 4) != 0 || !getBase(data + 4, scan.base) ||
        crc32(data, 20) != get32(data + 20)) {
        scan.header = Header::Damaged;
        return scan;
    }
    // The records after the last checkpoint naming base extend it; without one, all do when the
    // header names base.
    int sound = 0, checkpoint = -1;
    const std::size_t end =
        parseJournal(data + JournalHeaderSize, size - JournalHeaderSize, [&](const Journal::Record& r) {
            ++sound;
            if (r.kind == Journal::Kind::Written && r.written.matches(base)) checkpoint = sound;
        });
    if (checkpoint < 0 && !scan.base.matches(base)) {
        scan.header = Header::Foreign;
        return scan;
    }
    scan.header = Header::Matches;
    int seen = 0;
    parseJournal(data + JournalHeaderSize, end, [&](const Journal::Record& r) {
        if (++seen <= checkpoint) return;
        apply(r);
        ++scan.records;
    });
    scan.soundEnd = JournalHeaderSize + end;
    scan.damaged = scan.soundEnd < size && !isTornJournalRecord(data + scan.soundEnd, size - scan.soundEnd);
    return scan;
}

// ---- The file --------------------------------------------------------------------------------

Journal::Journal(std::string path) : m_path(std::move(path)), m_picksPath(joinPath(folderOf(m_path), PicksFileName)) {}

Journal::~Journal()
{
    if (m_fd >= 0) {
        if (m_unsynced) ::fdatasync(m_fd);
        ::close(m_fd);
    }
}

bool Journal::exists() const
{
    struct stat st {};
    return ::lstat(m_path.c_str(), &st) == 0;
}

bool Journal::unchangedOnDisk() const { return !m_stampKnown || fileStampOf(m_path) == m_stamp; }

void Journal::noteOnDisk()
{
    struct stat st {};
    if (m_fd >= 0 && ::fstat(m_fd, &st) == 0) {
        m_stamp = stampOf(st);
    } else {
        m_stamp = fileStampOf(m_path);
    }
    m_stampKnown = true;
}

void Journal::fail(int err) { throw HoopError("Cannot write file " + m_path + ": " + systemReason(err)); }

void Journal::open()
{
    if (!m_refused.empty()) throw HoopError("Cannot write file " + m_path + ": " + m_refused);
    // Another program's journal, or ours rewritten by another program: writing on would mix two
    // runs' changes, and a file we hold but nobody can find again would lose ours.
    if (m_stampKnown && fileStampOf(m_path) != m_stamp)
        throw HoopError("Cannot write file " + m_path +
                        ": another program replaced or changed it while this one ran, so it is left as it is");
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

void Journal::append(Kind kind, const unsigned char* payload, std::size_t size)
{
    open();
    // One write per record, so a kill leaves at most the last record torn; a new journal's header
    // goes with its first record.
    std::string bytes;
    if (m_size == 0) {
        if (!m_baseKnown) setBase(journalBaseOf(m_picksPath));
        bytes = encodeJournalHeader(m_base);
    }
    bytes += encodeJournalRecord(kind, payload, size);

    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int err = n < 0 ? errno : ENOSPC;
            // Cut a half-written record off, so the records after it stay readable.
            if (::ftruncate(m_fd, m_size) != 0) { /* replay stops at the torn record */
            }
            noteOnDisk();
            fail(err);
        }
        done += static_cast<std::size_t>(n);
    }
    if (m_batch > 0) {
        m_unsynced = true;
    } else if (::fdatasync(m_fd) != 0) {
        const int err = errno;
        if (::ftruncate(m_fd, m_size) != 0) { /* as above */
        }
        noteOnDisk();
        fail(err);
    }
    m_size += static_cast<long long>(bytes.size());
    noteOnDisk();
}

void Journal::appendStore(const Player& entry, bool rescore)
{
    unsigned char payload[StorePayload];
    payload[0] = rescore ? 1 : 0;
    encodePlayer(entry, payload + 1);
    append(Kind::Store, payload, sizeof payload);
}

void Journal::appendDelete(std::int32_t id)
{
    unsigned char payload[4];
    put32(payload, static_cast<std::uint32_t>(id));
    append(Kind::Delete, payload, sizeof payload);
}

void Journal::appendClear(const std::vector<std::int32_t>& kept)
{
    if (kept.size() > MaxKept) throw HoopError("Cannot write file " + m_path + ": too many open sheets");
    std::vector<unsigned char> payload(4 + 4 * kept.size());
    put32(payload.data(), static_cast<std::uint32_t>(kept.size()));
    for (std::size_t i = 0; i < kept.size(); ++i)
        put32(payload.data() + 4 + 4 * i, static_cast<std::uint32_t>(kept[i]));
    append(Kind::Clear, payload.data(), payload.size());
}

void Journal::appendWritten(const JournalBase& written)
{
    if (m_fd < 0 && !exists()) return;
    unsigned char payload[BasePayload];
    putBase(payload, written);
    try {
        append(Kind::Written, payload, sizeof payload);
    } catch (const HoopError&) {
        // The file is written all the same: the journal then only looks like another pool's.
    }
}

void Journal::beginBatch() { ++m_batch; }

void Journal::endBatch()
{
    if (m_batch > 0 && --m_batch > 0) return;
    if (!m_unsynced || m_fd < 0) return;
    m_unsynced = false;
    if (::fdatasync(m_fd) != 0) fail(errno);
}

Journal::ReplayOutcome Journal::replay(const JournalBase& base, const std::function<void(const Record&)>& apply)
{
    ReplayOutcome outcome;
    std::string bytes;
    outcome.read = readWholeFile(m_path, bytes);
    if (outcome.read.status != ReadStatus::Read) {
        if (outcome.read.status == ReadStatus::Missing) noteOnDisk();
        return outcome;
    }

    const JournalScan scan =
        scanJournal(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), base, apply);
    outcome.records = scan.records;
    using Header = JournalScan::Header;
    if (scan.header == Header::Foreign || scan.header == Header::OldFormat || scan.header == Header::Damaged) {
        // Not this pool's changes, or changes that cannot be told to be: kept whole, never applied.
        outcome.notThisPool = scan.header != Header::Damaged;
        outcome.oldFormat = scan.header == Header::OldFormat;
        outcome.damaged = scan.header == Header::Damaged;
        outcome.movedWhole = true;
        try {
            outcome.keptAs = moveAside(m_path, outcome.damaged ? "damaged" : "foreign");
        } catch (const HoopError& error) {
            outcome.failure = error.what();
            m_refused = "it could neither be replayed nor moved aside, so it is left as it is";
        }
        noteOnDisk();
        return outcome;
    }
    const std::size_t sound = scan.header == Header::Empty ? 0 : scan.soundEnd;
    if (scan.damaged) {
        outcome.damaged = true;
        outcome.keptAs = keepCopyAside(m_path, bytes, "damaged");
    }
    // Cut back to the sound records, so later records follow them; damaged bytes only once kept.
    if (sound < bytes.size() && (!outcome.damaged || !outcome.keptAs.empty())) {
        if (::truncate(m_path.c_str(), static_cast<off_t>(sound)) == 0 && m_fd < 0)
            m_size = static_cast<long long>(sound);
    }
    noteOnDisk();
    return outcome;
}

void Journal::remove()
{
    if (!m_refused.empty()) return;  // not ours to remove
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    m_unsynced = false;
    m_size = 0;
    if (::unlink(m_path.c_str()) == 0) syncFolder(folderOf(m_path));
    noteOnDisk();
}
