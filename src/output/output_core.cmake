# Output: wallpaper styles and desktop commands, print layout, and the
# e-mail message with its address check.
list(APPEND SNAPLORN_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/DesktopWallpaperCommands.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MailAddress.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MimeMessage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PrintLayout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WallpaperStyle.cpp
)
