#include "plugin_host/item_snapshot.h"

#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>

namespace korvo {

namespace {

// One list handed out: the copied items own every text the records point into.
struct Snapshot {
  std::vector<TickerItem> items;
  std::vector<PluginItem> records;
  std::vector<PluginItemEx> records_ex;
  std::vector<std::vector<PluginEnclosure>> further;
};

struct Registry {
  std::mutex mutex;
  std::shared_ptr<ShownItemSource> source;
  std::unordered_map<const void*, std::unique_ptr<Snapshot>> out;  // by first record
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

const char* Text(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

template <typename Record>
void FillCommon(const TickerItem& item, Record* r) {
  r->title = Text(item.title);
  r->link = Text(item.link);
  r->site_name = Text(item.site_name);
  r->site_link = Text(item.site_link);
  r->description = Text(item.description);
  r->date = Text(item.created);
  r->subject = Text(item.category);
  r->author = Text(item.author);
  r->reserved_text = nullptr;
  r->enclosure_url = Text(item.enclosure_url);
  r->enclosure_size = Text(item.enclosure_size);
  r->enclosure_type = Text(item.enclosure_type);
  r->state = item.state;
  r->id = item.names_record() ? item.id : -1;
  r->hide_once_opened = item.hide_once_opened ? 1 : 0;
  r->reserved = 0;
  r->dropped = item.hidden ? 1 : 0;
  r->next = nullptr;
}

void BuildRecords(Snapshot* s) {
  s->records.resize(s->items.size());
  for (size_t i = 0; i < s->items.size(); ++i) {
    FillCommon(s->items[i], &s->records[i]);
    if (i > 0) s->records[i - 1].next = &s->records[i];
  }
}

void BuildRecordsEx(Snapshot* s) {
  s->records_ex.resize(s->items.size());
  s->further.resize(s->items.size());
  for (size_t i = 0; i < s->items.size(); ++i) {
    PluginItemEx& r = s->records_ex[i];
    r.size = sizeof(PluginItemEx);
    FillCommon(s->items[i], &r);
    std::vector<PluginEnclosure>& further = s->further[i];
    for (const MediaRef& media : s->items[i].media) {
      further.push_back(PluginEnclosure{media.url.c_str(), media.size.c_str(), media.type.c_str()});
    }
    r.further = further.empty() ? nullptr : further.data();
    r.further_count = static_cast<uint32_t>(further.size());
    if (i > 0) s->records_ex[i - 1].next = &r;
  }
}

std::shared_ptr<ShownItemSource> CurrentSource() {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  return registry.source;
}

// Keeps `snapshot` until its first record is given back; returns that record.
template <typename Record>
Record* HandOut(std::unique_ptr<Snapshot> snapshot, Record* first) {
  if (first == nullptr) return nullptr;
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  registry.out.emplace(first, std::move(snapshot));
  return first;
}

// Frees the list whose first record is `first`; false when it was not handed out here.
bool GiveBack(const void* first) {
  std::unique_ptr<Snapshot> freed;
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  auto it = registry.out.find(first);
  if (it == registry.out.end()) return false;
  freed = std::move(it->second);
  registry.out.erase(it);
  return true;
}

std::unique_ptr<Snapshot> TakeList() {
  std::shared_ptr<ShownItemSource> source = CurrentSource();
  if (!source) return nullptr;
  auto snapshot = std::make_unique<Snapshot>();
  snapshot->items = source->ShownItems();
  if (snapshot->items.empty()) return nullptr;
  return snapshot;
}

std::unique_ptr<Snapshot> TakeCurrent() {
  std::shared_ptr<ShownItemSource> source = CurrentSource();
  if (!source) return nullptr;
  auto snapshot = std::make_unique<Snapshot>();
  snapshot->items.resize(1);
  if (!source->CurrentItem(&snapshot->items[0])) return nullptr;
  return snapshot;
}

PluginItem* HandOutPlain(std::unique_ptr<Snapshot> snapshot) {
  if (!snapshot) return nullptr;
  BuildRecords(snapshot.get());
  PluginItem* first = &snapshot->records[0];
  return HandOut(std::move(snapshot), first);
}

PluginItemEx* HandOutEx(std::unique_ptr<Snapshot> snapshot) {
  if (!snapshot) return nullptr;
  BuildRecordsEx(snapshot.get());
  PluginItemEx* first = &snapshot->records_ex[0];
  return HandOut(std::move(snapshot), first);
}

}  // namespace

void SetShownItemSource(std::shared_ptr<ShownItemSource> source) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  registry.source = std::move(source);
}

PluginItem* ItemListSnapshot(PluginItem* list) {
  if (list != nullptr) {
    GiveBack(list);
    return nullptr;
  }
  return HandOutPlain(TakeList());
}

PluginItem* CurrentItemSnapshot() { return HandOutPlain(TakeCurrent()); }

PluginItemEx* ItemListSnapshotEx(PluginItemEx* list) {
  if (list != nullptr) {
    GiveBack(list);
    return nullptr;
  }
  return HandOutEx(TakeList());
}

PluginItemEx* CurrentItemSnapshotEx() { return HandOutEx(TakeCurrent()); }

size_t OutstandingItemSnapshots() {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  return registry.out.size();
}

void ReleaseAllItemSnapshots() {
  std::unordered_map<const void*, std::unique_ptr<Snapshot>> freed;
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  freed.swap(registry.out);
}

}  // namespace korvo
