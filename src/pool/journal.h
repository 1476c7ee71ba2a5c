#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "pool/file_io.h"

struct TPlayer;

inline const std::string JournalFileName = "PICKS.JNL";

// The changes made to the participant list since PICKS.HFD was last written, appended one record
// at a time and flushed to disk before the change is made, so a killed program loses at most the
// sheet being typed. Replayed at start-up and folded into PICKS.HFD, then removed.
//
// A record: "HFJ1", a kind byte, the payload's length (4 bytes, little-endian), the payload, and
// a CRC-32 of kind, length and payload. A store carries a flags byte (1 = rescore) and the entry
// as a PICKS.HFD record; a deletion carries the id.
class TJournal {
public:
    enum class Kind : std::uint8_t { Store = 1, Delete = 2 };
    struct Record {
        Kind kind = Kind::Store;
        bool rescore = false;
        std::int32_t id = 0;
        const unsigned char* entry = nullptr;  // the PICKS.HFD record of a store
    };

    explicit TJournal(std::string path);
    ~TJournal();
    TJournal(const TJournal&) = delete;
    TJournal& operator=(const TJournal&) = delete;

    // Each returns once the record is on disk (or, inside a batch, written); a failure throws a
    // HoopError and leaves the journal as it was before the call.
    void appendStore(const TPlayer& entry, bool rescore);
    void appendDelete(std::int32_t id);

    // Inside a batch records are written without waiting for the disk; EndBatch waits once for
    // all of them and throws when that fails.
    void beginBatch();
    void endBatch();

    struct ReplayOutcome {
        ReadOutcome read;       // Missing when there is no journal
        int records = 0;        // records applied
        bool damaged = false;   // bad bytes beyond a torn last record
        std::string keptAs;     // where damaged bytes were kept
    };
    // Applies every sound record in order; a torn last record (a save cut short) ends it quietly.
    // Bad bytes beyond that are kept aside as a copy of the journal before anything is dropped.
    // The journal is cut back to its sound records so later records follow them.
    ReplayOutcome replay(const std::function<void(const Record&)>& apply);

    // Removes the journal once PICKS.HFD holds everything in it.
    void remove();
    bool exists() const;
    const std::string& path() const { return m_path; }

private:
    void append(Kind kind, const unsigned char* payload, std::size_t size);
    void open();
    [[noreturn]] void fail(int err);

    std::string m_path;
    int m_fd = -1;
    long long m_size = 0;  // bytes of sound records
    int m_batch = 0;
    bool m_unsynced = false;
};

std::uint32_t crc32(const unsigned char* data, std::size_t size, std::uint32_t crc = 0);

// The journal's record format, without the file: one record into out (at most JournalRecordMax
// bytes), returning its size; and the sound records at the start of data, handed to apply in
// order, returning how many bytes they take.
constexpr std::size_t JournalRecordMax = 9 + 1 + 300 + 4;
std::size_t encodeJournalRecord(TJournal::Kind kind, const unsigned char* payload, std::size_t size, unsigned char* out);
std::size_t parseJournal(const unsigned char* data, std::size_t size, const std::function<void(const TJournal::Record&)>& apply,
                         int* records = nullptr);
