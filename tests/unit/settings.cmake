add_executable(registry_writer ${CMAKE_SOURCE_DIR}/tests/support/registry_writer.cpp)
target_link_libraries(registry_writer PRIVATE snaplorn_settings)

snaplorn_test(tst_settings KIND unit SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_settings.cpp)
target_compile_definitions(tst_settings PRIVATE
    REGISTRY_WRITER="$<TARGET_FILE:registry_writer>")
add_dependencies(tst_settings registry_writer)

snaplorn_test(tst_commandline KIND unit SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_commandline.cpp)
