#include "gui/players/player_list_model.h"

#include <QCollator>
#include <QLocale>
#include <QStringView>
#include <algorithm>
#include <array>
#include <memory>

#include "gui/widgets/ansi_text.h"

namespace {
using NameField = decltype(Player::name);
constexpr std::size_t NameWidth = sizeof(NameField::chars);
constexpr std::size_t ByteValues = 256;
constexpr int WordBits = 64;
constexpr int ByteBits = 8;
constexpr std::size_t BytesPerWord = WordBits / ByteBits;
constexpr int PlaceBits = 32;
constexpr std::uint64_t PlaceMask = 0xFFFF'FFFFu;
constexpr std::uint8_t MaxRank = 255;
static_assert(NameWidth <= 3 * BytesPerWord + 1, "a key holds 25 ranks and a 32-bit place");

// The names' order is the user's language's alphabetical order, without regard to case: "Émile"
// sorts with the Es. A system without a language ("C") gets the neutral English order rather than
// the order of the character codes.
QLocale sortLocale()
{
    const QLocale locale;
    return locale.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates) : locale;
}

// A name's characters, for the collator, without building a QString.
struct NameChars {
    std::array<char16_t, NameWidth> chars{};
    qsizetype size = 0;
    QStringView view() const { return {chars.data(), size}; }
};

// The language's order of the 256 byte values. Each byte gets the rank of its base letter (0 for
// a byte the order ignores), so comparing two names' ranks byte by byte orders them as the
// language does wherever it orders letter by letter. Where it does not, the name goes to the
// collator itself: a letter that sorts as two ("æ" as "ae") or two letters that sort as one (a
// Czech "ch" after "h", a Danish "aa" as "å"). Learning this takes some 80,000 comparisons.
class NameOrder {
public:
    explicit NameOrder(const QLocale& locale) : m_locale(locale), m_collator(locale)
    {
        m_collator.setCaseSensitivity(Qt::CaseInsensitive);
        for (std::size_t b = 0; b < ByteValues; ++b) {
            const char byte = static_cast<char>(b);
            m_chars[b] = fromAnsi(std::string_view(&byte, 1)).at(0).unicode();
        }
        std::vector<std::uint8_t> bytes;
        for (std::size_t b = 0; b < ByteValues; ++b)
            if (!ignored(static_cast<std::uint8_t>(b))) bytes.push_back(static_cast<std::uint8_t>(b));
        std::stable_sort(bytes.begin(), bytes.end(),
                         [this](std::uint8_t a, std::uint8_t b) { return compare({a}, {b}) < 0; });
        if (bytes.empty()) return;

        const std::uint8_t first = bytes.front();
        const std::uint8_t last = bytes.back();
        // Neighbours in that order share a base letter when a later letter outweighs their
        // difference ("é1" after "e0"); the first of each base letter stands for it. A letter
        // that sorts as two sorts before the letter below it followed by anything, or, followed
        // by the last letter, before its base letter followed by it ("½" as "1/2"). Such letters
        // stand for no base letter, so the bases are found again without them.
        for (bool found = true; found;) {
            std::vector<std::uint8_t> bases;
            std::uint8_t previous = 0;
            for (const std::uint8_t b : bytes) {
                if (m_expands[b]) continue;
                if (bases.empty() || !sameBase(previous, b)) bases.push_back(b);
                m_ranks[b] = static_cast<std::uint8_t>(std::min<std::size_t>(bases.size(), MaxRank));
                previous = b;
            }
            if (bases.size() > MaxRank) {  // more base letters than a key's byte can tell apart
                m_expands.fill(true);
                return;
            }
            found = false;
            for (const std::uint8_t b : bytes) {
                if (m_expands[b]) continue;
                const std::uint8_t base = bases[m_ranks[b] - 1];
                m_expands[b] = (m_ranks[b] > 1 && compare({b}, {bases[m_ranks[b] - 2], last}) <= 0) ||
                               (b != base && compare({b, last}, {base, last}) < 0);
                found = found || m_expands[b];
            }
        }
        // Two letters that sort as one sort past the first followed by the last of all letters,
        // or before it followed by the first.
        for (const std::uint8_t a : bytes) {
            if (m_expands[a]) continue;
            for (const std::uint8_t b : bytes)
                if (!m_expands[b])
                    m_joins[a * ByteValues + b] = compare({a, b}, {a, last}) > 0 || compare({a, b}, {a, first}) < 0;
        }
    }

