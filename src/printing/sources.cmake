# Files of this folder, by library.
list(APPEND HOOPCORE_SOURCES
  printing/page_layout.cpp
  printing/rules_sheet.cpp)
list(APPEND HOOPUI_SOURCES
  printing/qt_page_canvas.cpp
  printing/print_commands.cpp)
