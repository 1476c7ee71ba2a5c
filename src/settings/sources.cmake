# Files of this folder, by library.
list(APPEND HOOPCORE_SOURCES settings/settings.cpp)
list(APPEND HOOPUI_SOURCES settings/qt_settings.cpp)
