#pragma once
#include <array>
#include <string>
#include <string_view>

#include "core/pool/bracket.h"
#include "core/pool/file_io.h"

class PoolHost;

constexpr std::size_t TeamRecordSize = 21;
inline const std::string TeamsFileName = "TEAMS.HFD";
inline const std::string RegionsFileName = "REGIONS.HFD";
inline const std::string TeamsQuickTip = "Quick Tip: To enter the tournament teams select [Pool], [Options...]. "
                                         "Remember to select the region matchups first.";

// Fills the team table from dir/TEAMS.HFD. Records go to their own region and seed; records
// with a region outside 1..4 or a seed outside 1..16 are skipped, and a later record for a place
// replaces an earlier one; when that leaves out records, it is said, and the file is copied
// aside before it is first replaced. A missing file or a partial last record beeps and shows the
// quick tip; records read before stay, and a torn file is copied aside before it is first replaced. A file that exists
// but could not be read is reported and kept (keepUnreadableFile). Returns true when the whole file was read. guard:
// what later saves of TEAMS.HFD must respect; read: the file-reading seam.
bool loadTeams(const std::string& dir, TeamTable& teams, PoolHost& host, FileGuard& guard, ReadFunction read = nullptr);

// Loads team records from bytes (the file's content); false when a partial record was left.
// dropped: how many whole records the table could not keep (none counts a record of zero bytes).
bool loadTeamsFromBytes(TeamTable& teams, const unsigned char* data, std::size_t size, std::size_t* dropped = nullptr);

// Writes the 64 entries to dir/TEAMS.HFD, region by region; empty wins and losses become "00"
// in the table as well as in the file.
void saveTeams(const std::string& dir, TeamTable& teams, FileGuard* guard = nullptr);

// Name of region position 1..4 from dir/REGIONS.HFD, empty when the file, section or key is missing.
// A file that cannot be read gives empty names, as a missing one does.
std::string loadRegions(const std::string& dir, int position);
// At start-up: a REGIONS.HFD that exists but cannot be read is reported and kept.
void checkRegionsFile(const std::string& dir, PoolHost& host, FileGuard& guard, ReadFunction read = nullptr);
std::string loadRegionsFromText(const std::string& text, int position);
// The four names by position 1..4 from one read of the file, for windows that show them all.
std::array<std::string, 4> loadRegionNames(const std::string& dir);

// A region name as the file keeps it: its first line, other control characters as spaces, no
// blanks around it (the file's reader drops them).
std::string regionNameAsStored(std::string_view name);

// Writes the four names (as regionNameAsStored keeps them) as keys "1".."4" of section "Regions",
// keeping other sections and keys; refused (HoopError) when the existing file cannot be read.
void saveRegions(const std::string& dir, const std::array<std::string, 4>& names, FileGuard* guard = nullptr);
