#include "ticker/ticker_lists.h"

#include <utility>

#include "platform/clock.h"
#include "platform/code_page.h"
#include "store/database_guard.h"
#include "ticker/item_opening.h"
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
  // An empty list would leave the engine nothing to step through.
  if (items.empty()) items.push_back(PlaceholderTickerItem());
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
  order_.Rewind(shown_, nullptr);
  on_display_ = TickerSnapshot::kNone;
  ++generation_;
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
    if (order_.positions().empty()) {
      for (const TickerItem& item : shown_) add(item);
    } else {
      for (size_t position : order_.positions()) add(shown_[position]);
    }
  }
  return WriteTickerDump(dump_path, numbers);
}

void TickerLists::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  shown_.clear();
  order_.Clear();
  on_display_ = TickerSnapshot::kNone;
  ++generation_;
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
  *link = OpenItemById(*this, working_folder_, id, platform::LocalNow());
  return true;
}

void TickerLists::SetShownOrder(std::vector<size_t> order) {
  std::lock_guard<std::mutex> lock(mutex_);
  order_.Assign(order, shown_.size());
}

TickerSnapshot TickerLists::Snapshot() const {
  std::lock_guard<std::mutex> lock(mutex_);
  TickerSnapshot snapshot;
  snapshot.items = shown_;
  snapshot.order = order_.positions();
  snapshot.on_display = on_display_;
  snapshot.generation = generation_;
  return snapshot;
}

bool TickerLists::OnDisplay(TickerItem* item) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (on_display_ >= shown_.size()) return false;
  *item = shown_[on_display_];
  return true;
}

bool TickerLists::MarkOpenedLocked(size_t index) {
  if (index >= shown_.size()) return false;
  TickerItem& item = shown_[index];
  item.state |= TickerItem::kRead;
  if (item.hide_once_opened && !item.hidden) {
    size_t visible = 0;
    for (const TickerItem& other : shown_) visible += other.hidden ? 0 : 1;
    if (visible >= 2) item.hidden = true;
  }
  return true;
}

bool TickerLists::MarkOpenedById(int32_t id) {
  std::lock_guard<std::mutex> lock(mutex_);
  bool found = false;
  for (size_t i = 0; i < shown_.size(); ++i) {
    if (shown_[i].id != id) continue;
    MarkOpenedLocked(i);
    found = true;
  }
  return found;
}

bool TickerLists::MarkOpened(const TickerItemRef& ref) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (ref.generation != generation_) return false;
  return MarkOpenedLocked(ref.index);
}

void TickerLists::Rewind(TickerRandom* random) {
  std::lock_guard<std::mutex> lock(mutex_);
  order_.Rewind(shown_, random);
}

TickerPlace TickerLists::CurrentPlace() const {
  std::lock_guard<std::mutex> lock(mutex_);
  TickerPlace place;
  const size_t index = order_.current();
  if (index >= shown_.size()) return place;
  place.valid = true;
  place.link = shown_[index].link;
  place.site_link = shown_[index].site_link;
  place.position = order_.cursor();
  return place;
}

void TickerLists::PlaceAfterReload(const TickerPlace& place, TickerRandom* random) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!place.valid || place.link.empty() || random != nullptr) {
    order_.Rewind(shown_, random);
    return;
  }
  const size_t count = shown_.size();
  auto walk_to = [&](auto matches) {
    order_.Rewind(shown_, nullptr);
    for (size_t i = 0; i < count; ++i) {
      if (matches(shown_[order_.current()])) return true;
      order_.StepForward(shown_);
    }
    return false;
  };
  if (walk_to([&](const TickerItem& item) { return item.link == place.link; })) {
    order_.StepForward(shown_);
    return;
  }
  if (walk_to([&](const TickerItem& item) { return item.site_link == place.site_link; })) return;
  order_.Rewind(shown_, nullptr);
  for (size_t i = 0; i < place.position && count > 0; ++i) order_.StepForward(shown_);
}

bool TickerLists::Select(TickerMove move, TickerRandom* random, TickerItem* item,
                         TickerItemRef* ref) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (shown_.empty()) {
    on_display_ = TickerSnapshot::kNone;
    return false;
  }
  if (order_.positions().size() != shown_.size()) order_.Rewind(shown_, nullptr);
  switch (move) {
    case TickerMove::kCurrent:
      break;
    case TickerMove::kNext:
      order_.StepForward(shown_);
      break;
    case TickerMove::kPrevious:
      order_.StepBack(shown_);
      break;
    case TickerMove::kNextSite:
      order_.StepToNextSite(shown_);
      break;
    case TickerMove::kPreviousSite:
      order_.StepToPreviousSite(shown_);
      break;
  }
  if (order_.wrapped() && random != nullptr) {
    order_.Rewind(shown_, random);  // leaves the cursor on the new order's first visible item
  }
  order_.ClearWrapped();
  on_display_ = order_.current();
  *item = shown_[on_display_];
  if (ref != nullptr) *ref = {on_display_, generation_};
  return true;
}

bool TickerLists::Current(TickerItem* item, TickerItemRef* ref) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const size_t index = order_.current();
  if (index >= shown_.size()) return false;
  *item = shown_[index];
  if (ref != nullptr) *ref = {index, generation_};
  return true;
}

}  // namespace korvo
