snaplorn_test(tst_capture_x11 KIND system SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_capture_x11.cpp)

add_executable(hotkey_holder ${CMAKE_CURRENT_LIST_DIR}/hotkey_holder.cpp)
target_link_libraries(hotkey_holder PRIVATE PkgConfig::XCB)
snaplorn_script_test(sys_capture_cli KIND system SCRIPT ${CMAKE_CURRENT_LIST_DIR}/capture_cli.sh)
set_property(TEST sys_capture_cli APPEND PROPERTY ENVIRONMENT
    "HOTKEY_HOLDER=$<TARGET_FILE:hotkey_holder>" "FAULTSHIM=$<TARGET_FILE:faultshim>")
add_dependencies(tst_capture_x11 hotkey_holder)
