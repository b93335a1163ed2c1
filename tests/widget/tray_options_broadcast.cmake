snaplorn_test(tst_tray KIND widget SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_tray.cpp)
snaplorn_test(tst_msgbox KIND widget SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_msgbox.cpp)
snaplorn_test(tst_broadcast KIND widget SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_broadcast.cpp)
snaplorn_test(tst_options KIND widget SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_options.cpp)
