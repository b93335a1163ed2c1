snaplorn_test(tst_about KIND widget SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_about.cpp)
