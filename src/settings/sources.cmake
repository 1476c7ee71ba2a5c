# Files of this folder, by library.
list(APPEND HOOPCORE_SOURCES settings/ini_text.cpp settings/settings.cpp)
list(APPEND HOOPUI_SOURCES settings/qt_settings.cpp)
