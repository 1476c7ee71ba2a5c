# The pool session: core, no Qt.
list(APPEND HOOPCORE_SOURCES session/pool_session.cpp)
