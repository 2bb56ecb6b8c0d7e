// Any bytes as the files of a news store: opening, reading, querying, rebuilding, compacting and
// adding never crash, never hang, and leave a store whose every listed record reads back whole.
//
// Input: one flag byte, then up to six sections, each a 16-bit little-endian length and that
// many bytes: the allocation table (its first entries; the rest of the table is zero unless flag
// bit 0 asks for the bytes as a short table file), the data file, meta_1 .. meta_4.
// Flag bit 1 leaves an empty check file (rebuild on open), bit 2 one holding "EndSession"; bit 3
// compacts the store (slow: two passes over the whole table); bits 4-7 create meta_1 .. meta_4
// empty when their section is empty (else they are missing).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/temp_folder.h"
#include "platform/files.h"
#include "store/item_query.h"
#include "store/news_database.h"

namespace {

const korvo::testing::TempFolder& Folder() {
  static korvo::testing::TempFolder* folder = [] {
    auto* f = new korvo::testing::TempFolder();  // lives for the whole run
    korvo::platform::MakeDirectory(*f / "database");
    return f;
  }();
  return *folder;
}

std::string Take(const uint8_t*& data, size_t& size) {
  if (size < 2) {
    size = 0;
    return std::string();
  }
  size_t n = data[0] | data[1] << 8;
  data += 2;
  size -= 2;
  if (n > size) n = size;
  std::string s(reinterpret_cast<const char*>(data), n);
  data += n;
  size -= n;
  return s;
}

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using korvo::NewsDatabase;
  using korvo::NewsItem;
  if (size < 1) return 0;
  const std::string db = Folder() / "database/";
  const uint8_t flags = data[0];
  ++data;
  --size;

  std::string fat = Take(data, size);
  if ((flags & 1) == 0) fat.resize(NewsDatabase::kEntryCount * 4, '\0');
  korvo::platform::WriteWholeFile(db + "fat", fat);
  korvo::platform::WriteWholeFile(db + "data", Take(data, size));
  for (int k = 1; k <= 4; ++k) {
    const std::string path = db + "meta_" + std::to_string(k);
    const std::string bytes = Take(data, size);
    if (bytes.empty() && (flags & (8 << k)) == 0) {
      korvo::platform::RemoveFile(path);
    } else {
      korvo::platform::WriteWholeFile(path, bytes);
    }
  }
  korvo::platform::RemoveFile(db + "check");
  if (flags & 2) korvo::platform::WriteWholeFile(db + "check", "");
  if (flags & 4) korvo::platform::WriteWholeFile(db + "check", "EndSession");
  korvo::platform::RemoveFile(db + "sequence");

  NewsDatabase store;
  Check(store.Open(Folder().path()));
  // Every index entry, every query kind, the unread list.
  korvo::ItemQuery query;
  query.Add(korvo::QueryCondition::kComment, korvo::QueryCondition::kGreater, std::u16string(u" "),
            korvo::QueryCondition::kJoinOr);
  query.Add(korvo::QueryCondition::kFlags, korvo::QueryCondition::kBitAnd, 1u);
  for (int k = 0; k <= 4; ++k) {
    for (const korvo::IndexEntry& e : store.ReadIndex(k)) {
      NewsItem item;
      item.number = e.number;
      if (store.ReadItem(&item) != 0) Check(item.number == e.number);
      store.VerifyLink(e.number, item.link);
      store.QueryDay(k, korvo::PackedDate::Unpack(e.value), query);
    }
  }
  store.ReadLaterItems();
  // Every head the table names.
  for (uint32_t n = 1; n < 64; ++n) {
    NewsItem item;
    item.number = n;
    store.ReadItem(&item);
  }
  store.RebuildIndexes(nullptr);
  // After a rebuild the indexes name exactly the readable records.
  uint64_t used = 0;
  for (const korvo::IndexEntry& e : store.ReadIndex(NewsDatabase::kDayIndex)) {
    NewsItem item;
    item.number = e.number;
    Check(store.ReadItem(&item) != 0);
    used += store.blocks().CountBlocks(e.number);
  }
  Check(used + store.blocks().FreeCount() == NewsDatabase::kEntryCount - 1);
  // The store still takes, changes and drops records.
  NewsItem item;
  item.link = u"http://fuzz.example/";
  item.title = u"t";
  const uint32_t number = store.AddItem(&item, nullptr);
  Check(number != 0);
  item.comment = u"c";
  Check(store.UpdateItem(item, NewsDatabase::kTakeComment) != 0);
  Check(store.MarkUnread(item) == 0);
  if (flags & 8) store.Compact();
  Check(store.DeleteItem(item) <= 1);
  store.Close();
  return 0;
}
