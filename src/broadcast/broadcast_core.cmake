# Update broadcast: the message file's parser and its addresses.
list(APPEND SNAPLORN_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/Broadcast.cpp
)
