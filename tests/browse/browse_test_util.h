// A news store in a fresh folder for the browse tests, with helpers to add records.
#ifndef KORVO_TESTS_BROWSE_BROWSE_TEST_UTIL_H_
#define KORVO_TESTS_BROWSE_BROWSE_TEST_UTIL_H_

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "common/temp_folder.h"
#include "platform/code_page.h"
#include "store/database_guard.h"
#include "store/news_item.h"
#include "store/store_test_util.h"

namespace korvo::testing {

class StoreFixture : public ::testing::Test {
 protected:
  void SetUp() override { guard_ = std::make_unique<DatabaseGuard>(folder_.path()); }
  void TearDown() override { guard_.reset(); }

  // Adds `item` (dates in calendar form) and returns its number.
  uint32_t Add(NewsItem item) {
    ScopedDatabase db(*guard_);
    EXPECT_TRUE(db);
    return db->AddItem(&item, nullptr);
  }
  // Adds an item with a UTF-8 title fetched at `fetched`; `checked` (when its year is set) is its
  // check day.
  uint32_t AddTitled(int n, const std::string& title_utf8, const platform::CalendarTime& fetched,
                     const platform::CalendarTime& checked = {}) {
    NewsItem item = SampleItem(n, fetched);
    item.title = platform::Utf8ToUtf16(title_utf8);
    item.check_day.calendar = checked;
    return Add(item);
  }
  NewsItem Read(uint32_t number) {
    ScopedDatabase db(*guard_);
    NewsItem item;
    item.number = number;
    if (db) db->ReadItem(&item);
    return item;
  }

  TempFolder folder_;
  std::unique_ptr<DatabaseGuard> guard_;
};

inline std::string Sjis(const std::string& utf8) { return platform::Utf8ToCp932(utf8); }

}  // namespace korvo::testing

#endif  // KORVO_TESTS_BROWSE_BROWSE_TEST_UTIL_H_
