snaplorn_test(tst_tools_drawing KIND widget SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_tools_drawing.cpp)
snaplorn_test(tst_tools_selection KIND widget SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_tools_selection.cpp)
