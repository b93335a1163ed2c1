snaplorn_test(tst_texts KIND unit SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_texts.cpp)
snaplorn_script_test(layers KIND unit SCRIPT ${CMAKE_CURRENT_LIST_DIR}/layers.sh)
snaplorn_test(tst_document_edits KIND unit SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_document_edits.cpp)
