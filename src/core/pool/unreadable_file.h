#pragma once
#include <string>

#include "core/pool/file_io.h"

class PoolHost;

// What becomes of a data file that exists but could not be read: it is reported with the system's
// reason and kept byte for byte. It is moved aside (PICKS.HFD.unreadable-YYYYMMDD-HHMMSS), so the
// run goes on without it and nothing can write over it; when even the move fails, it stays where
// it is and its guard keeps every save of this run from replacing it.
void keepUnreadableFile(const std::string& path, const std::string& reason, PoolHost& host, FileGuard& guard,
                        const std::string& note = {});

// The reason a save of a file kept this way is refused with.
inline const std::string KeptFileReason = "it could not be read when the program started, so it is left as it was";
