# Files of this folder, by library.
list(APPEND HOOPUI_SOURCES printing/print_commands.cpp)
