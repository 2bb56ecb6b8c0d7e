// The news database: every stored item as one record in the block store, and four index files.
//
// Files under <working folder>/database:
//   fat, data    the block store (block_store.h), blocks of 512 bytes, 262,140 table entries
//   meta_1       {number, get_day packed} for every record
//   meta_2       {number, check_day packed} for every record read (the reading history)
//   meta_3       {number, link hash} for every record
//   meta_4       {number, 0}: the unread ("read later") list: records the user put back to
//                unread or on the read-later list, and items imported from a local feed file
//   check        present while an update run writes; empty after a crash (rebuild at next open),
//                "EndSession" after a system shut-down
//   sequence     8-byte little-endian change counter of the allocation table, so a process that
//                takes the lock knows whether another process changed the table since
//
// Every operation runs under the database lock (database_guard.h); the object is not
// thread-safe by itself. Record arguments are NewsItem; dates go in and out in both forms.
#ifndef KORVO_STORE_NEWS_DATABASE_H_
#define KORVO_STORE_NEWS_DATABASE_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "store/block_store.h"
#include "store/item_query.h"
#include "store/meta_index.h"
#include "store/news_item.h"
#include "store/progress.h"
#include "store/store_files.h"

namespace korvo {

class NewsDatabase {
 public:
  static constexpr uint32_t kBlockSize = 512;
  static constexpr uint32_t kEntryCount = 262140;

  // Index files.
  static constexpr int kDayIndex = 1;      // meta_1
  static constexpr int kHistoryIndex = 2;  // meta_2
  static constexpr int kHashIndex = 3;     // meta_3
  static constexpr int kUnreadIndex = 4;   // meta_4

  // UpdateItem mask bits (applied in the order listed; later ones win for the same date).
  enum UpdateMask : uint32_t {
    kTakeLinkHash = 0x2,
    kTakeLink = 0x4,   // also recomputes the link hash
    kTakeTitle = 0x8,  // also recomputes the link hash
    kTakeRss = 0x10,
    kTakeComment = 0x100,
    kTakeFlags = 0x200,
    kTakeDescription = 0x1000,
    kTakeSubelement = 0x2000,
    kTakeTrackback = 0x4000,
    // Stored date empty: pack the item's calendar time; else take the item's packed value.
    kGetDayKeep = 0x20,
    kLastSeenKeep = 0x40,
    kCheckDayKeep = 0x80,
    kCreateDayKeep = 0x400,
    // Pack the item's calendar time.
    kCreateDayCalendar = 0x40000,
    kGetDayCalendar = 0x8000,
    kLastSeenCalendar = 0x10000,
    kCheckDayCalendar = 0x20000,
    // Take the item's packed value.
    kCreateDayPacked = 0x400000,
    kGetDayPacked = 0x80000,
    kLastSeenPacked = 0x100000,
    kCheckDayPacked = 0x200000,
  };

  NewsDatabase() = default;
  ~NewsDatabase() { Close(); }
  NewsDatabase(const NewsDatabase&) = delete;
  NewsDatabase& operator=(const NewsDatabase&) = delete;

  // Opens the store in `<folder>/database` (the folder is created when missing). The indexes
  // are rebuilt, with a display from `progress` when it is not null, when the interrupted-update
  // marker is there and empty, and when this open finds damage: a table file cut short, a data
  // file that ends before the blocks the table uses, or indexes that disagree with the table (an
  // entry that names no record head, meta_1 or meta_3 not listing every record exactly once, a
  // link hash with its top bit set). The marker is then deleted (kept, empty, when the rebuild
  // could not write the indexes). A store whose table file can only be read opens read-only: see
  // read_only(). False when the allocation table cannot be opened. Every file is reached through
  // `files`, which must outlive the open state. `entry_count` is the table's size: kEntryCount for
  // the real store, smaller in tests that fill a store.
  bool Open(const std::string& folder, ProgressProvider* progress = nullptr,
            StoreFiles& files = StoreFiles::System(), uint32_t entry_count = kEntryCount);
  // Ends any batch, saves the allocation table and closes every file.
  void Close();
  bool is_open() const { return blocks_.is_open(); }
  const std::string& folder() const { return folder_; }

