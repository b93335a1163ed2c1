snaplorn_test(tst_capture_core KIND unit SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_capture_core.cpp)
snaplorn_test(tst_active_window_ipc KIND unit SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_active_window_ipc.cpp)
