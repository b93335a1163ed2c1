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

# snaplorn_wayland_test(NAME SCRIPT [VAR=VALUE...]): a shell test run in the
# session (in turn with the other Wayland tests, which share its outputs).
function(snaplorn_wayland_test name script)
    add_test(NAME ${name} COMMAND ${SNAPLORN_TEST_LAUNCHER}
             ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/with-wayland.sh bash
             ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/${script})
    snaplorn_test_environment(${name} system env)
    # Whole stacks for leaks: libwayland-client has no frame pointers, and
    # only the frames above it tell Qt's objects from ours.
    list(TRANSFORM env REPLACE "^(ASAN_OPTIONS=.*)$" "\\1:fast_unwind_on_malloc=0")
    set_tests_properties(${name} PROPERTIES LABELS system TIMEOUT 300
        ENVIRONMENT "${env};SNAPLORN_WAYSTATE=${SNAPLORN_WAYSTATE};${ARGN}"
        FIXTURES_REQUIRED wayland RESOURCE_LOCK wayland)
endfunction()

snaplorn_wayland_test(sys_wayland_capture wayland_capture.sh WAYLAND_GRAB=$<TARGET_FILE:wayland_grab>)
add_dependencies(wayland_grab snaplorn)

# The tests' own pointer (the headless seat has none): a client of the
# wlroots virtual pointer protocol.
pkg_check_modules(TEST_WAYLAND_CLIENT REQUIRED IMPORTED_TARGET wayland-client)
pkg_get_variable(SNAPLORN_WAYLAND_SCANNER wayland-scanner wayland_scanner)
set(pointer_xml ${CMAKE_CURRENT_LIST_DIR}/protocols/wlr-virtual-pointer-unstable-v1.xml)
set(pointer_gen ${CMAKE_CURRENT_BINARY_DIR}/wlr-virtual-pointer-unstable-v1)
add_custom_command(OUTPUT ${pointer_gen}-client-protocol.h ${pointer_gen}-protocol.c
    COMMAND ${SNAPLORN_WAYLAND_SCANNER} client-header ${pointer_xml} ${pointer_gen}-client-protocol.h
    COMMAND ${SNAPLORN_WAYLAND_SCANNER} private-code ${pointer_xml} ${pointer_gen}-protocol.c
    DEPENDS ${pointer_xml} VERBATIM)
add_executable(wayland_pointer ${CMAKE_CURRENT_LIST_DIR}/wayland_pointer.cpp
    ${pointer_gen}-client-protocol.h ${pointer_gen}-protocol.c)
target_include_directories(wayland_pointer PRIVATE ${CMAKE_CURRENT_BINARY_DIR})
target_link_libraries(wayland_pointer PRIVATE PkgConfig::TEST_WAYLAND_CLIENT)

# It changes the outputs the capture test starts from, so it comes after.
snaplorn_wayland_test(sys_wayland_overlay wayland_overlay.sh WAYLAND_POINTER=$<TARGET_FILE:wayland_pointer>)
set_tests_properties(sys_wayland_overlay PROPERTIES DEPENDS sys_wayland_capture)
add_dependencies(wayland_pointer snaplorn)
