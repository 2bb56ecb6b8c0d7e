#include "update/update_merge.h"

#include <algorithm>
#include <map>
#include <set>
#include <string_view>
#include <system_error>
#include <thread>
#include <tuple>
#include <utility>

#include "channels/item_selection.h"
#include "fetch/feed_cache.h"
#include "platform/code_page.h"
#include "store/database_guard.h"
#include "store/known_item_table.h"
#include "store/link_hash.h"
#include "ticker/ticker_lists.h"
#include "update/item_record.h"

namespace korvo {

namespace {

bool Aborted(const std::atomic<bool>* abort) {
  return abort != nullptr && abort->load(std::memory_order_acquire);
}

// What the merge learns about each item of the list besides the FeedItem itself.
struct ItemState {
  size_t channel = 0;       // index into the snapshot
  bool to_add = false;      // not found in the store
  bool known = false;       // found in the store before this run
  bool added = false;       // stored by this run
  bool read = false;        // the record has a check day
  uint32_t create_day = 0;  // packed
  uint32_t get_day = 0;     // packed
};

// Runs `work(i)` for i in [0, count) on up to `threads` threads, each index exactly once. Falls
// back to the calling thread when no thread can be started.
void ForEachOnThreads(size_t count, int threads, const std::function<void(size_t)>& work) {
  std::atomic<size_t> next{0};
  auto loop = [&] {
    for (size_t i = next++; i < count; i = next++) work(i);
  };
  std::vector<std::thread> pool;
  const size_t wanted = std::min(count, static_cast<size_t>(std::max(1, threads)));
  for (size_t t = 0; t < wanted; ++t) {
    try {
      pool.emplace_back(loop);
    } catch (const std::system_error&) {
      break;
    }
  }
  loop();  // the calling thread helps; with no thread started it does all the work
  for (std::thread& thread : pool) thread.join();
}

ItemTexts TextsOf(const FeedItem& item) {
  ItemTexts texts;
  texts.title = item.title;
  texts.siteName = item.site_name;
  texts.description = item.description;
  texts.category = item.category;
  texts.author = item.creator;
  return texts;
}

}  // namespace

MergeReport UpdateMerge::Run(const Environment& env, const std::vector<Channel>& channels,
                             const ChangedSet* changed) {
  MergeReport report;
  const UpdateClock& clock = env.clock != nullptr ? *env.clock : SystemUpdateClock();
  const std::atomic<bool>* abort = env.abort;

  // The link index is built on a thread of its own while the feeds are parsed.
  KnownItemTable table;
  bool table_built = false;
  auto build_table = [&] {
    DatabaseGuard guard(env.working_folder);
    ScopedDatabase db(guard);
    if (!db) return;
    table.Build(*db);
    table_built = true;
  };
  std::thread index_thread;
  try {
    index_thread = std::thread(build_table);
  } catch (const std::system_error&) {
    // Built after parsing, on this thread.
  }

  // 1. Parse.
  const FeedCache cache(env.working_folder + "/cache");
  std::vector<std::shared_ptr<const Channel>> properties;
  std::vector<ItemFilterOptions> options;
  properties.reserve(channels.size());
  options.reserve(channels.size());
  for (const Channel& channel : channels) {
    properties.push_back(std::make_shared<const Channel>(channel));
    options.push_back(channel.FilterOptions());
  }
  std::vector<ItemList> parts(channels.size());
  std::vector<char> present(channels.size(), 0);
  ForEachOnThreads(channels.size(), env.parse_threads, [&](size_t i) {
    if (Aborted(abort)) return;
    std::string body;
    if (!cache.Read(channels[i].url, &body)) {
      cache.Delete(channels[i].url);
      return;
    }
    present[i] = 1;
    ChannelContext context;
    context.site_url = channels[i].siteUrl;
    context.title = channels[i].title;
    context.overwrite = channels[i].overwrite;
    context.properties = properties[i];
    context.on_site_link = env.on_site_link;
    if (!env.parser) return;
    try {
      env.parser(body, context, &parts[i]);
    } catch (...) {
      // A parser that gives up (out of memory on a huge feed) costs only its own channel, and
      // half of its items would be worse than none.
      parts[i].Clear();
    }
  });
  ItemList list;
  std::vector<ItemState> states;
  for (size_t c = 0; c < parts.size(); ++c) {
    if (present[c]) {
      ++report.channels_parsed;
    } else {
      ++report.channels_missing;
    }
    for (FeedItem& item : parts[c]) {
      if (item.channel == nullptr) item.channel = properties[c];
      item.store_index = -1;
      BoundItemTexts(&item);
      list.Append(std::move(item));
      ItemState state;
      state.channel = c;
      states.push_back(state);
    }
    parts[c].Clear();
  }
  list.RebuildIndex(false);
  report.items_parsed = static_cast<int>(list.size());
  const platform::CalendarTime now = clock.LocalNow();
  const uint32_t now_packed = PackedDate::Pack(now);
  const int offset = clock.LocalOffsetMinutes();

  // 2. Wait for the link index.
  if (index_thread.joinable()) {
    index_thread.join();
  } else {
    build_table();
  }
  if (Aborted(abort)) {
    report.aborted = true;
    return report;
  }

  DatabaseGuard guard(env.working_folder);
  // 3. Match.
  {
    ScopedDatabase db(guard);
    if (!db || !table_built) {
      report.aborted = true;  // no store: nothing can be matched, added or shown safely
      return report;
    }
    db->BeginUpdateRun();
    // The first copy of each item (link and title) per channel address: a feed listed many
    // times, or repeating one item, is looked up (and its record refreshed) once.
    std::map<std::tuple<std::string_view, std::string_view, std::string_view>, size_t> first_copy;
    for (size_t i = 0; i < list.size(); ++i) {
      if (Aborted(abort)) {
        report.aborted = true;
        break;
      }
      FeedItem& item = list[i];
      ItemState& state = states[i];
      const auto copy_key =
          std::make_tuple(std::string_view(channels[state.channel].url),
                          std::string_view(item.link), std::string_view(item.title));
      const auto [first, inserted] = first_copy.emplace(copy_key, i);
      if (!inserted) {
        const ItemState& earlier = states[first->second];
        state.to_add = earlier.to_add;
        state.known = earlier.known;
        state.read = earlier.read;
        state.create_day = earlier.create_day;
        state.get_day = earlier.get_day;
        item.store_index = list[first->second].store_index;
        item.new_flag = list[first->second].new_flag;
        if (state.known) ++report.items_known;
        continue;
      }
      const uint32_t number = table.Lookup(*db, item.link, item.title);
      if (number == 0) {
        state.to_add = true;
        continue;
      }
      state.known = true;
      ++report.items_known;
      item.store_index = static_cast<int>(number);
      NewsItem record;
      record.number = number;
      if (db->ReadItem(&record) == 0) continue;  // a record that does not load is skipped
      state.read = !record.check_day.empty();
      state.create_day = record.create_day.packed;
      state.get_day = record.get_day.packed;
      if (changed != nullptr && changed->Contains(channels[state.channel].url)) {
        record.last_seen.calendar = now;
        db->UpdateItem(record, NewsDatabase::kLastSeenCalendar);
        item.new_flag = 0;
      } else {
        item.new_flag = record.get_day.packed == record.last_seen.packed ? 1 : 0;
      }
    }
    if (report.aborted) {
      db->SaveTable();
      db->EndUpdateRun();
      return report;
    }
  }

  // 4. Add.
  {
    ScopedDatabase db(guard);
    if (!db) {
      report.aborted = true;
      return report;
    }
    db->BeginBatch(BlockStore::kBatchReadWrite);
    // Items added by this run, by link and title, so a second copy shares the first's record.
    std::map<std::pair<std::string, std::string>, size_t> added_here;
    bool compacted_any = false;
    for (size_t i = 0; i < list.size(); ++i) {
      if (Aborted(abort)) {
        report.aborted = true;
        break;
      }
      ItemState& state = states[i];
      if (!state.to_add) continue;
      FeedItem& item = list[i];
      if (!ShouldStoreItem(options[state.channel], TextsOf(item))) {
        ++report.items_not_stored;
        continue;
      }
      const auto key = std::make_pair(item.link, item.title);
      const auto first = added_here.find(key);
      if (first != added_here.end()) {
        const ItemState& copy = states[first->second];
        item.store_index = list[first->second].store_index;
        state.added = true;
        state.create_day = copy.create_day;
        state.get_day = copy.get_day;
        continue;
      }
      if (db->read_only()) {
        ++report.items_store_failed;
        continue;
      }
      NewsItem record = RecordFromFeedItem(item, now, offset);
      bool compacted = false;
      const uint32_t number = db->AddItem(&record, &compacted);
      if (compacted) compacted_any = true;
      if (number == 0) {
        ++report.items_store_failed;
        continue;
      }
      item.store_index = static_cast<int>(number);
      state.added = true;
      state.create_day = PackedDate::Pack(record.create_day.calendar);
      state.get_day = now_packed;
      added_here.emplace(key, i);
      ++report.items_added;
    }
    if (compacted_any) {
      // Compaction dropped the older half of the store; numbers taken before it may now name
      // nothing or another record, so every number in the list is checked again.
      for (size_t i = 0; i < list.size(); ++i) {
        FeedItem& item = list[i];
        if (item.store_index <= 0) continue;
        if (!db->VerifyLink(static_cast<uint32_t>(item.store_index),
                            platform::Cp932ToUtf16(item.link))) {
          item.store_index = -1;
          states[i].known = false;
          states[i].added = false;
        }
      }
    }
    db->EndBatch();
    db->SaveTable();
    db->EndUpdateRun();
    report.store_read_only = db->read_only();
    report.store_damaged = db->needs_rebuild();
    if (report.aborted) return report;
  }

  // 5. Select for display.
  std::vector<DisplayCandidate> candidates(list.size());
  for (size_t i = 0; i < list.size(); ++i) {
    const FeedItem& item = list[i];
    const ItemState& state = states[i];
    DisplayCandidate& candidate = candidates[i];
    candidate.options = &options[state.channel];
    candidate.texts = TextsOf(item);
    candidate.read = state.read;
    candidate.alreadyStored = state.known;
    if (state.known || state.added) {
      candidate.createDay = state.create_day;
      candidate.getDay = state.get_day;
    } else {
      candidate.createDay =
          PackedDate::Pack(RecordFromFeedItem(item, now, offset).create_day.calendar);
      candidate.getDay = now_packed;
    }
  }
  const std::vector<DisplayVerdict> verdicts = SelectForDisplay(candidates, now_packed);
  std::vector<TickerItem> shown;
  // An item (link and title) is shown once per list, as its first copy that is not removed.
  std::set<std::pair<std::string_view, std::string_view>> listed;
  for (size_t i = 0; i < list.size(); ++i) {
    if (verdicts[i].removed) continue;
    FeedItem& item = list[i];
    if (!listed.emplace(item.link, item.title).second) {
      ++report.items_repeated;
      continue;
    }
    if (verdicts[i].hidden) item.shown = true;
    const int32_t id = item.store_index > 0 ? item.store_index : -1;
    shown.push_back(TickerItemFromFeedItem(item, id, states[i].added ? TickerItem::kAdded : 0));
  }
  report.items_shown = static_cast<int>(shown.size());

  // 6. The placeholder, and 7. the hand-over.
  if (shown.empty()) shown.push_back(PlaceholderTickerItem());
  if (env.ticker != nullptr && !Aborted(abort)) {
    env.ticker->SetTickerList(std::move(shown));
    report.handed_over = true;
  }
  return report;
}

}  // namespace korvo