    const QLocale& locale() const { return m_locale; }
    std::uint8_t rank(char byte) const { return m_ranks[static_cast<unsigned char>(byte)]; }
    bool needsCollator(std::string_view name) const
    {
        for (std::size_t i = 0; i < name.size(); ++i) {
            const auto b = static_cast<unsigned char>(name[i]);
            if (m_expands[b] || (i > 0 && m_joins[static_cast<unsigned char>(name[i - 1]) * ByteValues + b]))
                return true;
        }
        return false;
    }
    NameChars chars(std::string_view name) const
    {
        NameChars out;
        for (const char c : name)
            out.chars[static_cast<std::size_t>(out.size++)] = m_chars[static_cast<unsigned char>(c)];
        return out;
    }
    int compare(std::string_view a, std::string_view b) const
    {
        return m_collator.compare(chars(a).view(), chars(b).view());
    }

private:
    int compare(std::initializer_list<std::uint8_t> a, std::initializer_list<std::uint8_t> b) const
    {
        std::array<char16_t, 2> x{}, y{};
        std::transform(a.begin(), a.end(), x.begin(), [this](std::uint8_t c) { return m_chars[c]; });
        std::transform(b.begin(), b.end(), y.begin(), [this](std::uint8_t c) { return m_chars[c]; });
        return m_collator.compare(QStringView(x.data(), qsizetype(a.size())),
                                  QStringView(y.data(), qsizetype(b.size())));
    }
    // Compared with a following digit, as the collator takes an empty text for the least of all.
    bool ignored(std::uint8_t b) const { return compare({b, '0'}, {'0'}) == 0; }
    bool sameBase(std::uint8_t a, std::uint8_t b) const
    {
        return compare({a}, {b}) == 0 || compare({a, '1'}, {b, '0'}) > 0;
    }

    QLocale m_locale;
    QCollator m_collator;
    std::array<char16_t, ByteValues> m_chars{};
    std::array<std::uint8_t, ByteValues> m_ranks{};
    std::array<bool, ByteValues> m_expands{};
    std::vector<bool> m_joins = std::vector<bool>(ByteValues * ByteValues);
};

// The order of the current language, learnt once for as long as the language stays.
const NameOrder& nameOrder()
{
    static std::unique_ptr<NameOrder> order;
    const QLocale locale = sortLocale();
    if (!order || order->locale() != locale) order = std::make_unique<NameOrder>(locale);
    return *order;
}

// A name's place by the ranks of its bytes (those the order ignores left out), padded with zeros,
// then the entry's place in the list, as four big-endian words: a million names sort in a
// fraction of the time the collator would take.
struct NameKey {
    std::array<std::uint64_t, 4> words{};

    std::uint32_t place() const { return static_cast<std::uint32_t>(words[3] & PlaceMask); }
    bool sameRanks(const NameKey& other) const
    {
        return words[0] == other.words[0] && words[1] == other.words[1] && words[2] == other.words[2] &&
               (words[3] >> PlaceBits) == (other.words[3] >> PlaceBits);
    }
    friend bool operator<(const NameKey& a, const NameKey& b) { return a.words < b.words; }
};

NameKey nameKey(std::string_view name, std::uint32_t place, const NameOrder& order)
{
    NameKey key;
    std::size_t i = 0;
    for (const char c : name) {
        const std::uint8_t rank = order.rank(c);
        if (rank == 0) continue;
        key.words[i / BytesPerWord] |= std::uint64_t{rank} << (WordBits - ByteBits * (1 + i % BytesPerWord));
        ++i;
    }
    key.words[3] |= place;
    return key;
}

