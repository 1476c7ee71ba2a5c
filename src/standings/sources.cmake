# Files of this folder, by library.
list(APPEND HOOPUI_SOURCES standings/standings_window.cpp)
