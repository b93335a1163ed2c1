snaplorn_test(tst_clipboard_x11 KIND system SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_clipboard_x11.cpp)
