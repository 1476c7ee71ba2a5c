# Files of this folder, by library.
list(APPEND HOOPCORE_SOURCES
  shell/backup_copy.cpp
  shell/batch_commands.cpp
  shell/command_line.cpp
  shell/pool_lock.cpp)
list(APPEND HOOPUI_SOURCES
  shell/application.cpp
  shell/backup.cpp
  shell/ball_art.cpp
  shell/data_folder.cpp
  shell/help_page.cpp
  shell/main_window.cpp
  shell/open_url.cpp
  shell/single_instance.cpp
  shell/splash.cpp
  shell/startup.cpp
  shell/termination.cpp)
