# The Options dialog and its editable grid.
list(APPEND HOOPUI_SOURCES
  options/edit_grid.cpp
  options/options_dialog.cpp)
