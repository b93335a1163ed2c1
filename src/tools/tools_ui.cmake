list(APPEND SNAPLORN_UI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/MiniPalette.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PastePicture.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PenSizePicker.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TextEntry.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ToolArt.cpp
    ${CMAKE_SOURCE_DIR}/src/mainwindow/frmViewImage_canvas.cpp
    ${CMAKE_SOURCE_DIR}/src/mainwindow/frmViewImage_paste.cpp
    ${CMAKE_SOURCE_DIR}/src/mainwindow/frmViewImage_tools.cpp
)
