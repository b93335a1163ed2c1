# Fuzz targets over the program's parsers and picture files. In a normal
# build each target is linked with a replay driver and run as a unit test over
# its seed inputs and the crash inputs kept from earlier fuzzing; with
# SNAPLORN_FUZZ (clang) the same sources become libFuzzer executables, built
# with `cmake --build <dir> --target fuzz_targets` and run by scripts/fuzz.sh.
set(SNAPLORN_FUZZ_NAMES loader bmp_jpeg broadcast settings hotkeyspec options droplist
    commandline)
# Each target links only the layer it parses for: the picture loaders must run
# without the widget libraries, whose exit order leaves font caches behind.
set(fuzz_libs_loader snaplorn_document)
set(fuzz_libs_bmp_jpeg snaplorn_document)
set(fuzz_libs_droplist snaplorn_document)
set(fuzz_libs_broadcast snaplorn_broadcast)
set(fuzz_libs_settings snaplorn_settings)
set(fuzz_libs_commandline snaplorn_capture)
set(fuzz_libs_hotkeyspec snaplorn_options)
set(fuzz_libs_options snaplorn_options)
set(fuzz_dir ${CMAKE_CURRENT_LIST_DIR})
set(fuzz_executables)
foreach(fuzz_name ${SNAPLORN_FUZZ_NAMES})
    set(fuzz_sources ${fuzz_dir}/fuzz_${fuzz_name}.cpp ${fuzz_dir}/FuzzInput.h)
    if(SNAPLORN_FUZZ)
        add_executable(fuzz_${fuzz_name} ${fuzz_sources})
        target_link_libraries(fuzz_${fuzz_name} PRIVATE ${fuzz_libs_${fuzz_name}} Qt6::Gui)
        target_link_options(fuzz_${fuzz_name} PRIVATE -fsanitize=fuzzer)
        set_target_properties(fuzz_${fuzz_name} PROPERTIES
            RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
        list(APPEND fuzz_executables fuzz_${fuzz_name})
    else()
        set(replay fuzz_replay_${fuzz_name})
        add_executable(${replay} ${fuzz_sources} ${fuzz_dir}/replay_main.cpp)
        target_link_libraries(${replay} PRIVATE ${fuzz_libs_${fuzz_name}} Qt6::Gui)
        add_test(NAME ${replay} COMMAND ${SNAPLORN_TEST_LAUNCHER} $<TARGET_FILE:${replay}>
                 ${fuzz_dir}/corpus/${fuzz_name} ${fuzz_dir}/crashes/${fuzz_name})
        snaplorn_register(${replay} unit)
        list(APPEND fuzz_executables ${replay})
    endif()
endforeach()
add_custom_target(fuzz_targets DEPENDS ${fuzz_executables})
