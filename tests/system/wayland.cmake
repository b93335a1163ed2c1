# The private headless Wayland session (sway, PipeWire, the Screenshot
# portal) shared by the Wayland system tests, started once by the wayland
# fixture and stopped afterwards.
set(SNAPLORN_WAYSTATE ${CMAKE_BINARY_DIR}/waysession)
add_test(NAME wayland_start COMMAND ${CMAKE_SOURCE_DIR}/scripts/waysession.sh start ${SNAPLORN_WAYSTATE})
add_test(NAME wayland_stop COMMAND ${CMAKE_SOURCE_DIR}/scripts/waysession.sh stop ${SNAPLORN_WAYSTATE})
set_tests_properties(wayland_start PROPERTIES FIXTURES_SETUP wayland LABELS system)
set_tests_properties(wayland_stop PROPERTIES FIXTURES_CLEANUP wayland LABELS system)

add_executable(wayland_grab ${CMAKE_CURRENT_LIST_DIR}/wayland_grab.cpp)
target_link_libraries(wayland_grab PRIVATE snaplorn_platform)

add_test(NAME sys_wayland_capture COMMAND ${SNAPLORN_TEST_LAUNCHER}
         ${CMAKE_CURRENT_LIST_DIR}/with-wayland.sh bash ${CMAKE_CURRENT_LIST_DIR}/wayland_capture.sh)
snaplorn_test_environment(sys_wayland_capture system env)
# Whole stacks for leaks: libwayland-client has no frame pointers, and only
# the frames above it tell Qt's objects from ours.
list(TRANSFORM env REPLACE "^(ASAN_OPTIONS=.*)$" "\\1:fast_unwind_on_malloc=0")
set_tests_properties(sys_wayland_capture PROPERTIES LABELS system TIMEOUT 300
    ENVIRONMENT "${env};SNAPLORN_WAYSTATE=${SNAPLORN_WAYSTATE};WAYLAND_GRAB=$<TARGET_FILE:wayland_grab>"
    FIXTURES_REQUIRED wayland RESOURCE_LOCK wayland)
add_dependencies(wayland_grab snaplorn)

# The desktop services in the same session: active window, wallpaper, tray,
# single instance.
add_test(NAME sys_wayland_desktop COMMAND ${SNAPLORN_TEST_LAUNCHER}
         ${CMAKE_CURRENT_LIST_DIR}/with-wayland.sh bash ${CMAKE_CURRENT_LIST_DIR}/wayland_desktop.sh)
snaplorn_test_environment(sys_wayland_desktop system env)
list(TRANSFORM env REPLACE "^(ASAN_OPTIONS=.*)$" "\\1:fast_unwind_on_malloc=0")
set_tests_properties(sys_wayland_desktop PROPERTIES LABELS system TIMEOUT 300
    ENVIRONMENT "${env};SNAPLORN_WAYSTATE=${SNAPLORN_WAYSTATE};WAYLAND_GRAB=$<TARGET_FILE:wayland_grab>"
    FIXTURES_REQUIRED wayland RESOURCE_LOCK wayland)
# Printing (CUPS) and mail (SMTP sink) as on X11, from a program on Qt's
# Wayland platform. cups-pdf writes into one folder for both sessions: the
# X11 run never runs beside this one.
add_test(NAME sys_wayland_output COMMAND ${SNAPLORN_TEST_LAUNCHER}
         ${CMAKE_CURRENT_LIST_DIR}/with-wayland.sh $<TARGET_FILE:tst_output_servers>)
snaplorn_test_environment(sys_wayland_output system env)
list(TRANSFORM env REPLACE "^(ASAN_OPTIONS=.*)$" "\\1:fast_unwind_on_malloc=0")
set_tests_properties(sys_wayland_output PROPERTIES LABELS system TIMEOUT 300
    ENVIRONMENT "${env};SNAPLORN_WAYSTATE=${SNAPLORN_WAYSTATE}"
    FIXTURES_REQUIRED wayland RESOURCE_LOCK "wayland;xdisplay")
