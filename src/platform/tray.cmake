# Tray icon: the desktop's system tray and a stand-in.
list(APPEND SNAPLORN_PLATFORM_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/Tray.h
    ${CMAKE_CURRENT_LIST_DIR}/FakeTray.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QtTray.cpp
)
