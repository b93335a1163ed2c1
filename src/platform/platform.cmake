# Interfaces that are QObjects are listed so that moc sees them.
list(APPEND SNAPLORN_PLATFORM_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/Clipboard.h
    ${CMAKE_CURRENT_LIST_DIR}/LoggingMessageService.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PlatformFactory.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QtDialogService.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QtMessageService.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ScriptedDialogService.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ScriptedMessageService.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Shell.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SingleInstance.cpp
)
