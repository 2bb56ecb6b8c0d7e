korvo_add_test(feed_xml_tests WINDOWS SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/xml_reader_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xml_encoding_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xml_editing_test.cpp)
