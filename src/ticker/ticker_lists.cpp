#include "ticker/ticker_lists.h"

#include <utility>

#include "platform/clock.h"
#include "platform/code_page.h"
#include "store/database_guard.h"
#include "ticker/ticker_dump.h"

namespace korvo {

TickerLists::TickerLists(std::string working_folder) : working_folder_(std::move(working_folder)) {}

void TickerLists::SetCommandSink(CommandSink sink) {
  std::lock_guard<std::mutex> lock(mutex_);
  sink_ = std::move(sink);
}

bool TickerLists::PushCommand(uint8_t command) {
  CommandSink sink;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    sink = sink_;
  }
  return sink ? sink(command) : false;
}

void TickerLists::RefreshMarks(std::vector<TickerItem>* items) {
  if (working_folder_.empty()) return;
  DatabaseGuard guard(working_folder_);
  ScopedDatabase db(guard);
  if (!db) return;
  for (TickerItem& item : *items) {
    if (!item.names_record()) continue;
    NewsItem record;
    record.number = static_cast<uint32_t>(item.id);
    if (db->ReadItem(&record) == 0) continue;
    item.state |= StateFromRecord(record);
  }
}

void TickerLists::HandOver(std::vector<TickerItem> items, bool always_reload) {
  bool push_reload;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    spare_ = std::move(items);
    spare_pending_ = true;
    push_reload = sink_ && (shown_before_ || always_reload);
  }
  // The engine swaps on Reload (a refused Reload leaves the list waiting for the next one).
  // Without an engine, or for a first list, the swap happens now.
  if (push_reload) {
    PushCommand(kCommandReload);
  } else {
    SwapLists();
  }
}

size_t TickerLists::SetTickerList(std::vector<TickerItem> items) {
  RefreshMarks(&items);
  const size_t count = items.size();
  HandOver(std::move(items), false);
  return count;
}

size_t TickerLists::LoadSavedList(const std::string& dump_path) {
  std::vector<TickerItem> items;
  std::vector<uint32_t> numbers;
  if (!working_folder_.empty() && ReadTickerDump(dump_path, &numbers) && !numbers.empty()) {
    DatabaseGuard guard(working_folder_);
    ScopedDatabase db(guard);
    if (db) {
      for (uint32_t number : numbers) {
        NewsItem record;
        record.number = number;
        if (number == 0 || db->ReadItem(&record) == 0) continue;  // not a record: skipped
        if (record.title.empty() || record.link.empty()) continue;
        TickerItem item = TickerItemFromRecord(record);
        if (!item.names_record()) continue;
        items.push_back(std::move(item));
      }
    }
  }
  if (items.empty()) items.push_back(PlaceholderTickerItem());
  const size_t count = items.size();
  HandOver(std::move(items), true);
  return count;
}

bool TickerLists::SwapLists() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!spare_pending_) return false;
  std::swap(shown_, spare_);
  spare_.clear();
  shown_order_.clear();
  spare_pending_ = false;
  shown_before_ = true;
  return true;
}

bool TickerLists::SaveShownList(const std::string& dump_path) const {
  std::vector<uint32_t> numbers;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (shown_.size() < kMinSavedItems) return false;
    auto add = [&](const TickerItem& item) {
      if (item.names_record()) numbers.push_back(static_cast<uint32_t>(item.id));
    };
    if (shown_order_.empty()) {
      for (const TickerItem& item : shown_) add(item);
    } else {
      for (size_t position : shown_order_) add(shown_[position]);
    }
  }
  return WriteTickerDump(dump_path, numbers);
}

void TickerLists::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  shown_.clear();
  shown_order_.clear();
  spare_.clear();
  spare_pending_ = false;
}

std::vector<TickerItem> TickerLists::shown() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return shown_;
}

std::vector<TickerItem> TickerLists::spare() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return spare_;
}

size_t TickerLists::shown_count() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return shown_.size();
}

bool TickerLists::reload_pending() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return spare_pending_;
}

bool TickerLists::OpenItemByRecord(int32_t id, std::string* link) {
  link->clear();
  if (id == 0 || id == -1 || id == -2) return false;
  DatabaseGuard guard(working_folder_.empty() ? std::string(".") : working_folder_);
  ScopedDatabase db(guard);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    size_t visible = 0;
    for (const TickerItem& item : shown_) visible += item.hidden ? 0 : 1;
    for (TickerItem& item : shown_) {
      if (item.id != id) continue;
      item.state |= TickerItem::kRead;
      if (item.hide_once_opened && !item.hidden && visible >= 2) {
        item.hidden = true;
        --visible;
      }
    }
  }
  if (!db) return true;
  NewsItem record;
  record.number = static_cast<uint32_t>(id);
  if (db->ReadItem(&record) == 0) return true;
  if (record.check_day.empty()) {
    record.check_day.calendar = platform::LocalNow();
    db->UpdateItem(record, NewsDatabase::kCheckDayKeep);
  }
  *link = platform::Utf16ToCp932(record.link);
  return true;
}

void TickerLists::SetShownOrder(std::vector<size_t> order) {
  std::lock_guard<std::mutex> lock(mutex_);
  shown_order_.clear();
  for (size_t position : order) {
    if (position < shown_.size()) shown_order_.push_back(position);
  }
}

}  // namespace korvo
