snaplorn_script_test(sys_single_instance KIND system
    SCRIPT ${CMAKE_CURRENT_LIST_DIR}/single_instance.sh)