  // Stores `item` as a new record: packs its four calendar dates, sets its link hash and number.
  // Returns the number, or 0 when it does not fit even after compaction, cannot be written, or
  // its index entries cannot be written (the record is then taken back and the store marked for
  // rebuild, so no record is ever stored without being found by the next run).
  // `*compacted` (may be null) tells whether the older half of the store was dropped on the way.
  uint32_t AddItem(NewsItem* item, bool* compacted);
  // Reads the record named by item->number into `*item`. Returns the stored length, or 0 when
  // the number is not the head of a sound record (and `*item` is unchanged). A record head that
  // does not read is damage: the store is marked for rebuild.
  uint32_t ReadItem(NewsItem* item);
  // Rewrites the record item.number with the fields `mask` selects. Non-zero on success; 0 when
  // the record cannot be read or the new form does not fit even after compaction (the old
  // record then stays as it was, unless compaction dropped it).
  int UpdateItem(const NewsItem& item, uint32_t mask);
  // Deletes the record item.number: 0 when done (also for number 0), 1 when the number is not a
  // record that can be freed.
  int DeleteItem(const NewsItem& item);
  // Puts the record item.number on the unread list and makes it unread: 0 when done; 1 for the
  // numbers 0, 0xFFFFFFFE and 0xFFFFFFFF, a number already listed, or a record that cannot be
  // read or rewritten. This is also the ticker's read-later operation.
  int MarkUnread(const NewsItem& item);
  // The read-later operation for a bare record number; the same results as MarkUnread.
  int ReadLater(uint32_t number);
  // The records of the unread list that still read, in list order.
  std::vector<NewsItem> ReadLaterItems();

  // The entries of index k (1-4).
  std::vector<IndexEntry> ReadIndex(int k);
  // Records listed in index k (0 is taken as 1) whose value falls on `day` (same year, month
  // and day) and that satisfy `query`, in index order.
  std::vector<NewsItem> QueryDay(int k, const platform::CalendarTime& day, const ItemQuery& query);
  // True when `number` names a record head that reads and whose link is `link`.
  bool VerifyLink(uint32_t number, std::u16string_view link);
  // Empties the four indexes and frees every block.
  void ClearAll();

  int BeginBatch(int mode) { return blocks_.BeginBatch(mode); }
  void EndBatch() { blocks_.EndBatch(); }
  bool SaveTable() { return blocks_.SaveTable(); }

  // The interrupted-update marker, driven by the update cycle and the main window. Once the
  // store is marked for rebuild, EndUpdateRun leaves the marker (empty) and MarkShutdown does
  // not write "EndSession" into it.
  void BeginUpdateRun();
  void EndUpdateRun();
  void MarkShutdown();
  bool update_run() const { return update_run_; }

  // Leaves the interrupted-update marker empty, so the next open rebuilds the indexes from the
  // records. Called on every index write that fails and on every record head that does not read;
  // the update run reports it.
  void MarkForRebuild();
  // True once this open found damage it could not mend or marked the store for rebuild.
  bool needs_rebuild() const { return rebuild_wanted_; }
  // True when the store could only be opened for reading (its files are read-only): everything
  // in it reads, and every change (AddItem, UpdateItem, DeleteItem, MarkUnread, ClearAll,
  // Compact, RebuildIndexes, the update-run marker) fails without touching a file.
  bool read_only() const { return read_only_; }

  // Drops the older half of the records (by position in meta_1), then rebuilds the indexes.
  void Compact();
  // Rebuilds the indexes from the allocation table: every record head that reads is indexed as
  // added, meta_1 is sorted by received date, and every block that belongs to no readable record
  // is freed. The unread list keeps the numbers that still name readable records. False when an
  // index file could not be written (or the store is read-only).
  bool RebuildIndexes(Progress* progress);

  // Called by the lock holder right after taking the database lock: reloads the allocation
  // table when another process changed it since this one last held the lock.
  void SyncFromDisk();

  BlockStore& blocks() { return blocks_; }
  MetaIndex& index() { return index_; }
  std::string DatabasePath(const char* name) const;

 private:
  uint32_t StoreRecord(const NewsItem& item, uint32_t number);
  // Index maintenance; false when an index file could not be written.
  bool IndexAdded(const NewsItem& item);
  bool IndexDeleted(uint32_t number);
  bool IndexUpdated(const NewsItem& item, uint32_t mask);
  // The checks of Open: true when the indexes name record heads only, and meta_1 and meta_3
  // every record exactly once.
  bool IndexesAgreeWithTable();
  uint64_t ReadSequence();
  void BumpSequence();
  size_t FreeOlderHalf();

  std::string folder_;
  BlockStore blocks_;
  MetaIndex index_;
  StoreFiles* files_ = &StoreFiles::System();
  std::unique_ptr<StoreFile> sequence_file_;
  uint64_t seen_sequence_ = 0;
  bool bumped_ = false;  // the sequence already tells of this lock holder's changes
  bool update_run_ = false;
  bool read_only_ = false;
  bool rebuild_marked_ = false;  // the marker is empty and stays so until the next open
  bool rebuild_wanted_ = false;  // damage seen (marked, or not markable: read-only)
  bool rebuilding_ = false;      // RebuildIndexes reads every head; failures there are expected
  std::vector<unsigned char> buffer_;  // record bytes, reused across operations
};

}  // namespace korvo

#endif  // KORVO_STORE_NEWS_DATABASE_H_
