# Files of this folder, by library.
list(APPEND HOOPCORE_SOURCES standings/export.cpp)
list(APPEND HOOPUI_SOURCES
  standings/standings_model.cpp
  standings/standings_window.cpp)
