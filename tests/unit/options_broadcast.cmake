snaplorn_test(tst_options_core KIND unit SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_options_core.cpp)
snaplorn_test(tst_broadcast_core KIND unit SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_broadcast_core.cpp)
