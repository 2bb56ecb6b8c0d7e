korvo_add_test(feed_date_tests WINDOWS SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/calendar_math_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/feed_date_test.cpp)
