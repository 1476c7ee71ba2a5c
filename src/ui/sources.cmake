# Widget helpers every window shares.
list(APPEND HOOPUI_SOURCES
  ui/ansi_text.cpp
  ui/app_fonts.cpp
  ui/child_form.cpp
  ui/context_menu_key.cpp
  ui/guarded.cpp
  ui/key_releases.cpp
  ui/layout_table.cpp
  ui/line_text.cpp
  ui/prompts.cpp)
