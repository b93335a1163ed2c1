snaplorn_test(tst_fastcapture KIND unit SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_fastcapture.cpp
    LIBS snaplorn_launch)
