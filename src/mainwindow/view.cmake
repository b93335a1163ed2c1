list(APPEND SNAPLORN_UI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/frmViewImage_view.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ResizeCursors.cpp
)
