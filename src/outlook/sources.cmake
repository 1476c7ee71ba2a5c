# Files of this folder, by library.
list(APPEND HOOPCORE_SOURCES
  outlook/bounds_search.cpp
  outlook/outlook.cpp
  outlook/outlook_table.cpp
  outlook/worst_search.cpp)
list(APPEND HOOPUI_SOURCES outlook/outlook_window.cpp)
# The engine's inner loops are written for the compiler to vectorise, which GCC does at -O3 (the
# release build's level), not at the -O2 of the other builds; a debug build keeps its -O0.
set_source_files_properties(outlook/outlook.cpp outlook/bounds_search.cpp outlook/worst_search.cpp
  PROPERTIES COMPILE_OPTIONS "$<$<NOT:$<CONFIG:Debug>>:-O3>")
