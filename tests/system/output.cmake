# Output against real components: the X server (clipboard, root window),
# and servers the tests start and stop themselves (CUPS, SMTP sink).
snaplorn_test(tst_output_desktop KIND system
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_output_desktop.cpp ${CMAKE_CURRENT_LIST_DIR}/OutputHarness.h
    LIBS PkgConfig::XCB)
snaplorn_test(tst_output_servers KIND system
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_output_servers.cpp ${CMAKE_CURRENT_LIST_DIR}/OutputHarness.h)
