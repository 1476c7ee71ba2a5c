# Files of this folder, by library.
list(APPEND HOOPUI_SOURCES
  shell/ansi_text.cpp
  shell/application.cpp
  shell/child_form.cpp
  shell/backup.cpp
  shell/main_window.cpp
  shell/prompts.cpp
  shell/splash.cpp)
