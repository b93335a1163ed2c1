# Fault injection against the real program: full and read-only disks, a
# folder where a file should be, a kill in the middle of a write, damaged
# settings, and an X server that goes away. The disks are tmpfs mounts the
# tests make and remove themselves (root only: they skip otherwise); what a
# tmpfs cannot do comes from the LD_PRELOAD shim.
enable_language(C)
add_library(faultshim SHARED ${CMAKE_SOURCE_DIR}/tests/support/faultshim.c)
target_link_libraries(faultshim PRIVATE ${CMAKE_DL_LIBS})
set_target_properties(faultshim PROPERTIES PREFIX "" AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)

foreach(name save autocapture settings kill xserver xsilent)
    snaplorn_script_test(sys_faults_${name} KIND system
        SCRIPT ${CMAKE_CURRENT_LIST_DIR}/faults_${name}.sh)
    set_property(TEST sys_faults_${name} APPEND PROPERTY ENVIRONMENT
        "FAULTSHIM=$<TARGET_FILE:faultshim>")
    set_tests_properties(sys_faults_${name} PROPERTIES SKIP_RETURN_CODE 77)
endforeach()

# Instances writing the settings record at once (no display needed).
snaplorn_test(tst_faults_options KIND unit SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_faults_options.cpp)
