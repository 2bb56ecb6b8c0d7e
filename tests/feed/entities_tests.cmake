korvo_add_test(feed_entities_tests WINDOWS SOURCES ${CMAKE_CURRENT_LIST_DIR}/entities_test.cpp)
