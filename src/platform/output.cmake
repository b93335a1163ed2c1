# Wallpaper, e-mail and printing: the desktop implementations and stand-ins.
list(APPEND SNAPLORN_PLATFORM_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/Mailer.h
    ${CMAKE_CURRENT_LIST_DIR}/Printer.h
    ${CMAKE_CURRENT_LIST_DIR}/Wallpaper.h
    ${CMAKE_CURRENT_LIST_DIR}/DesktopMailer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DesktopToolWallpaper.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FakeMailer.h
    ${CMAKE_CURRENT_LIST_DIR}/FakePrinter.h
    ${CMAKE_CURRENT_LIST_DIR}/FakeWallpaper.h
    ${CMAKE_CURRENT_LIST_DIR}/QtPrinter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ToolProcess.cpp
    ${CMAKE_CURRENT_LIST_DIR}/X11RootWallpaper.cpp
)
