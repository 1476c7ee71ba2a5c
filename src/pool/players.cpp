#include "pool/players.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>

#include "pool/errors.h"
#include "pool/file_io.h"
#include "pool/pool_host.h"

namespace {
void PutInt32(unsigned char* p, std::int32_t v)
{
    const auto u = static_cast<std::uint32_t>(v);
    p[0] = u & 0xFF;
    p[1] = (u >> 8) & 0xFF;
    p[2] = (u >> 16) & 0xFF;
    p[3] = (u >> 24) & 0xFF;
}

std::int32_t GetInt32(const unsigned char* p)
{
    return static_cast<std::int32_t>(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
                                     std::uint32_t(p[3]) << 24);
}

std::int32_t ClockIdSource()
{
    static std::mt19937 generator(static_cast<unsigned>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
            .count()));
    std::uniform_int_distribution<std::int32_t> draw(0, 999'999'998);
    return draw(generator);
}

IdSource g_idSource = &ClockIdSource;

int Sign(int v) { return (v > 0) - (v < 0); }

int CompareBytes(std::string_view a, std::string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    const int c = n ? std::memcmp(a.data(), b.data(), n) : 0;  // memcmp compares as unsigned bytes
    if (c != 0) return Sign(c);
    return Sign(int(a.size()) - int(b.size()));
}

std::string_view ChampionName(const TPlayer& p)
{
    const TeamCode code = p.Picks[GameCount];
    if (!IsValidTeamCode(code)) return {};
    return TeamEntry(RegionOfCode(code), SeedOfCode(code)).name.view();
}
}  // namespace

void EncodePlayer(const TPlayer& entry, unsigned char* r)
{
    std::memset(r, 0, PickRecordSize);
    PutInt32(r, entry.Id);
    entry.Name.writeTo(r + 4);
    r[30] = entry.Paid;
    r[31] = entry.Complete;
    entry.Tiebreaker.writeTo(r + 32);
    for (int g = 1; g <= GameCount; ++g) PutInt32(r + 48 + 4 * (g - 1), entry.Picks[g]);
}

void DecodePlayer(const unsigned char* r, TPlayer& entry)
{
    entry = TPlayer{};
    entry.Id = GetInt32(r);
    entry.Name.readFrom(r + 4);
    entry.Paid = r[30];
    entry.Complete = r[31];
    entry.Tiebreaker.readFrom(r + 32);
    for (int g = 1; g <= GameCount; ++g) entry.Picks[g] = GetInt32(r + 48 + 4 * (g - 1));
}

TPlayers::TPlayers(IPoolHost& host, std::string dir) : m_host(host), m_dir(std::move(dir)) {}

TPlayers::~TPlayers()
{
    if (!m_writeOnDestroy) return;
    try {
        SavePlayersTo(JoinPath(m_dir, PicksFileName));
    } catch (const std::exception&) {
        // The owner writes the file itself before destroying the list and reports a failure there.
    }
}

TPlayer& TPlayers::append()
{
    if (m_blockUsed == m_blockSize) {
        m_blockSize = std::clamp<std::size_t>(m_items.size(), 16, MaxBlockSize);
        m_blocks.push_back(std::make_unique<TPlayer[]>(m_blockSize));
        m_blockUsed = 0;
    }
    TPlayer* entry = &m_blocks.back()[m_blockUsed++];
    m_items.push_back(entry);
    return *entry;
}

TPlayer* TPlayers::Add(const TPlayer& entry)
{
    TPlayer& added = append();
    added = entry;
    return &added;
}

void TPlayers::Clear()
{
    m_items.clear();
    HasResults = 0;
}

bool TPlayers::LoadPlayersFromBytes(const unsigned char* data, std::size_t size)
{
    std::size_t pos = 0;
    for (; pos + PickRecordSize <= size; pos += PickRecordSize) {
        TPlayer& entry = append();
        DecodePlayer(data + pos, entry);
        if (entry.Id == ResultsId) {
            HasResults = 1;
            entry.Modified = 1;  // the first scoring pass rescores everybody
        }
    }
    return pos == size;
}

