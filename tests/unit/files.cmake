snaplorn_test(tst_imagefiles KIND unit SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/tst_imagefiles.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PictureBytes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PictureBytes.h)
