# Files of this folder, by library.
list(APPEND HOOPCORE_SOURCES
  shell/backup_copy.cpp)
list(APPEND HOOPUI_SOURCES
  shell/application.cpp
  shell/backup.cpp
  shell/main_window.cpp
  shell/single_instance.cpp
  shell/splash.cpp
  shell/startup.cpp
  shell/termination.cpp)
