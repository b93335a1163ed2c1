list(APPEND SNAPLORN_UI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/CanvasWidget.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CanvasFrame.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StatusPanel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/clsScroll.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frmViewImage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frmViewImage_commands.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frmViewImage_file.cpp
)
