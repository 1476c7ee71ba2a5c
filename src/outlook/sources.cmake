# Files of this folder, by library.
list(APPEND HOOPCORE_SOURCES
  outlook/bounds_search.cpp
  outlook/outlook.cpp
  outlook/outlook_table.cpp)
list(APPEND HOOPUI_SOURCES outlook/outlook_window.cpp)
