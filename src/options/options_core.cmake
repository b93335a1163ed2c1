# Options: the dialog's rules without widgets (hot-key boxes, the four
# checks, storing and writing the settings record).
list(APPEND SNAPLORN_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/OptionsRules.cpp
)
