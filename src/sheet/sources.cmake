# Files of this folder, by library.
list(APPEND HOOPUI_SOURCES
  sheet/bracket_sheet.cpp
  sheet/sheet_layout.h)
