# Files of this folder, by library.
list(APPEND HOOPUI_SOURCES players/player_manager.cpp)
