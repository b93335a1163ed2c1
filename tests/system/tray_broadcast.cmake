snaplorn_script_test(sys_tray KIND system SCRIPT ${CMAKE_CURRENT_LIST_DIR}/tray.sh)
snaplorn_script_test(sys_broadcast KIND system SCRIPT ${CMAKE_CURRENT_LIST_DIR}/broadcast.sh)
snaplorn_script_test(sys_accessibility KIND system SCRIPT ${CMAKE_CURRENT_LIST_DIR}/accessibility.sh)
