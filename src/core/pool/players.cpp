#include "core/pool/players.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <random>

#include "core/pool/errors.h"
#include "core/pool/file_io.h"
#include "core/pool/pool_host.h"
#include "core/pool/unreadable_file.h"

namespace {
void putInt32(unsigned char* p, std::int32_t v)
{
    const auto u = static_cast<std::uint32_t>(v);
    p[0] = u & 0xFF;
    p[1] = (u >> 8) & 0xFF;
    p[2] = (u >> 16) & 0xFF;
    p[3] = (u >> 24) & 0xFF;
}

std::int32_t getInt32(const unsigned char* p)
{
    return static_cast<std::int32_t>(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
                                     std::uint32_t(p[3]) << 24);
}

int sign(int v) { return (v > 0) - (v < 0); }

int compareBytes(std::string_view a, std::string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    const int c = n ? std::memcmp(a.data(), b.data(), n) : 0;  // memcmp compares as unsigned bytes
    if (c != 0) return sign(c);
    return sign(int(a.size()) - int(b.size()));
}

std::string_view championName(const TeamTable& teams, const Player& p) { return teams.nameView(p.picks[GameCount]); }

std::string baseName(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
}  // namespace

void encodePlayer(const Player& entry, unsigned char* r)
{
    std::memset(r, 0, PickRecordSize);
    putInt32(r, entry.id);
    entry.name.writeTo(r + 4);
    r[30] = entry.paid;
    r[31] = entry.complete;
    entry.tiebreaker.writeTo(r + 32);
    for (int g = 1; g <= GameCount; ++g) putInt32(r + 48 + 4 * (g - 1), entry.picks[g]);
}

void decodePlayer(const unsigned char* r, Player& entry)
{
    entry = Player{};
    entry.id = getInt32(r);
    entry.name.readFrom(r + 4);
    entry.paid = r[30];
    entry.complete = r[31];
    entry.tiebreaker.readFrom(r + 32);
    for (int g = 1; g <= GameCount; ++g) entry.picks[g] = getInt32(r + 48 + 4 * (g - 1));
}

PlayerList::PlayerList(PoolHost& host, std::string dir, const TeamTable& teams)
    : m_host(host), m_dir(std::move(dir)), m_teams(teams), m_journal(joinPath(m_dir, JournalFileName))
{
}

std::string PlayerList::picksPath() const { return joinPath(m_dir, PicksFileName); }

Player& PlayerList::append()
{
    if (m_blockUsed == m_blockSize) {
        m_blockSize = std::clamp<std::size_t>(m_items.size(), 16, MaxBlockSize);
        m_blocks.push_back(std::make_unique<Player[]>(m_blockSize));
        m_blockUsed = 0;
    }
    Player* entry = &m_blocks.back()[m_blockUsed++];
    m_items.push_back(entry);
    return *entry;
}

Player& PlayerList::insertCopy(const Player& entry)
{
    Player& added = append();
    added = entry;
    counted(added, +1);
    if (added.modified) m_due.push_back(&added);
    return added;
}

const Player* PlayerList::add(const Player& entry)
{
    ++m_orderRevision;
    return &insertCopy(entry);
}

Player& PlayerList::unjournaledEntry(int index)
{
    Player& entry = *m_items.at(static_cast<std::size_t>(index));
    m_handedOut = true;
    ++m_orderRevision;
    return entry;
}

void PlayerList::counted(Player& entry, int change)
{
    if (entry.id == ResultsId) m_resultsCount += change;
    if (change > 0) {
        m_index.add(entry.id, &entry);
    } else if (m_index.remove(entry.id) == 1) {
        // Of two entries with one id, the one that stays.
        for (Player* other : m_items)
            if (other != &entry && other->id == entry.id) m_index.setEntry(entry.id, other);
    }
}

void PlayerList::markDue(Player& entry)
{
    if (entry.modified) return;  // already among the due, or marked where the walk finds it
    entry.modified = 1;
    m_due.push_back(&entry);
}

void PlayerList::reindex()
{
    m_index.clear();
    m_index.reserve(m_items.size());
    m_resultsCount = 0;
    for (Player* entry : m_items) counted(*entry, +1);
    std::erase_if(m_due, [this](const Player* entry) { return indexOfEntry(entry) < 0; });
}

void PlayerList::clear()
{
    m_items.clear();
    m_index.clear();
    m_resultsCount = 0;
    m_due.clear();
    ++m_orderRevision;
}

bool PlayerList::loadPlayersFromBytes(const unsigned char* data, std::size_t size)
{
    // The id index grows with the list, so the first save finds it ready.
    m_index.reserve(m_items.size() + size / PickRecordSize);
    ++m_orderRevision;
    std::size_t pos = 0;
    for (; pos + PickRecordSize <= size; pos += PickRecordSize) {
        Player& entry = append();
        decodePlayer(data + pos, entry);
        counted(entry, +1);
        if (entry.id == ResultsId) markDue(entry);  // the first scoring pass rescores everybody
    }
    return pos == size;
}

bool PlayerList::loadPlayers()
{
    const std::string path = picksPath();
    // Decode whole records as they come; a partial tail is an input error.
    std::string carry;  // a record split between two chunks
    JournalBase base{JournalBase::State::Present};
    const ReadOutcome read = readFileChunks(
        path,
        [this, &carry, &base](const char* data, std::size_t size) {
            base.crc = crc32(reinterpret_cast<const unsigned char*>(data), size, base.crc);
            base.size += size;
            if (!carry.empty()) {
                const std::size_t take = std::min(size, PickRecordSize - carry.size());
                carry.append(data, take);
                data += take;
                size -= take;
                if (carry.size() < PickRecordSize) return;
                loadPlayersFromBytes(reinterpret_cast<const unsigned char*>(carry.data()), PickRecordSize);
                carry.clear();
            }
            const std::size_t whole = size - size % PickRecordSize;
            loadPlayersFromBytes(reinterpret_cast<const unsigned char*>(data), whole);
            carry.assign(data + whole, size - whole);
        },
        m_read);
    m_loadStatus = read.status;
    const bool torn = read.status == ReadStatus::Read && !carry.empty();
    if (read.status == ReadStatus::Missing) base = {JournalBase::State::Missing};
    if (read.status == ReadStatus::Unreadable) {
        const std::string note =
            count() > 0 ? "The " + std::to_string(count()) + " records read before the error are in the list."
                        : std::string();
        keepUnreadableFile(path, read.reason, m_host, m_picksGuard, note);
        // Moved aside, the pool has no PICKS.HFD; left in place, nothing can match it.
        base = m_picksGuard.blocked() ? JournalBase{} : JournalBase{JournalBase::State::Missing};
    }
    std::string tornCopy;
    if (torn) {
        // Kept now, in the pool's folder (not beside a link's target), so the tip can name it.
        std::string bytes;
        if (readWholeFile(path, bytes).status == ReadStatus::Read) tornCopy = keepCopyAside(path, bytes, "damaged");
        if (tornCopy.empty())
            m_picksGuard = {FileGuard::State::Blocked,
                            "its last record is incomplete and no copy of it could be kept, so it is left as it was"};
    }
    notePicksOnDisk(base);

    const int before = count();
    replayJournal(base);
    updatePlayerCount();
    const bool whole = read.status == ReadStatus::Read && !torn;
    if (torn) {
        // The last record is lost whatever the journal brings back: always said, the results by name.
        std::string text =
            PlayersQuickTip + "\n\nThe last record of " + PicksFileName + " is incomplete and was left out";
        if (carry.size() >= 4 && getInt32(reinterpret_cast<const unsigned char*>(carry.data())) == ResultsId)
            text += hasResults() ? "; it held the results, which the journal brought back"
                                 : "; it held the results, which must be entered again";
        text += tornCopy.empty() ? ". No copy of the file could be kept, so it will not be written over."
                                 : ". The whole file was copied as " + baseName(tornCopy) + " in the same folder.";
        m_host.beep();
        m_host.showInformation(text);
    } else if (read.status == ReadStatus::Missing && count() == before) {
        // A journal that brought participants back means the pool exists; the tip would mislead.
        m_host.beep();
        m_host.showInformation(PlayersQuickTip);
    }
    return whole;
}

void PlayerList::notePicksOnDisk(const JournalBase& base)
{
    m_journal.setBase(base);
    m_picksStamp = fileStampOf(picksPath());
    m_picksStampKnown = true;
}

void PlayerList::applyJournalRecord(const Journal::Record& record)
{
    if (record.kind == Journal::Kind::Store) {
        Player entry;
        decodePlayer(record.entry, entry);
        applyStore(entry, true);
    } else if (record.kind == Journal::Kind::Clear) {
        applyClear({record.kept.begin(), record.kept.end()});
    } else if (record.kind == Journal::Kind::Delete) {
        if (const int index = indexOfId(record.id); index >= 0) applyDelete(index);
    }
    // A checkpoint changes nothing: what follows it extends the file it names.
}

void PlayerList::loadUnchanged()
{
    const auto unreadable = [](const std::string& path, const ReadOutcome& read) {
        return HoopError("The file " + path + " could not be read: " + read.reason + ".");
    };
    std::string bytes;
    const ReadOutcome read = readWholeFile(picksPath(), bytes, m_read);
    m_loadStatus = read.status;
    if (read.status == ReadStatus::Unreadable) throw unreadable(picksPath(), read);
    JournalBase base{JournalBase::State::Missing};
    if (read.status == ReadStatus::Read)
        base = {JournalBase::State::Present, bytes.size(),
                crc32(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size())};
    // A torn last record is left out, as at start-up.
    loadPlayersFromBytes(reinterpret_cast<const unsigned char*>(bytes.data()),
                         bytes.size() - bytes.size() % PickRecordSize);

    std::string journal;
    const ReadOutcome log = readWholeFile(m_journal.path(), journal);
    if (log.status == ReadStatus::Unreadable) throw unreadable(m_journal.path(), log);
    const JournalScan scan = scanJournal(reinterpret_cast<const unsigned char*>(journal.data()), journal.size(), base,
                                         [this](const Journal::Record& record) { applyJournalRecord(record); });
    // Start-up moves such a journal aside, or keeps its bad bytes aside, and says what it restored.
    using Header = JournalScan::Header;
    if (scan.header == Header::Foreign || scan.header == Header::OldFormat)
        throw HoopError(
            "The file " + m_journal.path() +
            " does not extend the PICKS.HFD beside it. Start the program on the pool once to move it aside.");
    if (scan.header == Header::Damaged || scan.damaged)
        throw HoopError("The file " + m_journal.path() +
                        " is damaged. Start the program on the pool once to restore what it can.");
}

void PlayerList::replayJournal(const JournalBase& base)
{
    const Journal::ReplayOutcome replay =
        m_journal.replay(base, [this](const Journal::Record& record) { applyJournalRecord(record); });
    if (replay.read.status == ReadStatus::Missing) return;
    if (replay.read.status == ReadStatus::Unreadable) {
        keepUnreadableFile(m_journal.path(), replay.read.reason, m_host, m_journalGuard,
                           "Changes saved in the last run that did not close normally may be missing.");
        m_journal.noteOnDisk();
        return;
    }
    const std::string journal = "The file " + m_journal.path();
    if (replay.notThisPool || replay.movedWhole) {
        std::string text = journal;
        if (replay.oldFormat)
            text += " was left by an earlier version of the program and does not say which PICKS.HFD it extends, "
                    "so none of its changes was applied.";
        else if (replay.notThisPool && m_loadStatus == ReadStatus::Unreadable)
            text += " holds changes to the PICKS.HFD that could not be read, so none of them was applied.";
        else if (replay.notThisPool)
            text += " holds changes to another PICKS.HFD than the one beside it (another pool's, another year's, or "
                    "one put back from a copy), so none of them was applied.";
        else
            text += " is damaged at its start, so none of its changes was applied.";
        if (!replay.keptAs.empty())
            text += " It was moved aside unchanged as " + baseName(replay.keptAs) + " in the same folder.";
        else
            text += " " + replay.failure + ". It stays as it is, and changes cannot be saved until it is moved away.";
        m_host.showError(text);
        return;
    }
    if (replay.damaged && replay.keptAs.empty()) {
        m_host.showError(journal +
                         " is damaged and could not be copied aside; it is kept as it is until the program closes.");
        return;
    }
    if (replay.damaged)
        m_host.showError(journal + " is damaged after its first " + std::to_string(replay.records) +
                         " changes, which were restored. A copy was kept as " + replay.keptAs + ".");
    if (m_picksGuard.blocked()) return;  // the journal holds this run's changes until then
    try {
        savePicksFile();
    } catch (const std::exception& error) {
        m_host.showError(std::string(error.what()) + ". " + JournalKeptNote);
    }
}

std::string PlayerList::picksBytes() const
{
    std::string bytes(m_items.size() * PickRecordSize, '\0');
    auto* p = reinterpret_cast<unsigned char*>(bytes.data());
    for (const Player* entry : m_items) {
        encodePlayer(*entry, p);
        p += PickRecordSize;
    }
    return bytes;
}

bool PlayerList::savePlayersTo(const std::string& path, FileGuard* guard, JournalBase* written,
                               const std::function<void(const JournalBase&)>& beforeCommit) const
{
    // Encode in chunks so a large pool is not held twice in memory.
    AtomicFile file(path, guard);
    std::vector<unsigned char> chunk(PickRecordSize * 4096);
    std::size_t used = 0;
    JournalBase base{JournalBase::State::Present};
    const bool wanted = written || beforeCommit;
    const auto put = [&](std::size_t size) {
        if (wanted) base.crc = crc32(chunk.data(), size, base.crc);
        base.size += size;
        file.write(chunk.data(), size);
    };
    for (const Player* entry : m_items) {
        encodePlayer(*entry, chunk.data() + used);
        used += PickRecordSize;
        if (used == chunk.size()) {
            put(used);
            used = 0;
        }
    }
    put(used);
    if (beforeCommit) beforeCommit(base);
    file.commit();
    if (written) *written = base;
    return true;
}

void PlayerList::writePicksFile()
{
    if (const std::string changed = changedOnDisk(); !changed.empty()) refuseToWrite(changed);
    savePicksFile();
}

void PlayerList::savePicksFile()
{
    // A kill after the rename but before the journal goes leaves a journal of the old file; its
    // checkpoint shows the next start that the new one holds it all.
    JournalBase written;
    savePlayersTo(picksPath(), &m_picksGuard, &written,
                  [this](const JournalBase& base) { m_journal.appendWritten(base); });
    notePicksOnDisk(written);
    m_journal.remove();
}

std::string PlayerList::changedOnDisk() const
{
    if (m_picksStampKnown && fileStampOf(picksPath()) != m_picksStamp) return picksPath();
    if (!m_journal.unchangedOnDisk()) return m_journal.path();
    return {};
}

void PlayerList::refuseToWrite(const std::string& changed)
{
    std::string text = "The file " + changed +
                       " was replaced or changed by another program while this one ran, so the pool was not written "
                       "over it.";
    try {
        const std::string aside = asideName(picksPath(), "kept");
        savePlayersTo(aside);
        text += " The participants as this window held them were saved as " + baseName(aside) + " in the same folder.";
    } catch (const std::exception& error) {
        text += " " + std::string(error.what()) + ".";
    }
    if (changed != m_journal.path() && m_journal.exists())
        text += " Every change saved in this run is also kept in " + JournalFileName + ".";
    throw FileChangedError(text);
}

Player* PlayerList::applyStore(const Player& entry, bool rescore)
{
    Player* target = nullptr;
    if (const int index = indexOfId(entry.id); index >= 0) {
        target = m_items[static_cast<std::size_t>(index)];
        target->name = entry.name;
        target->tiebreaker = entry.tiebreaker;
        target->paid = entry.paid;
        target->complete = entry.complete;
        target->picks = entry.picks;
        if (rescore)
            markDue(*target);  // put in its place in the standings once rescored
        else
            ++m_orderRevision;  // a new name can change the standings order at once
    } else {
        target = &insertCopy(entry);
        markDue(*target);  // never scored yet
    }
    return target;
}

void PlayerList::applyClear(const std::unordered_set<std::int32_t>& kept)
{
    std::erase_if(m_items, [&kept](const Player* entry) { return !kept.count(entry->id); });  // entries stay in storage
    reindex();
    ++m_orderRevision;
}

void PlayerList::deleteAllPlayers(const std::vector<std::int32_t>& keep)
{
    // As deleting one entry at a time from the last would: an entry whose sheet is open stays,
    // with a box for each.
    const std::unordered_set<std::int32_t> open(keep.begin(), keep.end());
    std::unordered_set<std::int32_t> keptIds;
    std::vector<std::int32_t> kept;
    std::size_t keptEntries = 0;
    for (std::size_t i = m_items.size(); i-- > 0;) {
        const std::int32_t id = m_items[i]->id;
        if (!open.count(id)) continue;
        m_host.showInformation(SheetOpenMessage);
        ++keptEntries;
        if (keptIds.insert(id).second) kept.push_back(id);
    }
    if (keptEntries == m_items.size()) return;
    const bool hadResults = hasResults();
    m_journal.appendClear(kept);
    applyClear(keptIds);
    updatePlayerCount();
    tell({PoolChange::ListChanged});
    if (hadResults && !hasResults()) tell({PoolChange::ResultsChanged});
}

void PlayerList::applyDelete(int index)
{
    Player& entry = *m_items[static_cast<std::size_t>(index)];
    counted(entry, -1);
    m_items.erase(m_items.begin() + index);  // the entry itself stays in storage
    std::erase(m_due, &entry);
    ++m_orderRevision;
}

const Player* PlayerList::storeEntry(const Player& entry, bool rescore)
{
    m_journal.appendStore(entry, rescore);
    const Player* stored = applyStore(entry, rescore);
    tell({PoolChange::EntryStored, entry.id, rescore});
    if (entry.id == ResultsId) tell({PoolChange::ResultsChanged});
    return stored;
}

PlayerList::Batch::~Batch()
{
    if (m_finished) return;
    try {
        m_players.m_journal.endBatch();
    } catch (const std::exception&) {
        // Finish reports it; an unwinding command has its own error to show.
    }
}

void PlayerList::Batch::finish()
{
    m_finished = true;
    m_players.m_journal.endBatch();
    m_hold.release();
}

int PlayerList::indexOfId(std::int32_t id) const
{
    // The index names the entry of an id; only ids that several entries share (a damaged file)
    // walk the entries for the first of them.
    const IdIndex::Found found = m_index.find(id);
    if (found.count == 0) return -1;
    if (found.count == 1) return indexOfEntry(found.entry);
    for (std::size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i]->id == id) return static_cast<int>(i);
    return -1;
}

