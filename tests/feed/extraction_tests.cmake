korvo_add_test(feed_extraction_tests WINDOWS SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/item_list_test.cpp)
