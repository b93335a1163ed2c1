# The package is made from the program as it ships; the sanitized suite
# checks the code, not the packaging, and would only package instrumented
# binaries.
if(NOT SNAPLORN_SANITIZE)
    snaplorn_script_test(sys_package_deb KIND system SCRIPT ${CMAKE_CURRENT_LIST_DIR}/package_deb.sh)
    set_tests_properties(sys_package_deb PROPERTIES ENVIRONMENT_MODIFICATION
        "SNAPLORN_BUILD_DIR=set:${CMAKE_BINARY_DIR}")
endif()
