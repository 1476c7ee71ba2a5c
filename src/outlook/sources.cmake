# Files of this folder, by library.
list(APPEND HOOPCORE_SOURCES
  outlook/bounds_search.cpp
  outlook/outlook.cpp)
