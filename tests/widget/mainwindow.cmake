snaplorn_test(tst_startup KIND widget SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_startup.cpp)
snaplorn_test(tst_mainwindow KIND widget SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_mainwindow.cpp)
snaplorn_test(tst_filecommands KIND widget SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_filecommands.cpp)
