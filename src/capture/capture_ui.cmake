# Capture: the overlay window, the capture commands of the main window and
# the command-line capture.
list(APPEND SNAPLORN_UI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/CommandLineCapture.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frmCaptureDesktop.cpp
    ${CMAKE_SOURCE_DIR}/src/mainwindow/frmViewImage_capture.cpp
)
