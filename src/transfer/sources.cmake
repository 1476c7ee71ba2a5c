# Files of this folder, by library: reading and writing picks and the field as spreadsheet files
# (core), the import report window and the commands that run them (ui).
list(APPEND HOOPCORE_SOURCES
  transfer/csv_reader.cpp
  transfer/field_import.cpp
  transfer/import_table.cpp
  transfer/picks_export.cpp
  transfer/picks_import.cpp
  transfer/team_names.cpp)
list(APPEND HOOPUI_SOURCES
  transfer/import_dialog.cpp
  transfer/transfer_commands.cpp)
