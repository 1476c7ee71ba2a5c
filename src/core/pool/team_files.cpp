#include "core/pool/team_files.h"

#include <algorithm>
#include <cstring>

// Values are bytes in the Windows code page: no conversion.
#define SI_NO_CONVERSION
#include <SimpleIni.h>

#include "core/pool/bracket.h"
#include "core/pool/errors.h"
#include "core/pool/file_io.h"
#include "core/pool/pool_host.h"
#include "core/pool/unreadable_file.h"

namespace {
void readTeamRecord(TeamTable& teams, const unsigned char* p)
{
    const int region = p[0];
    const int seed = p[1];
    if (region < 1 || region > RegionCount || seed < 1 || seed > SeedCount) return;
    Team& team = teams.entry(region, seed);
    team.region = p[0];
    team.seed = p[1];
    team.name.readFrom(p + 2);
    team.wins.readFrom(p + 15);
    team.losses.readFrom(p + 18);
}

void writeTeamRecord(const Team& team, unsigned char* p)
{
    p[0] = team.region;
    p[1] = team.seed;
    team.name.writeTo(p + 2);
    team.wins.writeTo(p + 15);
    team.losses.writeTo(p + 18);
}

// Windows initialisation-file rules: section and key names match without regard to case.
using IniFile = CSimpleIniA;  // CSimpleIniA is the case-insensitive one
const char* const RegionsSection = "Regions";
}  // namespace

bool loadTeamsFromBytes(TeamTable& teams, const unsigned char* data, std::size_t size, std::size_t* dropped)
{
    std::size_t pos = 0;
    // The record each place ends with: a later record for a place replaces an earlier one.
    std::array<const unsigned char*, std::size_t(RegionCount * SeedCount)> kept{};
    for (; pos + TeamRecordSize <= size; pos += TeamRecordSize) {
        const unsigned char* record = data + pos;
        readTeamRecord(teams, record);
        if (record[0] >= 1 && record[0] <= RegionCount && record[1] >= 1 && record[1] <= SeedCount)
            kept[std::size_t((record[0] - 1) * SeedCount + record[1] - 1)] = record;
    }
    if (dropped) {
        // Records of no place, and earlier records for a place that differ from its last one; a
        // record of zero bytes holds nothing to lose.
        *dropped = 0;
        for (std::size_t at = 0; at + TeamRecordSize <= size; at += TeamRecordSize) {
            const unsigned char* record = data + at;
            const bool placed = record[0] >= 1 && record[0] <= RegionCount && record[1] >= 1 && record[1] <= SeedCount;
            const unsigned char* last =
                placed ? kept[std::size_t((record[0] - 1) * SeedCount + record[1] - 1)] : nullptr;
            const bool empty = std::all_of(record, record + TeamRecordSize, [](unsigned char b) { return b == 0; });
            if (placed ? std::memcmp(record, last, TeamRecordSize) != 0 : !empty) ++*dropped;
        }
    }
    return pos == size;
}

bool loadTeams(const std::string& dir, TeamTable& teams, PoolHost& host, FileGuard& guard, ReadFunction readFunction)
{
    const std::string path = joinPath(dir, TeamsFileName);
    std::string bytes;
    const ReadOutcome read = readWholeFile(path, bytes, readFunction);
    // Records read before a failure stay in the table, as with a torn file.
    std::size_t dropped = 0;
    const bool wholeRecords =
        loadTeamsFromBytes(teams, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &dropped);
    if (read.status == ReadStatus::Unreadable) {
        // Moved aside (or guarded), so the Options dialog's OK can never write nameless teams over
        // the ones the organiser never saw.
        keepUnreadableFile(path, read.reason, host, guard);
        return false;
    }
    if (read.status == ReadStatus::Read && dropped > 0) {
        // The table cannot hold them, so the next save would lose them: the file is kept first.
        guard.state = FileGuard::State::CopyAsideFirst;
        guard.aside = asideName(path, "damaged");
        host.showInformation("The file " + path + " holds " + std::to_string(dropped) +
                             (dropped == 1 ? " team record" : " team records") +
                             " the program cannot use (a region or seed out of range, or a second record for the "
                             "same team); " +
                             (dropped == 1 ? "it is" : "they are") +
                             " left out. Before the teams are next saved, the file is copied aside unchanged as " +
                             fileNameOf(guard.aside) + " in the same folder.");
    }
    if (read.status == ReadStatus::Read && wholeRecords) return true;
    if (read.status == ReadStatus::Read) guard.state = FileGuard::State::CopyAsideFirst;  // torn: keep its bytes
    host.beep();
    host.showInformation(TeamsQuickTip);
    return false;
}

