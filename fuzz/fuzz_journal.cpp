// PICKS.JNL reader: any bytes parse without harm; the sound records it takes, encoded again, are
// exactly the bytes they came from, and their entries apply to a list like a replay does.
#include <cstdlib>
#include <cstring>
#include <string>

#include "pool/journal.h"
#include "pool/players.h"
#include "pool/pool_host.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    NullPoolHost host;
    TTeamTable teams;
    TPlayers players(host, "/nonexistent", teams);
    players.setWriteOnDestroy(false);
    std::string again;
    const std::size_t used = parseJournal(data, size, [&](const TJournal::Record& record) {
        unsigned char payload[1 + PickRecordSize];
        std::size_t length = 4;
        if (record.kind == TJournal::Kind::Store) {
            payload[0] = record.rescore ? 1 : 0;
            std::memcpy(payload + 1, record.entry, PickRecordSize);
            length = sizeof payload;
            TPlayer entry;
            decodePlayer(record.entry, entry);
            if (entry.Id != record.id) std::abort();
            players.add(entry);
        } else {
            for (int i = 0; i < 4; ++i) payload[i] = static_cast<unsigned char>(std::uint32_t(record.id) >> (8 * i));
        }
        unsigned char out[JournalRecordMax];
        again.append(reinterpret_cast<const char*>(out),
                     encodeJournalRecord(record.kind, payload, length, out));
    });
    if (used > size || again.size() != used || std::memcmp(again.data(), data, used) != 0) std::abort();
    return 0;
}
