#include "core/pool/players.h"

#include <algorithm>
#include <chrono>
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

const Player* PlayerList::add(const Player& entry)
{
    Player& added = append();
    added = entry;
    counted(added, +1);
    return &added;
}

void PlayerList::counted(const Player& entry, int change)
{
    if (entry.id == ResultsId) m_resultsCount += change;
    if (!m_idIndexValid) return;
    if (change > 0) {
        ++m_idCount[entry.id];
    } else if (const auto it = m_idCount.find(entry.id); it != m_idCount.end() && --it->second == 0) {
        m_idCount.erase(it);
    }
}

void PlayerList::clear()
{
    m_items.clear();
    m_idIndexValid = false;
    m_resultsCount = 0;
}

bool PlayerList::loadPlayersFromBytes(const unsigned char* data, std::size_t size)
{
    m_idIndexValid = false;  // built again when an id is first looked up
    std::size_t pos = 0;
    for (; pos + PickRecordSize <= size; pos += PickRecordSize) {
        Player& entry = append();
        decodePlayer(data + pos, entry);
        if (entry.id == ResultsId) {
            ++m_resultsCount;
            entry.modified = 1;  // the first scoring pass rescores everybody
        }
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
        if (rescore) target->modified = 1;
    } else {
        add(entry);
        target = m_items.back();
        target->modified = 1;  // never scored yet
    }
    return target;
}

void PlayerList::applyClear(const std::unordered_set<std::int32_t>& kept)
{
    std::erase_if(m_items, [&kept](const Player* entry) { return !kept.count(entry->id); });  // entries stay in storage
    m_idIndexValid = false;
    m_resultsCount = 0;
    for (const Player* entry : m_items) m_resultsCount += entry->id == ResultsId ? 1 : 0;
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
    const Player& entry = *m_items[static_cast<std::size_t>(index)];
    counted(entry, -1);
    m_items.erase(m_items.begin() + index);  // the entry itself stays in storage
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
    // An id no entry has (every new sheet's) is answered without walking the list.
    if (!m_idIndexValid) {
        m_idCount.clear();
        m_idCount.reserve(m_items.size() + 1024);
        for (const Player* entry : m_items) ++m_idCount[entry->id];
        m_idIndexValid = true;
    }
    if (m_idCount.find(id) == m_idCount.end()) return -1;
    for (std::size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i]->id == id) return static_cast<int>(i);
    return -1;
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

void PlayerList::sort()
{
    if (m_items.size() > 1) quickSort(0, count() - 1);
}

// The classic in-place quicksort of a pointer list: the pivot is the entry found in the middle,
// wherever later swaps move it. Equal entries may change places.
void PlayerList::quickSort(int low, int high)
{
    int i = low;
    do {
        i = low;
        int j = high;
        const Player* pivot = m_items[static_cast<std::size_t>((low + high) / 2)];
        do {
            while (comparePlayers(*m_items[i], *pivot) < 0) ++i;
            while (comparePlayers(*m_items[j], *pivot) > 0) --j;
            if (i <= j) {
                std::swap(m_items[i], m_items[j]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (low < j) quickSort(low, j);
        low = i;
    } while (i < high);
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
