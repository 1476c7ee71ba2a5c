#include "players/player_list_model.h"

#include <algorithm>
#include <array>

#include "ui/ansi_text.h"

namespace {
using NameField = decltype(TPlayer::Name);
constexpr std::size_t NameWidth = sizeof(NameField::chars);
constexpr std::size_t ByteValues = 256;
constexpr int WordBits = 64;
constexpr int ByteBits = 8;
constexpr std::size_t BytesPerWord = WordBits / ByteBits;
// The last of a key's four words holds the last name byte, the length byte and the place.
constexpr int LengthShift = 48;
constexpr std::uint64_t PlaceMask = 0xFFFF'FFFFu;
static_assert(NameWidth <= 3 * BytesPerWord + 1, "a key holds 25 name bytes, the length and a 32-bit place");

using FoldRanks = std::array<std::uint8_t, ByteValues>;

// The rank of each byte value's case-folded character among those of all 256: comparing ranks
// compares the folded characters. Only byte 0 ranks 0.
FoldRanks foldedRanks()
{
    std::array<char16_t, ByteValues> folded{};
    for (std::size_t b = 0; b < folded.size(); ++b) {
        const char byte = static_cast<char>(b);
        folded[b] = fromAnsi(std::string_view(&byte, 1)).at(0).toCaseFolded().unicode();
    }
    std::array<char16_t, ByteValues> codes = folded;
    std::sort(codes.begin(), codes.end());
    FoldRanks ranks{};
    for (std::size_t b = 0; b < folded.size(); ++b)
        ranks[b] = static_cast<std::uint8_t>(std::lower_bound(codes.begin(), codes.end(), folded[b]) - codes.begin());
    return ranks;
}

// A name's place in the order QString::compare(..., Qt::CaseInsensitive) gives the names' texts:
// by the case-folded characters, a name that begins another first. The key holds the ranks of
// the name's bytes padded with zeros, then the name's length (which orders names equal but for
// trailing zero bytes), then the entry's place in the list (equal names keep the list's order),
// as four big-endian words: a million names sort in a fraction of the time texts would.
struct NameKey {
    std::array<std::uint64_t, 4> words{};

    std::uint32_t place() const { return static_cast<std::uint32_t>(words[3] & PlaceMask); }
    friend bool operator<(const NameKey& a, const NameKey& b)
    {
        if (a.words[0] != b.words[0]) return a.words[0] < b.words[0];
        if (a.words[1] != b.words[1]) return a.words[1] < b.words[1];
        if (a.words[2] != b.words[2]) return a.words[2] < b.words[2];
        return a.words[3] < b.words[3];
    }
};

NameKey nameKey(std::string_view name, std::uint32_t place, const FoldRanks& ranks)
{
    NameKey key;
    for (std::size_t i = 0; i < name.size(); ++i)
        key.words[i / BytesPerWord] |= std::uint64_t{ranks[static_cast<unsigned char>(name[i])]}
                                       << (WordBits - ByteBits * (1 + i % BytesPerWord));
    key.words[3] |= std::uint64_t{name.size()} << LengthShift | place;
    return key;
}
}  // namespace

bool passesFilter(const TPlayer& entry, int filter)
{
    switch (filter) {
    case CompletePlayers: return entry.Complete != 0;
    case IncompletePlayers: return entry.Complete == 0;
    case PaidPlayers: return entry.Paid != 0;
    case UnpaidPlayers: return entry.Paid == 0;
    default: return true;
    }
}

TPlayerListModel::TPlayerListModel(QObject* parent) : QAbstractListModel(parent) {}

void TPlayerListModel::fill(const TPlayers& players, int filter)
{
    static const FoldRanks ranks = foldedRanks();
    // The rows in the list's order, and the order they are shown in, from the sorted keys.
    std::vector<Row> rows;
    std::vector<std::uint32_t> order;
    {
        const auto room = static_cast<std::size_t>(std::max(0, players.participantCount()));
        std::vector<NameKey> keys;
        keys.reserve(room);
        rows.reserve(room);
        for (int i = 0; i < players.count(); ++i) {
            const TPlayer& entry = players[i];
            if (entry.Id == ResultsId || !passesFilter(entry, filter)) continue;
            keys.push_back(nameKey(entry.Name.view(), static_cast<std::uint32_t>(rows.size()), ranks));
            rows.push_back({entry.Id, entry.Name, entry.Complete != 0, entry.Paid != 0});
        }
        std::sort(keys.begin(), keys.end());
        order.reserve(keys.size());
        for (const NameKey& key : keys) order.push_back(key.place());
    }
    rows.shrink_to_fit();  // a filter keeps only part of the room made for every participant

    beginResetModel();
    m_rows = std::move(rows);
    m_order = std::move(order);
    endResetModel();
}

QString TPlayerListModel::nameAt(int row) const { return fromAnsi(rowAt(row).name.view()); }

int TPlayerListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_order.size());
}

QVariant TPlayerListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const Row& row = rowAt(index.row());
    switch (role) {
    case Qt::DisplayRole: return nameAt(index.row());
    case IdRole: return row.id;
    case CompleteRole: return row.complete;
    case PaidRole: return row.paid;
    default: return {};
    }
}
