snaplorn_test(tst_capture KIND widget SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_capture.cpp)
