#include "core/transfer/team_names.h"

#include <cstdint>

#include "core/pool/cp1252.h"
#include "core/transfer/csv_reader.h"

namespace {
std::size_t indexOf(TeamCode code) { return std::size_t((regionOfCode(code) - 1) * SeedCount + seedOfCode(code) - 1); }

std::string folded(std::string_view text)
{
    std::string out;
    appendCp1252Lower(out, trimBlanks(text));
    return out;
}

// FNV-1a over the folded region names and team names, each ended by a line feed: stable across
// builds and platforms, which a page handed out months before its import needs.
std::string fingerprintOf(const TeamTable& teams, const std::array<std::string, 4>& foldedRegions)
{
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    const auto add = [&hash](std::string_view text) {
        for (const char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
        hash = (hash ^ '\n') * 0x100000001b3ULL;
    };
    for (const std::string& region : foldedRegions) add(region);
    for (int r = 1; r <= RegionCount; ++r)
        for (int s = 1; s <= SeedCount; ++s)
            add(folded(teams.nameView(makeTeamCode(std::uint8_t(r), std::uint8_t(s)))));
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string text(16, '0');
    for (int k = 15; k >= 0; --k, hash >>= 4) text[std::size_t(k)] = Digits[hash & 15];
    return text;
}
}  // namespace

TeamNames::TeamNames(const TeamTable& teams, const std::array<std::string, 4>& regionNames) : m_regions(regionNames)
{
    for (int r = 0; r < RegionCount; ++r) m_foldedRegions[std::size_t(r)] = folded(regionNames[std::size_t(r)]);
    for (int r = 1; r <= RegionCount; ++r)
        for (int s = 1; s <= SeedCount; ++s) {
            const TeamCode code = makeTeamCode(std::uint8_t(r), std::uint8_t(s));
            std::string key = folded(teams.nameView(code));
            if (key.empty()) continue;
            m_names.emplace_back(key, code);
            auto [it, added] = m_byName.emplace(std::move(key), code);
            if (!added) it->second = AmbiguousName;
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
            m_foldedNames[indexOf(code)] = folded(name);
        }
    m_fingerprint = fingerprintOf(teams, m_foldedRegions);
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
    const std::string& name = m_foldedNames[indexOf(code)];
    const std::string_view text = trimBlanks(cell);
    if (name.empty() || text.size() != name.size()) return false;
    if (text == m_exactNames[indexOf(code)]) return true;  // the usual spelling
    for (std::size_t i = 0; i < text.size(); ++i)
        if (static_cast<char>(cp1252Lower(static_cast<unsigned char>(text[i]))) != name[i]) return false;
    return true;
}

TeamNames::Match TeamNames::find(std::string_view cell, TeamCode& code, std::vector<TeamCode>* codes) const
{
    code = 0;
    const std::string_view text = trimBlanks(cell);
    if (text.empty()) return Match::Found;

    // Region and seed: the last word one or two digits, the words before it a region's name.
    const std::size_t blank = text.find_last_of(" \t");
    if (blank != std::string_view::npos) {
        const std::string_view digits = text.substr(blank + 1);
        int seed = 0;
        for (char c : digits) seed = c >= '0' && c <= '9' && seed < 100 ? seed * 10 + (c - '0') : 100;
        if (seed >= 1 && seed <= SeedCount) {
            const std::string region = folded(text.substr(0, blank));
            int matches = 0;
            for (int r = 0; r < RegionCount; ++r) {
                if (region.empty() || m_foldedRegions[std::size_t(r)] != region) continue;
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

    m_scratch.clear();
    appendCp1252Lower(m_scratch, text);
    const auto it = m_byName.find(m_scratch);
    if (it == m_byName.end()) return Match::Unknown;
    if (it->second != AmbiguousName) {
        code = it->second;
        return Match::Found;
    }
    if (codes)
        for (const auto& [name, team] : m_names)
            if (name == m_scratch) codes->push_back(team);
    return Match::Ambiguous;
}
