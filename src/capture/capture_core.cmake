# Capture: hot-key settings, auto-capture naming and folder test, the
# capture delay, and the command-line capture options.
list(APPEND SNAPLORN_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/AutoCapture.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CaptureOptions.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HotKeySpec.cpp
)
