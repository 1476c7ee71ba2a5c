# Files of this folder, by library.
list(APPEND HOOPCORE_SOURCES
  pool/bracket.cpp
  pool/cp1252.cpp
  pool/file_io.cpp
  pool/journal.cpp
  pool/players.cpp
  pool/scoring.cpp
  pool/sheet_picks.cpp
  pool/team_files.cpp
  pool/unreadable_file.cpp)