int PlayerList::indexOfEntry(const Player* entry) const
{
    // The pointers alone, read in a row: a millisecond for a million entries.
    const auto it = std::find(m_items.begin(), m_items.end(), entry);
    return it == m_items.end() ? -1 : static_cast<int>(it - m_items.begin());
}

void PlayerList::deletePlayer(std::int32_t id)
{
    const int index = indexOfId(id);
    if (index < 0) throw HoopError("List index out of bounds (-1)");
    m_journal.appendDelete(id);
    applyDelete(index);
    updatePlayerCount();
    tell({PoolChange::EntryDeleted, id});
    if (id == ResultsId) tell({PoolChange::ResultsChanged});
}

void PlayerList::updatePlayerCount() { m_host.setCountText("Players: " + std::to_string(participantCount())); }

int PlayerList::comparePlayers(const Player& a, const Player& b) const
{
    int raw = 0;
    switch (m_sortKey) {
    case SortKey::Total: raw = sign((a.total > b.total) - (a.total < b.total)); break;
    case SortKey::Potential: raw = sign((a.potential > b.potential) - (a.potential < b.potential)); break;
    case SortKey::Name: raw = compareBytes(a.name.view(), b.name.view()); break;
    case SortKey::Champion: raw = compareBytes(championName(m_teams, a), championName(m_teams, b)); break;
    }
    return m_sortAscending ? raw : -raw;
}

