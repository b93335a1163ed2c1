snaplorn_test(tst_output_core KIND unit SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_output_core.cpp)
snaplorn_test(tst_output_platform KIND unit SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_output_platform.cpp)
