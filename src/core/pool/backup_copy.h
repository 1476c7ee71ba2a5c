#pragma once
#include <string>
#include <vector>

#include "core/pool/file_io.h"

// Copying the data files to their "BAK" copies, without windows.

// How one copy ended. A copy that fails is an outcome, not an exception: the backup reports it
// and goes on with the next file.
enum class CopyStatus { Copied, BadSource, BadDestination, ReadFailed, WriteFailed };
struct CopyOutcome {
    CopyStatus status = CopyStatus::Copied;
    long long bytes = 0;  // written, when copied

    bool copied() const { return status == CopyStatus::Copied; }
    friend bool operator==(const CopyOutcome&, const CopyOutcome&) = default;
};

// The message for a copy that failed.
std::string copyErrorText(CopyStatus status);

// Copies source to destination (replaced atomically). A destination that exists without write
// permission is refused as the read-only copy it is.
CopyOutcome copyFileBytes(const std::string& source, const std::string& destination);
// Writes bytes as the destination's content, with the same outcomes.
CopyOutcome writeBackupBytes(const std::string& bytes, const std::string& destination);

// The backup name: the file name without its last extension, then ".BAK".
std::string backupName(const std::string& fileName);

// Participants (records other than the results) in a picks file, or nothing when it is missing;
// Unreadable in outcome when it exists but could not be read.
struct PicksCount {
    ReadOutcome read;
    int participants = 0;
};
PicksCount countPicksParticipants(const std::string& path);

// Whether a data file's bytes are what the program would read back whole: TEAMS.HFD as whole
// records of real teams, REGIONS.HFD naming at least one region. Other files are not judged.
bool isSoundDataFile(const std::string& fileName, const std::string& bytes);

// Names of the data files in dir: regular, not hidden, ending in ".HFD" in any case; sorted.
std::vector<std::string> findDataFiles(const std::string& dir);
