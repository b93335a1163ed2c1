# Options: the dialog, the folder picker and the main window's Options command.
list(APPEND SNAPLORN_UI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/GetFolder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frmOption.cpp
    ${CMAKE_SOURCE_DIR}/src/mainwindow/frmViewImage_options.cpp
)
