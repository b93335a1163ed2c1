list(APPEND SNAPLORN_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ColorText.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FigureTool.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SelectTool.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StrokeTool.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Tool.cpp
    ${CMAKE_CURRENT_LIST_DIR}/pixelops.cpp
    ${CMAKE_CURRENT_LIST_DIR}/raster.cpp
)