// The places of the names in the collator's order, equal names in place order: the names whose
// ranks order them sorted by their keys, those with equal ranks among themselves by the collator
// (accents), and the names that need the collator sorted by it and merged in.
template <class NameOf>
std::vector<std::uint32_t> collated(std::vector<NameKey>& keys, std::vector<std::uint32_t>& others, NameOf nameOf,
                                    const NameOrder& by)
{
    const auto before = [&](std::uint32_t a, std::uint32_t b) {
        const int c = by.compare(nameOf(a), nameOf(b));
        return c < 0 || (c == 0 && a < b);
    };
    std::sort(keys.begin(), keys.end());
    std::vector<std::uint32_t> ranked;
    ranked.reserve(keys.size());
    for (const NameKey& key : keys) ranked.push_back(key.place());
    for (std::size_t first = 0; first < keys.size();) {
        // Names of equal ranks; the same name again is already in place order.
        std::size_t end = first + 1;
        bool alike = true;
        for (; end < keys.size() && keys[end].sameRanks(keys[first]); ++end)
            alike = alike && nameOf(keys[end].place()) == nameOf(keys[first].place());
        if (!alike) std::sort(ranked.begin() + std::ptrdiff_t(first), ranked.begin() + std::ptrdiff_t(end), before);
        first = end;
    }
    if (others.empty()) return ranked;

    std::sort(others.begin(), others.end(), before);
    std::vector<std::uint32_t> order;
    order.reserve(ranked.size() + others.size());
    auto from = ranked.begin();
    for (const std::uint32_t other : others) {
        const auto to = std::partition_point(from, ranked.end(), [&](std::uint32_t p) { return before(p, other); });
        order.insert(order.end(), from, to);
        order.push_back(other);
        from = to;
    }
    order.insert(order.end(), from, ranked.end());
    return order;
}
}  // namespace

bool passesFilter(const Player& entry, int filter)
{
    switch (filter) {
    case CompletePlayers: return entry.complete != 0;
    case IncompletePlayers: return entry.complete == 0;
    case PaidPlayers: return entry.paid != 0;
    case UnpaidPlayers: return entry.paid == 0;
    default: return true;
    }
}

PlayerListModel::PlayerListModel(QObject* parent) : QAbstractListModel(parent) {}

void PlayerListModel::fill(const PlayerList& players, int filter)
{
    const NameOrder& by = nameOrder();
    // The rows in the list's order, and the order they are shown in.
    std::vector<Row> rows;
    std::vector<std::uint32_t> order;
    {
        const auto room = static_cast<std::size_t>(std::max(0, players.participantCount()));
        std::vector<NameKey> keys;
        std::vector<std::uint32_t> others;
        keys.reserve(room);
        rows.reserve(room);
        for (int i = 0; i < players.count(); ++i) {
            const Player& entry = players[i];
            if (entry.id == ResultsId || !passesFilter(entry, filter)) continue;
            const auto place = static_cast<std::uint32_t>(rows.size());
            if (by.needsCollator(entry.name.view()))
                others.push_back(place);
            else
                keys.push_back(nameKey(entry.name.view(), place, by));
            rows.push_back({entry.id, entry.name, entry.complete != 0, entry.paid != 0});
        }
        order = collated(
            keys, others, [&rows](std::uint32_t place) { return rows[place].name.view(); }, by);
    }
    rows.shrink_to_fit();  // a filter keeps only part of the room made for every participant

    beginResetModel();
    m_rows = std::move(rows);
    m_order = std::move(order);
    endResetModel();
}

QString PlayerListModel::nameAt(int row) const { return toQString(rowAt(row).name.text()); }

int PlayerListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_order.size());
}

QVariant PlayerListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const Row& row = rowAt(index.row());
    switch (role) {
    case Qt::DisplayRole: return nameAt(index.row());
    case IdRole: return row.id;
    case CompleteRole: return row.complete;
    case PaidRole: return row.paid;
    // The list shows these by icon and colour only; a screen reader says them.
    case Qt::AccessibleDescriptionRole:
        return QString((row.paid ? QStringLiteral("Paid") : QStringLiteral("Not paid")) + QStringLiteral(", ") +
                       (row.complete ? QStringLiteral("picks complete") : QStringLiteral("picks not complete")));
    default: return {};
    }
}
