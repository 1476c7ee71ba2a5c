#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/pool/file_io.h"

struct Player;

inline const std::string JournalFileName = "PICKS.JNL";

// What a journal's header says of the PICKS.HFD it extends: the file as it stood when the journal
// was started (its size and CRC-32), or that there was none. Unknown (a file that could not be
// read) matches nothing, so such a journal is never replayed onto a guess.
struct JournalBase {
    enum class State : std::uint8_t { Missing = 0, Present = 1, Unknown = 2 };
    State state = State::Unknown;
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
    bool matches(const JournalBase& other) const
    {
        return state != State::Unknown && state == other.state &&
               (state == State::Missing || (size == other.size && crc == other.crc));
    }
};
// The base of the PICKS.HFD at path as it stands now.
JournalBase journalBaseOf(const std::string& path);

// Which file a path names and how it stood: device, inode, size and modification time. A run
// compares them before it writes over a file it loaded, so it never replaces what another
// program put there meanwhile.
struct FileStamp {
    bool exists = false;
    std::uint64_t device = 0, inode = 0;
    std::int64_t size = 0, modifiedNs = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};
FileStamp fileStampOf(const std::string& path);  // follows symbolic links, as the readers do

// The changes made to the participant list since PICKS.HFD was last written, appended one record
// at a time and flushed to disk before the change is made, so a killed program loses at most the
// sheet being typed. Replayed at start-up and folded into PICKS.HFD, then removed.
//
// The file starts with a header naming the PICKS.HFD it extends: "HFJH", the base's state byte,
// three zero bytes, its size (8 bytes) and CRC-32 (4 bytes), all little-endian, and a CRC-32 of
// those 20 bytes. Then records: "HFJ1", a kind byte, the payload's length (4 bytes), the payload,
// and a CRC-32 of kind, length and payload. A store carries a flags byte (1 = rescore) and the
// entry as a PICKS.HFD record; a deletion carries the id; a clearing (Pool New) carries the count
// and the ids of the entries it keeps (those whose sheets were open); a checkpoint, written just
// before PICKS.HFD is replaced, carries the new file's base as the header does (without its magic
// and CRC), so a journal whose removal a kill prevented is known to be folded in already.
class Journal {
public:
    enum class Kind : std::uint8_t { Store = 1, Delete = 2, Clear = 3, Written = 4 };
    struct Record {
        Kind kind = Kind::Store;
        bool rescore = false;
        std::int32_t id = 0;
        const unsigned char* entry = nullptr;  // the PICKS.HFD record of a store
        std::vector<std::int32_t> kept;        // the ids a clearing keeps
        JournalBase written;                   // the PICKS.HFD a checkpoint names
    };

    // path: the journal, which extends the PICKS.HFD beside it.
    explicit Journal(std::string path);
    ~Journal();
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    // The PICKS.HFD a journal started from now extends; set after each load and write of it.
    // Without one, a new journal reads PICKS.HFD to learn it.
    void setBase(const JournalBase& base)
    {
        m_base = base;
        m_baseKnown = true;
    }

    // Each returns once the record is on disk (or, inside a batch, written); a failure throws a
    // HoopError and leaves the journal as it was before the call. A journal that another program
    // replaced or changed since this one last wrote it is refused, not written to.
    void appendStore(const Player& entry, bool rescore);
    void appendDelete(std::int32_t id);
    void appendClear(const std::vector<std::int32_t>& kept);
    // The checkpoint before PICKS.HFD is replaced by written; nothing when there is no journal, and
    // a failure is not an error (the journal then only looks like another pool's afterwards).
    void appendWritten(const JournalBase& written);

    // Inside a batch records are written without waiting for the disk; endBatch waits once for
    // all of them and throws when that fails.
    void beginBatch();
    void endBatch();

    struct ReplayOutcome {
        ReadOutcome read;          // Missing when there is no journal
        int records = 0;           // records applied
        bool damaged = false;      // bad bytes after the sound records, more than a save cut short
        bool notThisPool = false;  // the header names another PICKS.HFD, or there is none (an
                                   // earlier version's journal): nothing was applied
        bool oldFormat = false;    // of notThisPool: an earlier version's journal without header
        bool movedWhole = false;   // not applied at all (another pool's, or damaged at its start)
        std::string keptAs;        // where the journal, or a copy of it, was kept
        std::string failure;       // why it could not be kept aside (it then stays, unused)
    };
    // Applies every sound record in order when the header names base; a strict prefix of one
    // record at the very end (a save cut short) is dropped quietly. Any other damage keeps a copy
    // of the journal aside before the bad bytes are cut off; a journal of another PICKS.HFD is
    // moved aside whole and nothing of it applied.
    ReplayOutcome replay(const JournalBase& base, const std::function<void(const Record&)>& apply);

    // Removes the journal once PICKS.HFD holds everything in it.
    void remove();
    bool exists() const;
    const std::string& path() const { return m_path; }
    // Whether the file at the path is still the journal as this run last left it (true when the
    // run never looked at it).
    bool unchangedOnDisk() const;
    // Takes the journal as it stands now as this run's (after it was moved aside by its owner).
    void noteOnDisk();

private:
    void append(Kind kind, const unsigned char* payload, std::size_t size);
    void open();
    [[noreturn]] void fail(int err);

    std::string m_path;
    std::string m_picksPath;
    int m_fd = -1;
    long long m_size = 0;  // bytes of header and sound records
    int m_batch = 0;
    bool m_unsynced = false;
    JournalBase m_base;
    bool m_baseKnown = false;
    FileStamp m_stamp;  // the journal as this run last left it
    bool m_stampKnown = false;
    std::string m_refused;  // why nothing may be written to the file at the path
};

std::uint32_t crc32(const unsigned char* data, std::size_t size, std::uint32_t crc = 0);

// The journal's format, without the file.
constexpr std::size_t JournalHeaderSize = 24;
std::string encodeJournalHeader(const JournalBase& base);
std::string encodeJournalRecord(Journal::Kind kind, const unsigned char* payload, std::size_t size);
// The sound records at the start of data, handed to apply in order; returns how many bytes they take.
std::size_t parseJournal(const unsigned char* data, std::size_t size,
                         const std::function<void(const Journal::Record&)>& apply, int* records = nullptr);
// Whether data is a strict prefix of one record: what a save cut short leaves.
bool isTornJournalRecord(const unsigned char* data, std::size_t size);

struct JournalScan {
    enum class Header {
        Empty,      // no bytes, or a header cut short: nothing was ever confirmed
        Matches,    // names the given base, or holds a checkpoint that does
        Foreign,    // names another PICKS.HFD
        OldFormat,  // records without a header
        Damaged     // neither: nothing can be trusted
    };
    Header header = Header::Empty;
    JournalBase base;          // what a sound header names
    std::size_t soundEnd = 0;  // bytes of the header and the sound records
    int records = 0;
    bool damaged = false;  // the bytes after soundEnd are not a strict prefix of one record
};
// Reads a journal's bytes against the base of the PICKS.HFD beside it; apply sees the sound
// records only when the header matches, and only those after the last checkpoint that names base.
JournalScan scanJournal(const unsigned char* data, std::size_t size, const JournalBase& base,
                        const std::function<void(const Journal::Record&)>& apply);

// Writes bytes to a new file named after path with tag (see asideName), flushed to disk; the new
// path, or empty when it could not be written.
std::string keepCopyAside(const std::string& path, std::string_view bytes, const std::string& tag);
