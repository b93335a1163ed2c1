# Tray mode and the suppressible message box.
list(APPEND SNAPLORN_UI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/frmMsgBox.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frmViewImage_tray.cpp
)
