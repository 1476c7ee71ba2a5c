#pragma once
#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/pool/bracket.h"

// How the transfer files name a team: by its name as the field has it, compared as a person
// reads it (see nameKey: case, quotes, dashes and blanks aside), or by region name and seed
// ("East 1"), which works even where two teams share a name. A cell that names no team so is
// tried, in turn, without regard to accents, and as the full name of a team whose stored name is
// the start of it (the team file keeps 12 characters: "North Carolina" is "North Caroli"); each
// of these finds a team only when exactly one team answers to it.
class TeamNames {
public:
    TeamNames(const TeamTable& teams, const std::array<std::string, 4>& regionNames);

    enum class Match { Found, Unknown, Ambiguous };
    // The team a cell names; an empty cell is no team (code 0, Found). When the name is two
    // teams', codes lists them.
    Match find(std::string_view cell, TeamCode& code, std::vector<TeamCode>* codes = nullptr) const;
    // The cell for a team: its name when that finds it again, else region and seed; empty for 0
    // and for a code that is no team.
    const std::string& cellText(TeamCode code) const;
    // Whether find would give code for cell, when cell names the team by its name: a quick
    // answer for the usual cell, which names one of its game's two teams.
    bool isNameOf(std::string_view cell, TeamCode code) const;
    std::string regionSeedText(TeamCode code) const;
    // The names of the teams nearest to a cell that names none, nearest first, at most three:
    // the likely slips of the keyboard ("Michgan St" for "Michigan St"); none when nothing is near.
    std::vector<std::string> closestNames(std::string_view cell) const;
    // A short text that stands for the field as the transfer files name it (the region names and
    // the team names by place, compared by their keys): a file that carries it was
    // made for this field. Records are left out, so correcting one keeps the pages handed out.
    const std::string& fingerprint() const { return m_fingerprint; }

private:
    struct Entry {
        TeamCode code = 0;
        std::string name;        // as stored, blanks at the ends off
        std::string accentFree;  // its key without accents
        // For a name the full width of the team file, which may be the start of a longer one:
        // its key with the blank it ends in, and that without accents; empty for a shorter name.
        std::string prefix;
        std::string prefixPlain;
    };
    static constexpr TeamCode AmbiguousName = -1;
    Match byPrefix(const std::string& key, bool accentFree, TeamCode& code, std::vector<TeamCode>* codes) const;

    std::unordered_map<std::string, TeamCode> m_byKey;         // key -> code, or AmbiguousName
    std::unordered_map<std::string, TeamCode> m_byAccentFree;  // the same without accents
    std::vector<Entry> m_entries;                              // every named team, in field order
    std::array<std::string, 4> m_regions;
    std::array<std::string, 4> m_regionKeys;
    std::array<std::string, RegionCount * SeedCount> m_cells;
    // The names that find their team, as stored (blanks trimmed) and as keys; empty for the others.
    std::array<std::string, RegionCount * SeedCount> m_exactNames;
    std::array<std::string, RegionCount * SeedCount> m_keys;
    std::string m_fingerprint;
    mutable std::string m_scratch;
};
