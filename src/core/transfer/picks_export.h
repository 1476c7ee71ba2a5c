#pragma once
#include <functional>
#include <string>
#include <string_view>

class PlayerList;
class PoolSession;
class TeamNames;

// Every participant's picks, in the order of the list's last sort: as a comma-separated file
// that Import Picks reads back to the same entries (UTF-8 with a byte-order mark, so any
// spreadsheet shows the names right), or as a page to post, each pick coloured by how it fared.

enum class PicksFileFormat { Csv, Html };
// A name ending in ".htm" or ".html" is a page; anything else the separated file.
PicksFileFormat picksFormatForPath(const std::string& path);

// The texts, handed to sink in pieces.
using TextSink = std::function<void(std::string_view)>;
void writePicksCsv(const PlayerList& players, const TeamNames& names, const TextSink& sink);
// asOf: "As of: mm/dd/yyyy"
void writePicksHtml(const PlayerList& players, const TeamNames& names, const std::string& asOf, const TextSink& sink);

// Writes the session's participants to path, atomically; a failure throws a HoopError.
void exportPicksFile(const PoolSession& session, const std::string& path, PicksFileFormat format);
