# Update broadcast: the download and the main window's part in it.
list(APPEND SNAPLORN_UI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/BroadcastFetch.cpp
    ${CMAKE_SOURCE_DIR}/src/mainwindow/frmViewImage_broadcast.cpp
)
