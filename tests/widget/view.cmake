snaplorn_test(tst_view KIND widget SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_view.cpp)
snaplorn_test(tst_canvasframe KIND widget SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_canvasframe.cpp)
snaplorn_test(tst_view_hidpi KIND widget SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_view_hidpi.cpp)
