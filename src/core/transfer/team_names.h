#pragma once
#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/pool/bracket.h"

// How the transfer files name a team: by its name as the field has it (case and surrounding
// blanks aside), or by region name and seed ("East 1"), which works even where two teams share
// a name.
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
    // A short text that stands for the field as the transfer files name it (the region names and
    // the team names by place, case and surrounding blanks aside): a file that carries it was
    // made for this field. Records are left out, so correcting one keeps the pages handed out.
    const std::string& fingerprint() const { return m_fingerprint; }

private:
    static constexpr TeamCode AmbiguousName = -1;
    std::unordered_map<std::string, TeamCode> m_byName;  // folded name -> code, or AmbiguousName
    std::array<std::string, 4> m_regions;
    std::array<std::string, 4> m_foldedRegions;
    std::array<std::string, RegionCount * SeedCount> m_cells;
    // The names that find their team, as stored (blanks trimmed) and folded; empty for the others.
    std::array<std::string, RegionCount * SeedCount> m_exactNames;
    std::array<std::string, RegionCount * SeedCount> m_foldedNames;
    std::vector<std::pair<std::string, TeamCode>> m_names;  // folded name of every team, for the ambiguous
    std::string m_fingerprint;
    mutable std::string m_scratch;
};
