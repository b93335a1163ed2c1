snaplorn_script_test(install_layout KIND unit SCRIPT ${CMAKE_CURRENT_LIST_DIR}/install_layout.sh)
set_tests_properties(install_layout PROPERTIES ENVIRONMENT_MODIFICATION
    "SNAPLORN_BUILD_DIR=set:${CMAKE_BINARY_DIR}")
