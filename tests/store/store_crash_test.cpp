// The news store cut at every change: each operation runs on a store whose files stop at the
// n-th change (the process ends there), for every n, with and without a power loss that drops
// what was not flushed; then the store is opened again. Every record must read whole (as one of
// the versions written) or not at all, the records the operation did not touch must be as they
// were, what was flushed must still be there, and the indexes must list exactly the records.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/fault_files.h"
#include "common/temp_folder.h"
#include "store/link_hash.h"
#include "store/news_database.h"
#include "store_test_util.h"

namespace korvo {
namespace {

using korvo::testing::Cal;
using korvo::testing::FaultFiles;
using korvo::testing::SampleItem;
using korvo::testing::TempFolder;

constexpr uint32_t kEntries = 48;  // blocks 1-47

// An item whose stored form takes `blocks` blocks; `n` makes it distinct.
NewsItem Sized(int n, uint32_t blocks) {
  NewsItem item = SampleItem(n, Cal(2020, 1 + n % 12, 1 + n % 28, n % 24, n % 60));
  const size_t rest = StoredLength(item) - 2 * item.description.size();
  item.description.assign((blocks * 512 - rest) / 2, static_cast<char16_t>(u'a' + n % 26));
  return item;
}

// Everything a record holds except its number.
std::u16string Sig(const NewsItem& item) {
  std::u16string s;
  for (auto field : NewsItem::kTexts) s += item.*field + u'\x1F';
  for (uint32_t w : {item.link_hash, item.get_day.packed, item.last_seen.packed,
                     item.check_day.packed, item.flags, item.create_day.packed}) {
    s += static_cast<char16_t>(w & 0xFFFF);
    s += static_cast<char16_t>(w >> 16);
  }
  return s;
}

// What an operation may leave behind. The operation fills in all but `versions`, which an
// uncut run of it gives: what each touched record reads as afterwards (none: it is gone).
struct Outcome {
  std::set<uint32_t> touched;      // base records it may change or remove
  std::set<uint32_t> must_remain;  // touched records that may change but not go
  std::map<uint32_t, std::set<std::u16string>> versions;
  std::set<std::u16string> added;    // new records, at any free number
  std::set<std::u16string> durable;  // new records that were flushed
};

struct Scenario {
  const char* name;
  std::vector<NewsItem> base;  // stored (and flushed) before the operation, in this order
  std::function<void(NewsDatabase&, FaultFiles&, const std::vector<uint32_t>&, Outcome*)> op;
};

NewsItem ReadBack(NewsDatabase& db, uint32_t number) {
  NewsItem item;
  item.number = number;
  db.ReadItem(&item);
  return item;
}

// Opens the store at `folder` again and checks it against what the operation may have done.
void CheckReopened(const std::string& folder, const std::map<uint32_t, std::u16string>& before,
                   const Outcome& outcome, bool completed) {
  FaultFiles files;  // no faults: it spares the test the real disk's flushes
  NewsDatabase db;
  ASSERT_TRUE(db.Open(folder, nullptr, files, kEntries));
  std::set<uint32_t> heads;
  std::set<std::u16string> found_new;
  for (uint32_t n = 1; n < kEntries; ++n) {
    if (!db.blocks().IsHead(n)) continue;
    heads.insert(n);
    NewsItem item;
    item.number = n;
    ASSERT_NE(db.ReadItem(&item), 0u) << "head " << n << " does not read whole";
    const std::u16string sig = Sig(item);
    const auto old = before.find(n);
    const bool is_old = old != before.end() && old->second == sig;
    const auto v = outcome.versions.find(n);
    const bool is_version = v != outcome.versions.end() && v->second.count(sig) > 0;
    const bool is_new =
        outcome.added.count(sig) > 0 && (old == before.end() || outcome.touched.count(n));
    ASSERT_TRUE(is_old || is_version || is_new) << "record " << n << " is no version written";
    if (is_new) found_new.insert(sig);
  }
  for (const auto& [n, sig] : before) {
    if (outcome.touched.count(n) && !outcome.must_remain.count(n)) continue;
    EXPECT_TRUE(heads.count(n)) << "record " << n << " was lost";
  }
  for (const std::u16string& sig : outcome.durable) {
    EXPECT_TRUE(found_new.count(sig)) << "a flushed record was lost";
  }
  if (completed) {
    for (const auto& [n, sigs] : outcome.versions) {
      if (sigs.empty()) {
        EXPECT_FALSE(heads.count(n)) << n;
      }
    }
    EXPECT_EQ(found_new.size(), outcome.added.size());
  }
  // The indexes list exactly the records, each once, with their values.
  std::vector<uint32_t> listed[5];
  for (int k = 1; k <= 4; ++k) {
    for (const IndexEntry& e : db.ReadIndex(k)) {
      listed[k].push_back(e.number);
      const NewsItem item = ReadBack(db, e.number);
      const uint32_t expected[5] = {0, item.get_day.packed, item.check_day.packed, item.link_hash,
                                    0};
      EXPECT_EQ(e.value, expected[k]) << "meta_" << k << ", record " << e.number;
    }
    std::sort(listed[k].begin(), listed[k].end());
    EXPECT_TRUE(std::adjacent_find(listed[k].begin(), listed[k].end()) == listed[k].end())
        << "meta_" << k << " lists a record twice";
  }
  const std::vector<uint32_t> all(heads.begin(), heads.end());
  EXPECT_EQ(listed[1], all);
  EXPECT_EQ(listed[3], all);
  std::vector<uint32_t> read;
  for (uint32_t n : all) {
    if (!ReadBack(db, n).check_day.empty()) read.push_back(n);
  }
  EXPECT_EQ(listed[2], read);
  EXPECT_TRUE(std::includes(all.begin(), all.end(), listed[4].begin(), listed[4].end()));
}

enum class Cut {
  kProcessEnds,  // the process ends at the chosen change
  kPowerLoss,    // ... and what was not flushed is lost
  kOneFails,     // the chosen change fails and the process goes on
};

// Runs `s` once on a fresh store whose files stop (or fail once) at change `stop` (0: never),
// reopens it and checks it against `reference` (the outcome of the uncut run; when `stop` is 0
// this is that run, and its outcome is stored there). Returns false once the operation
// completed before `stop`.
bool RunOnce(const Scenario& s, uint64_t stop, Cut cut, Outcome* reference) {
  TempFolder dir;
  std::vector<uint32_t> numbers;
  std::map<uint32_t, std::u16string> before;
  {
    FaultFiles plain;
    NewsDatabase db;
    if (!db.Open(dir.path(), nullptr, plain, kEntries)) {
      ADD_FAILURE() << "no store";
      return false;
    }
    for (NewsItem item : s.base) {
      numbers.push_back(db.AddItem(&item, nullptr));
      if (numbers.back() == 0) {
        ADD_FAILURE() << "base record " << numbers.size() << " not stored";
        return false;
      }
      before[numbers.back()] = Sig(ReadBack(db, numbers.back()));
    }
  }
  FaultFiles files;
  if (stop != 0 && cut == Cut::kOneFails) {
    files.FailChange(stop);
  } else if (stop != 0) {
    files.StopAtChange(stop);
  }
  Outcome outcome;
  {
    NewsDatabase db;
    if (!db.Open(dir.path(), nullptr, files, kEntries)) {
      ADD_FAILURE() << "cannot open";
      return false;
    }
    s.op(db, files, numbers, &outcome);
    if (stop == 0) {
      for (uint32_t n : outcome.touched) {
        NewsItem item;
        item.number = n;
        outcome.versions[n];
        if (db.ReadItem(&item) != 0) outcome.versions[n].insert(Sig(item));
      }
      *reference = outcome;
    } else {
      outcome.versions = reference->versions;
    }
    if (cut == Cut::kOneFails) {
      // A failed change leaves each touched record readable and indexed, or gone everywhere.
      for (uint32_t n : outcome.touched) {
        NewsItem item;
        item.number = n;
        const bool reads = db.ReadItem(&item) != 0;
        uint32_t value;
        for (int k : {NewsDatabase::kDayIndex, NewsDatabase::kHashIndex}) {
          EXPECT_EQ(db.index().Find(k, n, &value), reads) << "record " << n << ", meta_" << k;
        }
      }
    }
  }
  const bool completed = cut == Cut::kOneFails ? files.changes() < stop : !files.stopped();
  if (cut == Cut::kPowerLoss) files.DropUnflushed();
  CheckReopened(dir.path(), before, outcome, completed);
  return !completed;
}

// Runs `s` cut at every change; returns the number of changes of the whole operation.
uint64_t RunCutEverywhere(const Scenario& s, Cut cut) {
  Outcome reference;
  {
    SCOPED_TRACE(std::string(s.name) + ", uncut");
    RunOnce(s, 0, Cut::kProcessEnds, &reference);
  }
  for (uint64_t stop = 1;; ++stop) {
    const char* how = cut == Cut::kPowerLoss  ? ", power loss at change "
                      : cut == Cut::kOneFails ? ", failed change "
                                              : ", cut at change ";
    SCOPED_TRACE(s.name + (how + std::to_string(stop)));
    if (!RunOnce(s, stop, cut, &reference) || ::testing::Test::HasFatalFailure()) return stop - 1;
  }
}

std::vector<Scenario> Scenarios() {
  // Record sizes 1, 3, 1, 2, 1 (read) and 2 blocks: 10 of 47 blocks in use.
  std::vector<NewsItem> base = {Sized(1, 1), Sized(2, 3), Sized(3, 1),
                                Sized(4, 2), Sized(5, 1), Sized(6, 2)};
  base[4].check_day.calendar = Cal(2021, 2, 3, 4, 5);
  // The same, with fillers up to 45 of 47 blocks: a record growing by more than two blocks must
  // reuse its own tail; one more record of three blocks forces a compaction.
  std::vector<NewsItem> full = base;
  for (int i = 0; i < 7; ++i) full.push_back(Sized(20 + i, 5));

  // Replaces record `index` with `changed(old)` under `mask`, which must succeed.
  auto replace = [](size_t index, uint32_t mask, std::function<void(NewsItem*)> change) {
    return [=](NewsDatabase& db, FaultFiles& files, const std::vector<uint32_t>& n, Outcome* o) {
      NewsItem item = ReadBack(db, n[index]);
      change(&item);
      o->touched.insert(n[index]);
      o->must_remain.insert(n[index]);
      const int result = db.UpdateItem(item, mask);
      if (files.failures() == 0) {
        EXPECT_NE(result, 0);
      }
    };
  };
  auto add = [](NewsItem item) {
    return [=](NewsDatabase& db, FaultFiles&, const std::vector<uint32_t>&, Outcome* o) {
      NewsItem copy = item;
      copy.number = 0;
      // The signature of the record as it will be stored (packed dates, link hash).
      NewsItem stored = item;
      for (PackedDate* d :
           {&stored.get_day, &stored.last_seen, &stored.check_day, &stored.create_day}) {
        d->packed = PackedDate::Pack(d->calendar);
      }
      stored.link_hash = LinkHash(stored.link);
      o->added.insert(Sig(stored));
      db.AddItem(&copy, nullptr);
    };
  };
  auto remove = [](size_t index) {
    return [=](NewsDatabase& db, FaultFiles&, const std::vector<uint32_t>& n, Outcome* o) {
      o->touched.insert(n[index]);
      NewsItem item;
      item.number = n[index];
      db.DeleteItem(item);
    };
  };

  std::vector<Scenario> list;
  list.push_back({"add one block", base, add(Sized(40, 1))});
  list.push_back({"add three blocks", base, add(Sized(41, 3))});
  list.push_back({"last seen of a three-block record", base,
                  replace(1, NewsDatabase::kLastSeenCalendar,
                          [](NewsItem* i) { i->last_seen.calendar = Cal(2023, 3, 3, 3, 33); })});
  list.push_back(
      {"grow two blocks to four, new title", base,
       replace(3, NewsDatabase::kTakeTitle | NewsDatabase::kTakeDescription, [](NewsItem* i) {
         i->title += u" (updated)";
         i->description.append(700, u'g');
       })});
  list.push_back(
      {"same length, head and tail change", base,
       replace(1, NewsDatabase::kTakeTitle | NewsDatabase::kTakeDescription, [](NewsItem* i) {
         i->title = u"T" + i->title.substr(1);
         i->description = std::u16string(i->description.size(), u'z');
       })});
  list.push_back(
      {"shrink three blocks to one, marked", base,
       replace(1, NewsDatabase::kTakeDescription | NewsDatabase::kTakeFlags, [](NewsItem* i) {
         i->description = u"short";
         i->flags = NewsItem::kMarked;
       })});
  list.push_back({"grow three blocks to five reusing its tail", full,
                  replace(1, NewsDatabase::kTakeDescription,
                          [](NewsItem* i) { i->description.append(2 * 256, u'r'); })});
  list.push_back({"open an unread record", base,
                  replace(0, NewsDatabase::kCheckDayKeep,
                          [](NewsItem* i) { i->check_day.calendar = Cal(2024, 4, 4, 4, 4); })});
  list.push_back({"delete a three-block record", base, remove(1)});
  list.push_back({"mark a read record unread", base,
                  [](NewsDatabase& db, FaultFiles&, const std::vector<uint32_t>& n, Outcome* o) {
                    o->touched.insert(n[4]);
                    o->must_remain.insert(n[4]);
                    NewsItem item;
                    item.number = n[4];
                    db.MarkUnread(item);
                  }});
  list.push_back(
      {"add into a full store (compaction)", full,
       [add](NewsDatabase& db, FaultFiles& f, const std::vector<uint32_t>& n, Outcome* o) {
         // The older half may go; what stays must be whole.
         o->touched.insert(n.begin(), n.end());
         add(Sized(42, 3))(db, f, n, o);
       }});
  list.push_back(
      {"rebuild", base, [](NewsDatabase& db, FaultFiles&, const std::vector<uint32_t>&, Outcome*) {
         db.RebuildIndexes(nullptr);
       }});
  list.push_back(
      {"update run of two items", base,
       [add](NewsDatabase& db, FaultFiles& f, const std::vector<uint32_t>& n, Outcome* o) {
         db.BeginUpdateRun();
         db.BeginBatch(BlockStore::kBatchReadWrite);
         add(Sized(43, 1))(db, f, n, o);
         add(Sized(44, 2))(db, f, n, o);
         db.EndBatch();
         db.EndUpdateRun();
         // Flushed when the process lived past the end of the run.
         if (!f.stopped()) o->durable = o->added;
       }});
  return list;
}

TEST(StoreCrashTest, ARewriteWhoseWriteFailsKeepsItsRecordAndIndexesTogether) {
  for (const Scenario& s : Scenarios()) {
    if (std::string(s.name).find("grow") == std::string::npos) continue;
    EXPECT_GT(RunCutEverywhere(s, Cut::kOneFails), 1u) << s.name;
  }
}

TEST(StoreCrashTest, EveryOperationCutAtEveryChangeLeavesWholeRecords) {
  for (const Scenario& s : Scenarios()) {
    for (Cut cut : {Cut::kProcessEnds, Cut::kPowerLoss}) {
      const uint64_t changes = RunCutEverywhere(s, cut);
      EXPECT_GT(changes, 1u) << s.name;
      if (::testing::Test::HasFatalFailure()) return;
    }
  }
}

}  // namespace
}  // namespace korvo
