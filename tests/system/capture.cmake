snaplorn_test(tst_capture_x11 KIND system SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_capture_x11.cpp)

add_executable(hotkey_holder ${CMAKE_CURRENT_LIST_DIR}/hotkey_holder.cpp)
target_link_libraries(hotkey_holder PRIVATE PkgConfig::XCB)
snaplorn_script_test(sys_capture_cli KIND system SCRIPT ${CMAKE_CURRENT_LIST_DIR}/capture_cli.sh)
set_property(TEST sys_capture_cli APPEND PROPERTY ENVIRONMENT
    "HOTKEY_HOLDER=$<TARGET_FILE:hotkey_holder>" "FAULTSHIM=$<TARGET_FILE:faultshim>")
add_dependencies(tst_capture_x11 hotkey_holder)
snaplorn_script_test(sys_capture_keeper_resize KIND system
    SCRIPT ${CMAKE_CURRENT_LIST_DIR}/capture_keeper_resize.sh)

# The same captures on a private X server with two monitors of different
# sizes (scripts/xmonitors.sh), at scale 1 (every test), at a scale of 1.5,
# and with a different scale on each monitor (the tests of monitors and
# scales).
set(SNAPLORN_XMONITORS ${CMAKE_BINARY_DIR}/xmonitors)
add_test(NAME xmonitors_start COMMAND ${CMAKE_SOURCE_DIR}/scripts/xmonitors.sh start ${SNAPLORN_XMONITORS})
add_test(NAME xmonitors_stop COMMAND ${CMAKE_SOURCE_DIR}/scripts/xmonitors.sh stop ${SNAPLORN_XMONITORS})
set_tests_properties(xmonitors_start PROPERTIES FIXTURES_SETUP xmonitors LABELS system)
set_tests_properties(xmonitors_stop PROPERTIES FIXTURES_CLEANUP xmonitors LABELS system)
set(monitor_tests desktopCoversEveryMonitor rectangleAcrossMonitors activeWindowOnEveryMonitor
    mainWindowOnEveryMonitor)
foreach(variant monitors hidpi mixed_scales)
    set(name tst_capture_x11_${variant})
    set(arguments)
    if(NOT variant STREQUAL "monitors")
        set(arguments ${monitor_tests})
    endif()
    add_test(NAME ${name} COMMAND ${SNAPLORN_TEST_LAUNCHER}
             ${CMAKE_SOURCE_DIR}/tests/system/with-display.sh $<TARGET_FILE:tst_capture_x11> ${arguments})
    snaplorn_register(${name} system)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED xmonitors RESOURCE_LOCK xmonitors)
    set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT "SNAPLORN_XSTATE=${SNAPLORN_XMONITORS}")
endforeach()
set_property(TEST tst_capture_x11_hidpi APPEND PROPERTY ENVIRONMENT "QT_SCALE_FACTOR=1.5")
set_property(TEST tst_capture_x11_mixed_scales APPEND PROPERTY ENVIRONMENT
    "QT_SCREEN_SCALE_FACTORS=DUMMY0=2\;DUMMY1=1.5")
