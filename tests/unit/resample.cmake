snaplorn_test(tst_resample KIND unit SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_resample.cpp)
