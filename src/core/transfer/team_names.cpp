#include "core/transfer/team_names.h"

#include <algorithm>
#include <cstdint>

#include "core/transfer/csv_reader.h"
#include "core/transfer/name_keys.h"

namespace {
std::size_t indexOf(TeamCode code) { return std::size_t((regionOfCode(code) - 1) * SeedCount + seedOfCode(code) - 1); }

constexpr std::size_t StoredWidth = sizeof(Team{}.name.chars);

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\xA0'; }

// Adds a key to a map; a key two teams share finds neither.
void enter(std::unordered_map<std::string, TeamCode>& map, std::string key, TeamCode code, TeamCode ambiguous)
{
    auto [it, added] = map.emplace(std::move(key), code);
    if (!added) it->second = ambiguous;
}

// FNV-1a over the keys of the region names and team names, each ended by a line feed: stable across
// builds and platforms, which a page handed out months before its import needs.
std::string fingerprintOf(const TeamTable& teams, const std::array<std::string, 4>& regionKeys)
{
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    const auto add = [&hash](std::string_view text) {
        for (const char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
        hash = (hash ^ '\n') * 0x100000001b3ULL;
    };
    for (const std::string& region : regionKeys) add(region);
    for (int r = 1; r <= RegionCount; ++r)
        for (int s = 1; s <= SeedCount; ++s)
            add(nameKey(teams.nameView(makeTeamCode(std::uint8_t(r), std::uint8_t(s)))));
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string text(16, '0');
    for (int k = 15; k >= 0; --k, hash >>= 4) text[std::size_t(k)] = Digits[hash & 15];
    return text;
}
}  // namespace

TeamNames::TeamNames(const TeamTable& teams, const std::array<std::string, 4>& regionNames) : m_regions(regionNames)
{
    for (int r = 0; r < RegionCount; ++r) m_regionKeys[std::size_t(r)] = nameKey(regionNames[std::size_t(r)]);
    for (int r = 1; r <= RegionCount; ++r)
        for (int s = 1; s <= SeedCount; ++s) {
            const TeamCode code = makeTeamCode(std::uint8_t(r), std::uint8_t(s));
            const std::string_view stored = teams.nameView(code);
            std::string key = nameKey(stored);
            if (key.empty()) continue;
            Entry entry;
            entry.code = code;
            entry.name = trimName(stored);
            entry.accentFree = accentFreeKey(stored);
            if (stored.size() >= StoredWidth) {
                // Cut from a longer name, perhaps: its start is all there is to go by, up to the
                // blank it may end in ("Mississippi " from "Mississippi St").
                const bool blank = isBlank(stored.back());
                entry.prefix = key + (blank ? " " : "");
                entry.prefixPlain = entry.accentFree + (blank ? " " : "");
            }
            enter(m_byKey, std::move(key), code, AmbiguousName);
            enter(m_byAccentFree, entry.accentFree, code, AmbiguousName);
            m_entries.push_back(std::move(entry));
        }
    for (int r = 1; r <= RegionCount; ++r)
        for (int s = 1; s <= SeedCount; ++s) {
            const TeamCode code = makeTeamCode(std::uint8_t(r), std::uint8_t(s));
            const std::string name(teams.nameView(code));
            TeamCode found = 0;
            const bool byName = find(name, found) == Match::Found && found == code;
            m_cells[indexOf(code)] = byName ? name : regionSeedText(code);
            if (!byName) continue;
            m_exactNames[indexOf(code)] = trimBlanks(name);
            m_keys[indexOf(code)] = nameKey(name);
        }
    m_fingerprint = fingerprintOf(teams, m_regionKeys);
}

std::string TeamNames::regionSeedText(TeamCode code) const
{
    return m_regions[std::size_t(regionOfCode(code) - 1)] + " " + std::to_string(seedOfCode(code));
}

const std::string& TeamNames::cellText(TeamCode code) const
{
    static const std::string none;
    return isValidTeamCode(code) ? m_cells[indexOf(code)] : none;
}

bool TeamNames::isNameOf(std::string_view cell, TeamCode code) const
{
    if (!isValidTeamCode(code)) return false;
    const std::string& key = m_keys[indexOf(code)];
    if (key.empty()) return false;
    const std::string_view text = trimBlanks(cell);
    if (text == m_exactNames[indexOf(code)]) return true;  // the usual spelling
    m_scratch.clear();
    appendNameKey(m_scratch, text);
    return m_scratch == key;
}

TeamNames::Match TeamNames::byPrefix(const std::string& key, bool accentFree, TeamCode& code,
                                     std::vector<TeamCode>* codes) const
{
    int matches = 0;
    for (const Entry& entry : m_entries) {
        const std::string& prefix = accentFree ? entry.prefixPlain : entry.prefix;
        if (prefix.empty() || key.size() <= prefix.size() || !key.starts_with(prefix)) continue;
        if (codes) codes->push_back(entry.code);
        if (++matches == 1) code = entry.code;
    }
    if (matches == 1) return Match::Found;
    code = 0;
    return matches > 1 ? Match::Ambiguous : Match::Unknown;
}

TeamNames::Match TeamNames::find(std::string_view cell, TeamCode& code, std::vector<TeamCode>* codes) const
{
    code = 0;
    const std::string_view text = trimName(cell);
    if (text.empty()) return Match::Found;

    // Region and seed: the last word one or two digits, the words before it a region's name.
    const std::size_t blank = text.find_last_of(" \t\xA0");
    if (blank != std::string_view::npos) {
        const std::string_view digits = text.substr(blank + 1);
        int seed = 0;
        for (char c : digits) seed = c >= '0' && c <= '9' && seed < 100 ? seed * 10 + (c - '0') : 100;
        if (seed >= 1 && seed <= SeedCount) {
            const std::string region = nameKey(text.substr(0, blank));
            int matches = 0;
            for (int r = 0; r < RegionCount; ++r) {
                if (region.empty() || m_regionKeys[std::size_t(r)] != region) continue;
                const TeamCode candidate = makeTeamCode(std::uint8_t(r + 1), std::uint8_t(seed));
                if (codes) codes->push_back(candidate);
                if (++matches == 1) code = candidate;
            }
            if (matches == 1) return Match::Found;
            if (matches > 1) {
                code = 0;
                return Match::Ambiguous;
            }
        }
    }

    // The name as a person reads it, then without accents: the first that answers decides.
    const auto lookUp = [&](const std::unordered_map<std::string, TeamCode>& map, const std::string& key,
                            bool accentFree) {
        const auto it = map.find(key);
        if (it == map.end()) return Match::Unknown;
        if (it->second != AmbiguousName) {
            code = it->second;
            return Match::Found;
        }
        if (codes)
            for (const Entry& entry : m_entries)
                if ((accentFree ? entry.accentFree : nameKey(entry.name)) == key) codes->push_back(entry.code);
        return Match::Ambiguous;
    };
    m_scratch.clear();
    appendNameKey(m_scratch, text);
    const std::string key = m_scratch;
    if (const Match match = lookUp(m_byKey, key, false); match != Match::Unknown) return match;
    const std::string plain = accentFreeKey(text);
    if (const Match match = lookUp(m_byAccentFree, plain, true); match != Match::Unknown) return match;
    // A full name whose start the file stores.
    if (const Match match = byPrefix(key, false, code, codes); match != Match::Unknown) return match;
    return byPrefix(plain, true, code, codes);
}

std::vector<std::string> TeamNames::closestNames(std::string_view cell) const
{
    const std::string key = accentFreeKey(cell);
    const std::size_t limit = std::max<std::size_t>(2, key.size() / 3);
    std::vector<std::pair<std::size_t, const Entry*>> near;
    for (const Entry& entry : m_entries) {
        const std::size_t distance = editDistance(key, entry.accentFree);
        if (distance <= limit) near.emplace_back(distance, &entry);
    }
    std::stable_sort(near.begin(), near.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> names;
    for (std::size_t k = 0; k < near.size() && k < 3; ++k) names.push_back(near[k].second->name);
    return names;
}