namespace {
// An entry with its sort key made once: keys compare as comparePlayers does in the chosen
// direction, so sorting them moves the entries exactly as sorting the entries would.
struct NumberKey {
    std::uint32_t key;
    Player* entry;
    bool operator<(const NumberKey& other) const { return key < other.key; }
};
struct NameKey {
    std::uint64_t words[4];
    Player* entry;
    bool operator<(const NameKey& other) const
    {
        for (int w = 0; w < 4; ++w)
            if (words[w] != other.words[w]) return words[w] < other.words[w];
        return false;
    }
};

// In ascending order of the unsigned key; descending is the complement.
std::uint32_t numberKey(std::int32_t value, bool ascending)
{
    const std::uint32_t key = static_cast<std::uint32_t>(value) ^ 0x8000'0000u;
    return ascending ? key : ~key;
}

// The name's bytes padded with zeros and its length last, read as four big-endian words: the
// words compare as compareBytes does, a prefix first even when the longer name goes on with
// zero bytes.
NameKey nameKey(Player* entry, bool ascending)
{
    unsigned char bytes[32] = {};
    const std::string_view name = entry->name.view();
    std::memcpy(bytes, name.data(), name.size());
    bytes[25] = static_cast<unsigned char>(name.size());
    NameKey key{{}, entry};
    for (int w = 0; w < 4; ++w) {
        std::uint64_t word = 0;
        for (int b = 0; b < 8; ++b) word = word << 8 | bytes[8 * w + b];
        key.words[w] = ascending ? word : ~word;
    }
    return key;
}

// The classic in-place quicksort: the pivot is the entry found in the middle, wherever later
// swaps move it. Equal entries may change places; the standings have always shown them so.
template <class Item> void quickSort(Item* items, int low, int high)
{
    int i = low;
    do {
        i = low;
        int j = high;
        const Item pivot = items[(low + high) / 2];
        do {
            while (items[i] < pivot) ++i;
            while (pivot < items[j]) --j;
            if (i <= j) {
                std::swap(items[i], items[j]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (low < j) quickSort(items, low, j);
        low = i;
    } while (i < high);
}
}  // namespace

template <class Key> void PlayerList::sortByKey(std::size_t keyOffset, Key key)
{
    using Item = decltype(key(nullptr));
    std::vector<Item> items;
    items.reserve(m_items.size());
    // The entries come in the last sort's order, scattered over memory: the part holding the key
    // is asked for ahead of time.
    constexpr std::size_t Ahead = 16;
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if (i + Ahead < m_items.size())
            __builtin_prefetch(reinterpret_cast<const char*>(m_items[i + Ahead]) + keyOffset);
        items.push_back(key(m_items[i]));
    }
    quickSort(items.data(), 0, count() - 1);
    for (std::size_t i = 0; i < items.size(); ++i) m_items[i] = items[i].entry;
}

void PlayerList::sort()
{
    ++m_orderRevision;
    if (m_items.size() < 2) return;
    const bool ascending = m_sortAscending;
    switch (m_sortKey) {
    case SortKey::Total:
        sortByKey(offsetof(Player, total), [ascending](Player* e) {
            return NumberKey{numberKey(e->total, ascending), e};
        });
        break;
    case SortKey::Potential:
        sortByKey(offsetof(Player, potential), [ascending](Player* e) {
            return NumberKey{numberKey(e->potential, ascending), e};
        });
        break;
    case SortKey::Name:
        sortByKey(offsetof(Player, name), [ascending](Player* e) { return nameKey(e, ascending); });
        break;
    case SortKey::Champion: {
        // Each team's name by its rank among the 64 names and the empty one (equal names, equal
        // ranks), so a champion compares as one number.
        std::vector<std::string_view> names{std::string_view{}};
        for (int region = 1; region <= RegionCount; ++region)
            for (int seed = 1; seed <= SeedCount; ++seed) names.push_back(m_teams.entry(region, seed).name.view());
        std::vector<std::string_view> ordered = names;
        std::sort(ordered.begin(), ordered.end(),
                  [](std::string_view a, std::string_view b) { return compareBytes(a, b) < 0; });
        std::vector<std::int32_t> rank(names.size());
        for (std::size_t k = 0; k < names.size(); ++k)
            rank[k] = static_cast<std::int32_t>(
                std::lower_bound(ordered.begin(), ordered.end(), names[k],
                                 [](std::string_view a, std::string_view b) { return compareBytes(a, b) < 0; }) -
                ordered.begin());
        sortByKey(offsetof(Player, picks) + GameCount * sizeof(TeamCode), [&rank, ascending](Player* e) {
            const TeamCode code = e->picks[GameCount];
            const std::size_t k =
                isValidTeamCode(code) ? 1 + (regionOfCode(code) - 1) * SeedCount + (seedOfCode(code) - 1) : 0;
            return NumberKey{numberKey(rank[k], ascending), e};
        });
        break;
    }
    }
}

int PlayerList::placeEntry(int index)
{
    const auto p = static_cast<std::size_t>(index);
    const Player& entry = *m_items[p];
    // The other entries, in order, as if the entry were taken out.
    const auto other = [&](std::size_t k) -> const Player& { return *m_items[k < p ? k : k + 1]; };
    const std::size_t others = m_items.size() - 1;
    std::size_t low = 0, high = others;
    while (low < high) {  // the first that does not come before the entry
        const std::size_t mid = low + (high - low) / 2;
        if (comparePlayers(other(mid), entry) < 0)
            low = mid + 1;
        else
            high = mid;
    }
    const std::size_t first = low;
    high = others;
    while (low < high) {  // the first that comes after it
        const std::size_t mid = low + (high - low) / 2;
        if (comparePlayers(other(mid), entry) <= 0)
            low = mid + 1;
        else
            high = mid;
    }
    const std::size_t to = std::clamp(p, first, low);
    const auto at = m_items.begin();
    if (to < p)
        std::rotate(at + to, at + p, at + p + 1);
    else if (to > p)
        std::rotate(at + p, at + p + 1, at + to + 1);
    return static_cast<int>(to);
}

IdSource clockIdSource()
{
    auto generator = std::make_shared<std::mt19937>(static_cast<unsigned>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
            .count()));
    return [generator] {
        std::uniform_int_distribution<std::int32_t> draw(0, 999'999'998);
        return draw(*generator);
    };
}

std::int32_t newPlayerId(const PlayerList& players, const IdSource& source)
{
    std::int32_t id = source();
    while (id == 0 || players.indexOfId(id) >= 0) id = source();
    return id;
}
