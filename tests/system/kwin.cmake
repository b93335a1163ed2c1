# A private headless KWin session (KDE Plasma) with KDE's own portals (label
# kwin; `make test-kwin` runs only these). They are defined once the fake
# input protocol of KDE's Wayland protocols is installed.
set(SNAPLORN_FAKE_INPUT_XML /usr/share/plasma-wayland-protocols/fake-input.xml)
if(EXISTS ${SNAPLORN_FAKE_INPUT_XML})
    set(SNAPLORN_KWINSTATE ${CMAKE_BINARY_DIR}/kwinsession)
    add_test(NAME kwin_start COMMAND ${CMAKE_SOURCE_DIR}/scripts/kwinsession.sh start ${SNAPLORN_KWINSTATE})
    add_test(NAME kwin_stop COMMAND ${CMAKE_SOURCE_DIR}/scripts/kwinsession.sh stop ${SNAPLORN_KWINSTATE})
    set_tests_properties(kwin_start PROPERTIES FIXTURES_SETUP kwin LABELS kwin)
    set_tests_properties(kwin_stop PROPERTIES FIXTURES_CLEANUP kwin LABELS kwin)

    pkg_check_modules(KWIN_TEST_WAYLAND REQUIRED IMPORTED_TARGET wayland-client)
    pkg_get_variable(WAYLAND_SCANNER wayland-scanner wayland_scanner)
    set(fake_input_code ${CMAKE_CURRENT_BINARY_DIR}/fake-input-protocol.c)
    set(fake_input_header ${CMAKE_CURRENT_BINARY_DIR}/fake-input-client-protocol.h)
    add_custom_command(OUTPUT ${fake_input_header}
        COMMAND ${WAYLAND_SCANNER} client-header ${SNAPLORN_FAKE_INPUT_XML} ${fake_input_header}
        DEPENDS ${SNAPLORN_FAKE_INPUT_XML} VERBATIM)
    add_custom_command(OUTPUT ${fake_input_code}
        COMMAND ${WAYLAND_SCANNER} private-code ${SNAPLORN_FAKE_INPUT_XML} ${fake_input_code}
        DEPENDS ${SNAPLORN_FAKE_INPUT_XML} VERBATIM)
    add_executable(kwin_fake_input ${CMAKE_CURRENT_LIST_DIR}/kwin_fake_input.c
        ${fake_input_code} ${fake_input_header})
    target_include_directories(kwin_fake_input PRIVATE ${CMAKE_CURRENT_BINARY_DIR})
    target_link_libraries(kwin_fake_input PRIVATE PkgConfig::KWIN_TEST_WAYLAND)
    add_executable(show_picture ${CMAKE_CURRENT_LIST_DIR}/show_picture.cpp)
    target_link_libraries(show_picture PRIVATE Qt6::Gui)

    add_test(NAME sys_kwin COMMAND ${SNAPLORN_TEST_LAUNCHER}
             bash ${CMAKE_CURRENT_LIST_DIR}/kwin_session.sh)
    snaplorn_test_environment(sys_kwin system env)
    set_tests_properties(sys_kwin PROPERTIES LABELS kwin TIMEOUT 300
        ENVIRONMENT "${env};SNAPLORN_KWINSTATE=${SNAPLORN_KWINSTATE};FAKE_INPUT=$<TARGET_FILE:kwin_fake_input>;SHOW_PICTURE=$<TARGET_FILE:show_picture>"
        FIXTURES_REQUIRED kwin RESOURCE_LOCK kwin)
endif()
