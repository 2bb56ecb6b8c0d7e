#include "store/news_database.h"

#include <algorithm>
#include <memory>

#include "platform/code_page.h"
#include "store/link_hash.h"
#include "store/little_endian.h"

namespace korvo {

using Mode = StoreFiles::Mode;

namespace {

constexpr char kShutdownText[] = "EndSession";

// Mask bits that change a date, per date: the keep rule, the calendar rule and the packed rule.
constexpr uint32_t kGetDayBits =
    NewsDatabase::kGetDayKeep | NewsDatabase::kGetDayCalendar | NewsDatabase::kGetDayPacked;
constexpr uint32_t kCheckDayBits =
    NewsDatabase::kCheckDayKeep | NewsDatabase::kCheckDayCalendar | NewsDatabase::kCheckDayPacked;

// The keep rule: a stored date that is set takes the item's packed value; an empty one takes the
// item's calendar time.
void KeepRule(PackedDate* stored, const PackedDate& given) {
  stored->packed = stored->empty() ? PackedDate::Pack(given.calendar) : given.packed;
}

uint32_t BlocksFor(size_t length) {
  const size_t blocks = (length + NewsDatabase::kBlockSize - 1) / NewsDatabase::kBlockSize;
  return blocks > BlockStore::kEndMark ? BlockStore::kEndMark : static_cast<uint32_t>(blocks);
}

}  // namespace

std::string NewsDatabase::DatabasePath(const char* name) const {
  return folder_ + "/database/" + name;
}

bool NewsDatabase::Open(const std::string& folder, ProgressProvider* progress, StoreFiles& files,
                        uint32_t entry_count) {
  Close();
  folder_ = folder.empty() ? std::string(".") : folder;
  files_ = &files;
  files_->MakeDirectory(folder_ + "/database");
  if (!blocks_.Open(DatabasePath("fat"), DatabasePath("data"), kBlockSize, entry_count, *files_)) {
    return false;
  }
  read_only_ = !blocks_.writable();
  rebuild_marked_ = false;
  rebuild_wanted_ = false;
  index_.SetBase(DatabasePath("meta"), *files_);
  sequence_file_ =
      files_->Open(DatabasePath("sequence"), read_only_ ? Mode::kRead : Mode::kCreateOrOpen);
  blocks_.SetChangeHook([this] {
    if (!bumped_) BumpSequence();
  });
  // Whatever this open found (a table rewritten after damage, say), other processes reload.
  if (!read_only_) BumpSequence();
  update_run_ = false;

  // An update run cut off (an empty marker) may have left the indexes missing records or naming
  // lost ones; damage found now (a table cut short, a data file that ends before the blocks the
  // table uses, indexes that disagree with the table) calls for the same rebuild.
  const std::string check = DatabasePath("check");
  bool marker = false;
  bool rebuild = false;
  if (std::unique_ptr<StoreFile> file = files_->Open(check, Mode::kRead)) {
    marker = true;
    char head[3] = {0, 0, 0};
    const int64_t got = file->ReadAt(0, head, sizeof head);
    rebuild = got <= 0 || head[0] == '\0';
  }
  if (!rebuild) {
    rebuild = blocks_.table_damaged() || !blocks_.DataCoversTable() || !IndexesAgreeWithTable();
  }
  if (read_only_) {
    // Nothing can be mended here; what is there is listed as it is.
    rebuild_wanted_ = rebuild;
    return true;
  }
  bool rebuilt = true;
  if (rebuild) {
    std::unique_ptr<Progress> display;
    if (progress != nullptr) {
      display = progress->Start(platform::Utf8ToCp932(u8"KorvoNewsReader メタデータを再構築中..."));
    }
    rebuilt = RebuildIndexes(display.get());
    if (display) display->Close();
  }
  if (!rebuilt) {
    MarkForRebuild();  // the next open tries again
  } else if (marker) {
    files_->Remove(check);
  }
  return true;
}

bool NewsDatabase::IndexesAgreeWithTable() {
  const uint32_t entries = blocks_.EntryCount();
  size_t heads = 0;
  for (uint32_t n = 1; n < entries; ++n) {
    if (blocks_.IsHead(n)) ++heads;
  }
  // meta_1 and meta_3 list every record once; meta_2 and meta_4 list records only.
  for (int k = kDayIndex; k <= kUnreadIndex; ++k) {
    const std::vector<IndexEntry> index = index_.ReadAll(k);
    const bool every_record = k == kDayIndex || k == kHashIndex;
    if (every_record && index.size() != heads) return false;
    std::vector<bool> seen(entries, false);
    for (const IndexEntry& e : index) {
      if (!blocks_.IsHead(e.number)) return false;
      if (every_record && seen[e.number]) return false;
      seen[e.number] = true;
      // A link hash never has its top bit set.
      if (k == kHashIndex && (e.value & 0x80000000u) != 0) return false;
    }
  }
  return true;
}

void NewsDatabase::MarkForRebuild() {
  rebuild_wanted_ = true;
  if (read_only_ || rebuild_marked_ || !is_open()) return;
  // An empty marker makes the next open rebuild the indexes from the records.
  rebuild_marked_ = files_->Open(DatabasePath("check"), Mode::kTruncate) != nullptr;
}

void NewsDatabase::Close() {
  if (!blocks_.is_open()) return;
  blocks_.Close();
  blocks_.SetChangeHook(nullptr);
  index_.Close();
  sequence_file_.reset();
}

uint64_t NewsDatabase::ReadSequence() {
  unsigned char bytes[8];
  if (!sequence_file_ || sequence_file_->ReadAt(0, bytes, sizeof bytes) != 8) return 0;
  return store_bytes::GetWord(bytes) | uint64_t{store_bytes::GetWord(bytes + 4)} << 32;
}

void NewsDatabase::BumpSequence() {
  seen_sequence_ = ReadSequence() + 1;
  unsigned char bytes[8];
  store_bytes::PutWord(bytes, static_cast<uint32_t>(seen_sequence_));
  store_bytes::PutWord(bytes + 4, static_cast<uint32_t>(seen_sequence_ >> 32));
  if (sequence_file_) sequence_file_->WriteAt(0, bytes, sizeof bytes);
  bumped_ = true;
}

void NewsDatabase::SyncFromDisk() {
  if (!is_open()) return;
  const uint64_t sequence = ReadSequence();
  if (sequence != seen_sequence_) {
    blocks_.ReloadTable();
    seen_sequence_ = sequence;
  }
  bumped_ = false;
}

uint32_t NewsDatabase::AddItem(NewsItem* item, bool* compacted) {
  if (compacted != nullptr) *compacted = false;
  if (item == nullptr || !is_open() || read_only_) return 0;
  for (PackedDate* d : {&item->get_day, &item->last_seen, &item->check_day, &item->create_day}) {
    d->packed = PackedDate::Pack(d->calendar);
  }
  item->link_hash = LinkHash(item->link);
  item->reserved = 0;
  const size_t length = StoredLength(*item);
  const uint32_t blocks = BlocksFor(length);
  // A record larger than the whole store is refused before anything is dropped for it.
  if (blocks > blocks_.EntryCount() - 1) return 0;
  uint32_t head = blocks_.Write(nullptr, blocks, 0);
  if (head == BlockStore::kFull) {
    if (compacted != nullptr) *compacted = true;
    Compact();
    head = blocks_.Write(nullptr, blocks, 0);
  }
  if (head == BlockStore::kFull || head == BlockStore::kInvalid) return 0;
  item->number = head;
  BuildStoredForm(*item, kBlockSize, &buffer_);
  if (blocks_.Write(buffer_.data(), blocks, 0) != head) {
    item->number = 0;
    return 0;
  }
  if (!IndexAdded(*item)) {
    // A record the indexes do not fully list would be stored again by the next run: it is taken
    // back, and the next open rebuilds the indexes in case taking it back was not complete.
    blocks_.Free(head);
    IndexDeleted(head);
    MarkForRebuild();
    item->number = 0;
    return 0;
  }
  return head;
}

uint32_t NewsDatabase::ReadItem(NewsItem* item) {
  if (item == nullptr || !is_open()) return 0;
  const uint32_t number = item->number;
  if (!blocks_.IsHead(number)) return 0;
  const uint32_t count = blocks_.CountBlocks(number);
  if (count == 0) {
    if (!rebuilding_) MarkForRebuild();  // a head whose chain is broken
    return 0;
  }
  buffer_.resize(static_cast<size_t>(count) * kBlockSize);
  // The first word repeats the head number; anything else is not this record's data. A head
  // that does not read is damage (a cut or overwritten data file): the next open's rebuild
  // frees its blocks and drops its index entries.
  NewsItem parsed;
  size_t length = 0;
  if (blocks_.Read(buffer_.data(), count, number) == count) {
    length = ParseStoredForm(buffer_.data(), buffer_.size(), &parsed);
  }
  if (length == 0 || parsed.number != number) {
    if (!rebuilding_) MarkForRebuild();
    return 0;
  }
  *item = std::move(parsed);
  return static_cast<uint32_t>(length);
}

int NewsDatabase::UpdateItem(const NewsItem& item, uint32_t mask) {
  if (read_only_) return 0;
  NewsItem work;
  work.number = item.number;
  if (ReadItem(&work) == 0) return 0;

  if (mask & kTakeLinkHash) work.link_hash = item.link_hash;
  if (mask & kTakeLink) work.link = item.link;
  if (mask & kTakeTitle) work.title = item.title;
  if (mask & kTakeRss) work.rss = item.rss;
  if (mask & kTakeComment) work.comment = item.comment;
  if (mask & kTakeFlags) work.flags = item.flags;
  if (mask & kTakeDescription) work.description = item.description;
  if (mask & kTakeSubelement) work.subelement = item.subelement;
  if (mask & kTakeTrackback) work.trackback = item.trackback;
  if (mask & kGetDayKeep) KeepRule(&work.get_day, item.get_day);
  if (mask & kLastSeenKeep) KeepRule(&work.last_seen, item.last_seen);
  if (mask & kCheckDayKeep) KeepRule(&work.check_day, item.check_day);
  if (mask & kCreateDayKeep) KeepRule(&work.create_day, item.create_day);
  if (mask & kCreateDayCalendar)
    work.create_day.packed = PackedDate::Pack(item.create_day.calendar);
  if (mask & kGetDayCalendar) work.get_day.packed = PackedDate::Pack(item.get_day.calendar);
  if (mask & kLastSeenCalendar) work.last_seen.packed = PackedDate::Pack(item.last_seen.calendar);
  if (mask & kCheckDayCalendar) work.check_day.packed = PackedDate::Pack(item.check_day.calendar);
  if (mask & kCreateDayPacked) work.create_day.packed = item.create_day.packed;
  if (mask & kGetDayPacked) work.get_day.packed = item.get_day.packed;
  if (mask & kLastSeenPacked) work.last_seen.packed = item.last_seen.packed;
  if (mask & kCheckDayPacked) work.check_day.packed = item.check_day.packed;
  if (mask & (kTakeLink | kTakeTitle)) work.link_hash = LinkHash(work.link);
  for (PackedDate* d : {&work.get_day, &work.last_seen, &work.check_day, &work.create_day}) {
    *d = PackedDate::FromPacked(d->packed);
  }

  const uint32_t number = work.number;
  const uint32_t blocks = BlocksFor(BuildStoredForm(work, kBlockSize, &buffer_));
  if (blocks > blocks_.EntryCount() - 1) return 0;
  uint32_t result = blocks_.Replace(buffer_.data(), blocks, number);
  if (result == BlockStore::kFull) {
    Compact();
    BuildStoredForm(work, kBlockSize, &buffer_);  // the rebuild reused the buffer
    if (blocks_.IsHead(number)) {
      result = blocks_.Replace(buffer_.data(), blocks, number);
    } else {
      // Compaction dropped the record itself: it is written back whole, as a record of its own.
      result = blocks_.Write(buffer_.data(), blocks, number);
      if (result != number) return 0;
      if (!IndexAdded(work)) MarkForRebuild();
      return 1;
    }
  }
  if (result != number) return 0;
  if (!IndexUpdated(work, mask)) MarkForRebuild();
  return 1;
}

int NewsDatabase::DeleteItem(const NewsItem& item) {
  const uint32_t number = item.number;
  if (number == 0) return 0;
  if (read_only_) return 1;
  // Only a record head is freed: freeing from a middle block would cut another record.
  if (!blocks_.IsHead(number) || blocks_.Free(number) != 0) return 1;
  if (!IndexDeleted(number)) MarkForRebuild();
  return 0;
}

int NewsDatabase::MarkUnread(const NewsItem& item) {
  const uint32_t number = item.number;
  if (number == 0 || number == 0xFFFFFFFEu || number == 0xFFFFFFFFu || read_only_) return 1;
  if (index_.Find(kUnreadIndex, number, nullptr)) return 1;
  NewsItem record;
  record.number = number;
  if (ReadItem(&record) == 0) return 1;
  if (!record.check_day.empty()) {
    record.check_day.Clear();
    if (UpdateItem(record, kCheckDayKeep) == 0) return 1;
  }
  if (index_.Append(kUnreadIndex, number, 0) != 0) {
    MarkForRebuild();
    return 1;
  }
  return 0;
}

int NewsDatabase::ReadLater(uint32_t number) {
  NewsItem item;
  item.number = number;
  return MarkUnread(item);
}

std::vector<NewsItem> NewsDatabase::ReadLaterItems() {
  std::vector<NewsItem> items;
  for (const IndexEntry& e : index_.ReadAll(kUnreadIndex)) {
    NewsItem item;
    item.number = e.number;
    if (ReadItem(&item) != 0) items.push_back(std::move(item));
  }
  return items;
}

std::vector<IndexEntry> NewsDatabase::ReadIndex(int k) { return index_.ReadAll(k); }

std::vector<NewsItem> NewsDatabase::QueryDay(int k, const platform::CalendarTime& day,
                                             const ItemQuery& query) {
  std::vector<NewsItem> result;
  if (k == 0) k = kDayIndex;
  if (k < kDayIndex || k > kUnreadIndex) return result;
  const uint32_t key = PackedDate::Pack(day);
  for (const IndexEntry& e : index_.ReadAll(k)) {
    if (!PackedDate::SameDay(e.value, key)) continue;
    NewsItem item;
    item.number = e.number;
    if (ReadItem(&item) != 0 && query.Matches(item)) result.push_back(std::move(item));
  }
  return result;
}

bool NewsDatabase::VerifyLink(uint32_t number, std::u16string_view link) {
  if (!blocks_.IsHead(number)) return false;
  NewsItem item;
  item.number = number;
  return ReadItem(&item) != 0 && item.link == link;
}

void NewsDatabase::ClearAll() {
  if (read_only_) return;
  for (int k = kDayIndex; k <= kUnreadIndex; ++k) index_.Truncate(k);
  blocks_.Free(BlockStore::kFreeAll);
}

bool NewsDatabase::IndexAdded(const NewsItem& item) {
  bool ok = index_.Append(kDayIndex, item.number, item.get_day.packed) == 0;
  ok = index_.Append(kHashIndex, item.number, item.link_hash) == 0 && ok;
  if (!item.check_day.empty()) {
    ok = index_.Append(kHistoryIndex, item.number, item.check_day.packed) == 0 && ok;
  }
  // A reused number may still be listed as unread.
  return index_.Remove(kUnreadIndex, item.number) != MetaIndex::kWriteFailed && ok;
}

bool NewsDatabase::IndexDeleted(uint32_t number) {
  bool ok = true;
  for (int k = kDayIndex; k <= kUnreadIndex; ++k) {
    ok = index_.Remove(k, number) != MetaIndex::kWriteFailed && ok;
  }
  return ok;
}

bool NewsDatabase::IndexUpdated(const NewsItem& item, uint32_t mask) {
  bool ok = true;
  // Every bit that can change a date keeps its index current, not only the keep-rule bits.
  if (mask & kCheckDayBits) {
    if (!item.check_day.empty()) {
      const int updated = index_.Update(kHistoryIndex, item.number, item.check_day.packed);
      if (updated == MetaIndex::kWriteFailed) {
        ok = false;
      } else if (updated != 0) {
        ok = index_.Append(kHistoryIndex, item.number, item.check_day.packed) == 0;
        ok = index_.Remove(kUnreadIndex, item.number) != MetaIndex::kWriteFailed && ok;
      }
    } else {
      ok = index_.Remove(kHistoryIndex, item.number) != MetaIndex::kWriteFailed;
    }
  }
  if (mask & kGetDayBits) {
    ok =
        index_.Update(kDayIndex, item.number, item.get_day.packed) != MetaIndex::kWriteFailed && ok;
  }
  return ok;
}

void NewsDatabase::BeginUpdateRun() {
  if (update_run_ || !is_open() || read_only_) return;
  update_run_ = files_->Open(DatabasePath("check"), Mode::kTruncate) != nullptr;
}

void NewsDatabase::EndUpdateRun() {
  if (!update_run_) return;
  if (rebuild_marked_) {
    update_run_ = false;  // the marker stays, empty: the next open rebuilds
    return;
  }
  const std::string check = DatabasePath("check");
  if (files_->Remove(check) || !files_->Exists(check)) update_run_ = false;
}

void NewsDatabase::MarkShutdown() {
  if (!update_run_ || rebuild_marked_) return;
  if (std::unique_ptr<StoreFile> marker = files_->Open(DatabasePath("check"), Mode::kReadWrite)) {
    marker->WriteAt(0, kShutdownText, sizeof kShutdownText - 1);
  }
}

size_t NewsDatabase::FreeOlderHalf() {
  const std::vector<IndexEntry> entries = index_.ReadAll(kDayIndex);
  size_t freed = 0;
  for (size_t i = 0; i < entries.size() / 2; ++i) {
    // Stale entries (numbers that are no record head) free nothing.
    if (blocks_.IsHead(entries[i].number) && blocks_.Free(entries[i].number) == 0) ++freed;
  }
  return freed;
}

void NewsDatabase::Compact() {
  if (!is_open() || read_only_) return;
  if (FreeOlderHalf() == 0) {
    // meta_1 named nothing to drop (lost or stale): rebuild it from the table and try again.
    RebuildIndexes(nullptr);
    FreeOlderHalf();
  }
  const bool batch = blocks_.batch_open();
  if (batch) blocks_.EndBatch();
  if (!RebuildIndexes(nullptr)) MarkForRebuild();
  blocks_.SaveTable();
  if (batch) blocks_.BeginBatch(BlockStore::kBatchReadWrite);
}

bool NewsDatabase::RebuildIndexes(Progress* progress) {
  if (!is_open() || read_only_) return false;
  rebuilding_ = true;
  const std::vector<IndexEntry> unread_before = index_.ReadAll(kUnreadIndex);
  for (int k = kDayIndex; k <= kUnreadIndex; ++k) index_.Truncate(k);
  const uint32_t entries = blocks_.EntryCount();
  if (progress != nullptr) progress->SetRange(entries);

  std::vector<bool> owned(entries, false);  // blocks of the records kept
  std::vector<IndexEntry> days, history, hashes;
  for (uint32_t n = 1; n < entries; ++n) {
    if (blocks_.IsHead(n)) {
      const std::vector<uint32_t> chain = blocks_.ChainBlocks(n);
      // A chain that runs into blocks of a record already kept is damaged.
      bool sound = !chain.empty();
      for (uint32_t b : chain) sound = sound && !owned[b];
      NewsItem item;
      item.number = n;
      if (sound && ReadItem(&item) != 0) {
        for (uint32_t b : chain) owned[b] = true;
        days.push_back({n, item.get_day.packed});
        hashes.push_back({n, item.link_hash});
        if (!item.check_day.empty()) history.push_back({n, item.check_day.packed});
      }
    }
    if (progress != nullptr) progress->Step();
  }
  rebuilding_ = false;
  // Unreadable records, and blocks left behind by an interrupted write or free, go back to free.
  blocks_.FreeAllExcept(owned);

  MetaIndex::SortEntriesByValue(&days);
  bool ok = index_.WriteAll(kDayIndex, days) == 0;
  ok = index_.WriteAll(kHistoryIndex, history) == 0 && ok;
  ok = index_.WriteAll(kHashIndex, hashes) == 0 && ok;
  // The user's unread (read-later) list survives for the records that are still there.
  std::vector<IndexEntry> unread;
  for (const IndexEntry& e : unread_before) {
    if (!blocks_.IsHead(e.number) || !owned[e.number]) continue;
    if (std::any_of(unread.begin(), unread.end(),
                    [&](const IndexEntry& u) { return u.number == e.number; })) {
      continue;
    }
    unread.push_back({e.number, 0});
  }
  return index_.WriteAll(kUnreadIndex, unread) == 0 && ok;
}

}  // namespace korvo
