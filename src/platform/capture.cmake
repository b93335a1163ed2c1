# Screen grab, active window and hot keys: X11 implementations and stand-ins.
list(APPEND SNAPLORN_PLATFORM_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ActiveWindow.h
    ${CMAKE_CURRENT_LIST_DIR}/HotKeys.h
    ${CMAKE_CURRENT_LIST_DIR}/ScreenGrabber.h
    ${CMAKE_CURRENT_LIST_DIR}/FakeActiveWindow.h
    ${CMAKE_CURRENT_LIST_DIR}/FakeHotKeys.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FakeHotKeys.h
    ${CMAKE_CURRENT_LIST_DIR}/FakeScreenGrabber.cpp
    ${CMAKE_CURRENT_LIST_DIR}/X11ActiveWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/X11Display.cpp
    ${CMAKE_CURRENT_LIST_DIR}/X11HotKeys.cpp
    ${CMAKE_CURRENT_LIST_DIR}/X11ScreenGrabber.cpp
)
