# Files of this folder, by library.
list(APPEND HOOPUI_SOURCES
  players/player_icons.cpp
  players/player_list_model.cpp
  players/player_manager.cpp
  players/player_props.cpp)
