snaplorn_test(tst_clipboard_x11 KIND system SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_clipboard_x11.cpp)
snaplorn_script_test(sys_clipboard_keep KIND system SCRIPT ${CMAKE_CURRENT_LIST_DIR}/clipboard_keep.sh)
add_executable(clipboard_manager ${CMAKE_CURRENT_LIST_DIR}/clipboard_manager.cpp)
target_link_libraries(clipboard_manager PRIVATE PkgConfig::XCB)
set_property(TEST sys_clipboard_keep APPEND PROPERTY ENVIRONMENT
    "CLIPBOARD_MANAGER=$<TARGET_FILE:clipboard_manager>")
