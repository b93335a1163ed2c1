snaplorn_test(tst_pixelops KIND unit SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_pixelops.cpp)
snaplorn_test(tst_colortext KIND unit SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_colortext.cpp)
snaplorn_test(tst_raster KIND unit SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_raster.cpp)