bool TPlayers::LoadPlayers()
{
    const std::string path = JoinPath(m_dir, PicksFileName);
    bool whole = false;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        // Read in large chunks and decode whole records; a partial tail is an input error.
        std::vector<unsigned char> buffer(PickRecordSize * 16384);
        std::size_t held = 0;
        bool failed = false;
        for (;;) {
            const std::size_t got = std::fread(buffer.data() + held, 1, buffer.size() - held, f);
            held += got;
            const std::size_t whole_bytes = held - held % PickRecordSize;
            LoadPlayersFromBytes(buffer.data(), whole_bytes);
            std::memmove(buffer.data(), buffer.data() + whole_bytes, held - whole_bytes);
            held -= whole_bytes;
            if (got == 0) {
                failed = std::ferror(f) != 0;
                break;
            }
        }
        std::fclose(f);
        whole = !failed && held == 0;
    }
    UpdatePlayerCount();
    if (!whole) {
        m_host.Beep();
        m_host.ShowInformation(PlayersQuickTip);
    }
    return whole;
}

std::string TPlayers::PicksBytes() const
{
    std::string bytes(m_items.size() * PickRecordSize, '\0');
    auto* p = reinterpret_cast<unsigned char*>(bytes.data());
    for (const TPlayer* entry : m_items) {
        EncodePlayer(*entry, p);
        p += PickRecordSize;
    }
    return bytes;
}

bool TPlayers::SavePlayersTo(const std::string& path) const
{
    // Encode in chunks so a large pool is not held twice in memory.
    AtomicFile file(path);
    std::vector<unsigned char> chunk(PickRecordSize * 4096);
    std::size_t used = 0;
    for (const TPlayer* entry : m_items) {
        EncodePlayer(*entry, chunk.data() + used);
        used += PickRecordSize;
        if (used == chunk.size()) {
            file.write(chunk.data(), used);
            used = 0;
        }
    }
    file.write(chunk.data(), used);
    file.commit();
    return true;
}

void TPlayers::WritePicksFile()
{
    SavePlayersTo(JoinPath(m_dir, PicksFileName));
    m_writeOnDestroy = false;
}

int TPlayers::IndexOfId(std::int32_t id) const
{
    for (std::size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i]->Id == id) return static_cast<int>(i);
    return -1;
}

bool TPlayers::DeletePlayer(std::int32_t id)
{
    if (m_host.FindSheetWindow(id) >= 0) {
        m_host.ShowInformation(SheetOpenMessage);
        return false;
    }
    const int index = IndexOfId(id);
    if (index < 0) throw HoopError("List index out of bounds (-1)");
    m_items.erase(m_items.begin() + index);  // the entry itself stays in storage
    if (id == ResultsId) HasResults = 0;
    UpdatePlayerCount();
    return true;
}

void TPlayers::UpdatePlayerCount() { m_host.SetCountText("Players: " + std::to_string(ParticipantCount())); }

int TPlayers::ComparePlayers(const TPlayer& a, const TPlayer& b) const
{
    int raw = 0;
    switch (SortKey) {
    case 0: raw = Sign((a.Total > b.Total) - (a.Total < b.Total)); break;
    case 1: raw = Sign((a.Potential > b.Potential) - (a.Potential < b.Potential)); break;
    case 2: raw = CompareBytes(a.Name.view(), b.Name.view()); break;
    default: raw = CompareBytes(ChampionName(a), ChampionName(b)); break;
    }
    return SortAscending ? raw : -raw;
}

void TPlayers::Sort()
{
    if (m_items.size() > 1) QuickSort(0, Count() - 1);
}

// The classic in-place quicksort of a pointer list: the pivot is the entry found in the middle,
// wherever later swaps move it. Equal entries may change places.
void TPlayers::QuickSort(int low, int high)
{
    int i = low;
    do {
        i = low;
        int j = high;
        const TPlayer* pivot = m_items[static_cast<std::size_t>((low + high) / 2)];
        do {
            while (ComparePlayers(*m_items[i], *pivot) < 0) ++i;
            while (ComparePlayers(*m_items[j], *pivot) > 0) --j;
            if (i <= j) {
                std::swap(m_items[i], m_items[j]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (low < j) QuickSort(low, j);
        low = i;
    } while (i < high);
}

void TPlayers::ShowStandings(bool bringToFront) { m_host.ShowStandings(bringToFront); }

void SetIdSource(IdSource source) { g_idSource = source ? source : &ClockIdSource; }

std::int32_t NewPlayerId(const TPlayers& players)
{
    std::int32_t id = g_idSource();
    while (id == 0 || players.IndexOfId(id) >= 0) id = g_idSource();
    return id;
}
