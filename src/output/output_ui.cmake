# Output: the e-mail window and the output commands of the main window.
list(APPEND SNAPLORN_UI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/frmEmail.cpp
    ${CMAKE_SOURCE_DIR}/src/mainwindow/frmViewImage_output.cpp
)
