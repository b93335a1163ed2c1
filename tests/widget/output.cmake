snaplorn_test(tst_output KIND widget SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_output.cpp)
