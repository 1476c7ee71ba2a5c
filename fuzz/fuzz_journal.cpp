// PICKS.JNL reader: any bytes parse without harm. The sound records after a sound header, encoded
// again, are exactly the bytes they came from, and their entries apply to a list like a replay
// does; read against the PICKS.HFD the header names they are the ones taken, and read against none
// nothing applies.
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/pool/journal.h"
#include "core/pool/players.h"
#include "core/pool/pool_host.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    NullPoolHost host;
    TeamTable teams;
    PlayerList players(host, "/nonexistent", teams);

    const auto never = [](const Journal::Record&) { std::abort(); };
    const JournalScan probe = scanJournal(data, size, JournalBase{}, never);  // Unknown matches nothing
    if (probe.header == JournalScan::Header::Matches || probe.records != 0) std::abort();
    if (probe.header != JournalScan::Header::Foreign) return 0;

    std::string again = encodeJournalHeader(probe.base);
    int all = 0;
    const std::size_t used =
        parseJournal(data + JournalHeaderSize, size - JournalHeaderSize, [&](const Journal::Record& record) {
            ++all;
            std::string payload;
            if (record.kind == Journal::Kind::Store) {
                payload += static_cast<char>(record.rescore ? 1 : 0);
                payload.append(reinterpret_cast<const char*>(record.entry), PickRecordSize);
                Player entry;
                decodePlayer(record.entry, entry);
                if (entry.id != record.id) std::abort();
                players.add(entry);
            } else {
                const auto put = [&payload](std::uint32_t v) {
                    for (int i = 0; i < 4; ++i) payload += static_cast<char>(v >> (8 * i));
                };
                if (record.kind == Journal::Kind::Delete) {
                    put(static_cast<std::uint32_t>(record.id));
                } else if (record.kind == Journal::Kind::Written) {
                    const std::string header = encodeJournalHeader(record.written);
                    payload.append(header, 4, 16);  // the header carries the same base
                } else {
                    put(static_cast<std::uint32_t>(record.kept.size()));
                    for (std::int32_t id : record.kept) put(static_cast<std::uint32_t>(id));
                }
            }
            again += encodeJournalRecord(record.kind, reinterpret_cast<const unsigned char*>(payload.data()),
                                         payload.size());
        });
    if (again.size() != JournalHeaderSize + used || std::memcmp(again.data(), data, again.size()) != 0) std::abort();
    // Read against the file its header names: the same sound records, those after a checkpoint applied.
    int applied = 0;
    const JournalScan scan = scanJournal(data, size, probe.base, [&](const Journal::Record&) { ++applied; });
    if (scan.header != JournalScan::Header::Matches || scan.soundEnd != again.size() || applied != scan.records ||
        applied > all)
        std::abort();
    // What follows the sound records is either nothing, a save cut short, or damage.
    if (scan.damaged == (scan.soundEnd == size || isTornJournalRecord(data + scan.soundEnd, size - scan.soundEnd)))
        std::abort();
    return 0;
}
