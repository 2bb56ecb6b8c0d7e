// A second process for the shared-store test: store_process_helper <folder> <writer> <count>
// adds `count` self-checking records to the store in <folder>, taking the store lock once per
// record, and after each addition reads every record the index lists, checking that none is torn.
// Exit code 0 when every record read back whole; 1 on a torn or unreadable record; 2 on bad use.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "concurrent_records.h"
#include "store/database_guard.h"

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const std::string folder = argv[1];
  const int writer = std::atoi(argv[2]);
  const int count = std::atoi(argv[3]);
  korvo::DatabaseGuard guard(folder);
  for (int i = 0; i < count; ++i) {
    korvo::ScopedDatabase db(guard);
    if (!db) return 2;
    korvo::NewsItem item = korvo::testing::ConcurrentRecord(writer, i);
    if (db->AddItem(&item, nullptr) == 0) {
      std::fprintf(stderr, "add %d failed\n", i);
      return 1;
    }
    if (i % 10 != 0) continue;
    for (const korvo::IndexEntry& e : db->ReadIndex(korvo::NewsDatabase::kDayIndex)) {
      korvo::NewsItem back;
      back.number = e.number;
      if (db->ReadItem(&back) == 0 || !korvo::testing::IsWholeRecord(back)) {
        std::fprintf(stderr, "record %u torn or unreadable\n", e.number);
        return 1;
      }
    }
  }
  return 0;
}