void saveTeams(const std::string& dir, TeamTable& teams, FileGuard* guard)
{
    std::string bytes(std::size_t(RegionCount * SeedCount) * TeamRecordSize, '\0');
    auto* p = reinterpret_cast<unsigned char*>(bytes.data());
    for (int r = 1; r <= RegionCount; ++r) {
        for (int s = 1; s <= SeedCount; ++s) {
            Team& team = teams.entry(r, s);
            if (team.wins.empty()) team.wins = "00";
            if (team.losses.empty()) team.losses = "00";
            writeTeamRecord(team, p);
            p += TeamRecordSize;
        }
    }
    writeFileAtomic(joinPath(dir, TeamsFileName), bytes, guard);
}

std::array<std::string, 4> loadRegionNamesFromText(const std::string& text)
{
    std::array<std::string, 4> names;
    IniFile ini;
    ini.SetUnicode(false);
    if (ini.LoadData(text.data(), text.size()) < 0) return names;
    for (int position = 1; position <= RegionCount; ++position)
        if (const char* value = ini.GetValue(RegionsSection, std::to_string(position).c_str(), nullptr))
            names[std::size_t(position - 1)] = value;
    return names;
}

std::string loadRegionsFromText(const std::string& text, int position)
{
    if (position < 1 || position > RegionCount) return {};
    return loadRegionNamesFromText(text)[std::size_t(position - 1)];
}

std::array<std::string, 4> loadRegionNames(const std::string& dir)
{
    std::string text;
    if (readWholeFile(joinPath(dir, RegionsFileName), text).status != ReadStatus::Read) return {};
    return loadRegionNamesFromText(text);
}

std::string loadRegions(const std::string& dir, int position)
{
    if (position < 1 || position > RegionCount) return {};
    return loadRegionNames(dir)[std::size_t(position - 1)];
}

void checkRegionsFile(const std::string& dir, PoolHost& host, FileGuard& guard, ReadFunction readFunction)
{
    const std::string path = joinPath(dir, RegionsFileName);
    std::string text;
    const ReadOutcome read = readWholeFile(path, text, readFunction);
    if (read.status == ReadStatus::Unreadable) keepUnreadableFile(path, read.reason, host, guard);
}

std::string regionNameAsStored(std::string_view name)
{
    // A line break would split the file's line, so only the first line is kept.
    std::string value(name.substr(0, name.find_first_of("\r\n")));
    for (char& c : value)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    const std::size_t first = value.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return value.substr(first, value.find_last_not_of(' ') - first + 1);
}

void saveRegions(const std::string& dir, const std::array<std::string, 4>& names, FileGuard* guard)
{
    const std::string path = joinPath(dir, RegionsFileName);
    IniFile ini;
    ini.SetUnicode(false);
    ini.SetSpaces(false);  // "1=East", as the platform's own writer does
    std::string existing;
    const ReadOutcome read = readWholeFile(path, existing);
    // Other sections of the file are kept, so a file that could not be read is not replaced.
    if (read.status == ReadStatus::Unreadable)
        throw HoopError("Cannot write file " + path + ": it could not be read (" + read.reason +
                        "), so it is left as it was");
    if (read.status == ReadStatus::Read) ini.LoadData(existing.data(), existing.size());
    for (int n = 1; n <= 4; ++n) {
        ini.SetValue(RegionsSection, std::to_string(n).c_str(), regionNameAsStored(names[n - 1]).c_str());
    }
    std::string out;
    if (ini.Save(out) < 0) throw HoopError("Cannot write file " + path);
    // Initialisation files on the organiser's platform use CRLF line ends.
    std::string crlf;
    crlf.reserve(out.size() + 16);
    for (char c : out) {
        if (c == '\n' && (crlf.empty() || crlf.back() != '\r')) crlf += '\r';
        crlf += c;
    }
    writeFileAtomic(path, crlf, guard);
}
