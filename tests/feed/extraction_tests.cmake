korvo_add_test(feed_extraction_tests WINDOWS SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/item_list_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/item_extraction_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/html_text_test.cpp)
