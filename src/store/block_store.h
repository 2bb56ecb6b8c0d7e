// The block store beneath the news database: variable-length records cut into fixed blocks of one
// data file, chained through an allocation table held in memory and mirrored in a table file.
//
// Files (little-endian, no headers):
//   data file   block n occupies bytes block_size * n .. block_size * n + block_size - 1; block 0
//               is never used; the last block may be short.
//   table file  entry_count 32-bit words; entry n describes block n:
//               0 = free; bits 0-23 = next block of the record (0xFFFFFF = last block);
//               bits 24-30 = 0; bit 31 = first block (head) of a record.
// A record is named by its head block number (1 .. entry_count - 1); 0 names no record.
//
// Every change to an entry is written to the table file at once (one 4-byte write), so the table
// file is current after each operation. Both files stay open while the store is open (the data
// file from its first use), so a run of many records costs no file opening.
//
// Damaged files never crash the store: a short table file keeps the entries it holds (the rest
// are free, and table_damaged() tells the caller to check what names the lost records); chains
// that leave the table, loop, run into a free block or into another record's head count as
// broken and read as nothing.
//
// Not thread-safe: the news database lock serialises every use (see database_guard.h).
#ifndef KORVO_STORE_BLOCK_STORE_H_
#define KORVO_STORE_BLOCK_STORE_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "store/store_files.h"

namespace korvo {

class BlockStore {
 public:
  // Results of Write and Replace besides a record number.
  static constexpr uint32_t kFull = 0xFFFFFFFFu;     // -1: not enough free blocks
  static constexpr uint32_t kInvalid = 0xFFFFFFFEu;  // -2: bad number or data file unusable
  // Free(kFreeAll) frees every block.
  static constexpr uint32_t kFreeAll = 0xFFFFFFFFu;

  static constexpr uint32_t kHeadBit = 0x80000000u;
  static constexpr uint32_t kLinkMask = 0x00FFFFFFu;
  static constexpr uint32_t kEndMark = 0x00FFFFFFu;
  static constexpr uint32_t kReservedBits = 0x7F000000u;

  // Batch modes.
  static constexpr int kBatchRead = 0;
  static constexpr int kBatchReadWrite = 1;

  BlockStore() = default;
  ~BlockStore() { Close(); }
  BlockStore(const BlockStore&) = delete;
  BlockStore& operator=(const BlockStore&) = delete;

  // Opens the store. The table file is created when missing; an empty one gives a cleared table,
  // written out; a short one keeps its whole entries, the rest are free (table_damaged()) and
  // the whole table is written out. A table file that can only be read opens the store for
  // reading (writable() false): every write then fails. The data file is opened on first use.
  // `entry_count` must lie in 2 .. 0xFFFFFF and `block_size` must not be 0. False when the
  // parameters are bad or the table file can be neither opened nor created. Both files are
  // reached through `files`, which must outlive the store's open state.
  bool Open(const std::string& table_path, const std::string& data_path, uint32_t block_size,
            uint32_t entry_count, StoreFiles& files = StoreFiles::System());
  // Ends any batch, saves the table and closes both files. Safe to call when closed.
  void Close();
  bool is_open() const { return open_; }
  // False when the table file could only be opened for reading.
  bool writable() const { return writable_; }
  // True when this open found the table file shorter than the table.
  bool table_damaged() const { return table_damaged_; }
  // False when the data file is missing or ends before the highest block the table uses (a
  // truncated file: the records there cannot be read).
  bool DataCoversTable();

  // Writes the whole table to the table file. False on a write failure.
  bool SaveTable();
  // Reads the table file again, for when another process changed it. False (and the table
  // unchanged) when the file cannot be read whole.
  bool ReloadTable();

  // Batches only mark a run of operations; the files stay open either way. Mode kBatchRead
  // forbids writes until EndBatch. Returns 0; -1 for a bad mode or a data file that cannot be
  // opened in that mode (created for kBatchReadWrite); -2 when a batch is already open.
  int BeginBatch(int mode);
  void EndBatch();
  bool batch_open() const { return batch_mode_ >= 0; }

  // Stores `block_count` whole blocks of `bytes` (block_count * BlockSize() bytes) as one record.
  // `number` 0 asks for a new record at the lowest free block; a non-zero `number` writes at that
  // head block, which must be free (the caller freed the old chain). Further blocks are taken
  // upward from the block written last, wrapping to block 1 when none is left above, so a record
  // is never cut short while the free count suffices. With `bytes` null nothing is written and
  // the head the record would get is returned. Returns the head, kFull when the free count is
  // too small, kInvalid for a bad number or block count, a read-only batch, or a failed write.
  // The data goes to the file before any table entry names it, and the head entry is set last.
  uint32_t Write(const unsigned char* bytes, uint32_t block_count, uint32_t number);

  // Replaces the record at head `number` with `block_count` blocks of `bytes`, keeping the head.
  // The old chain stays in place until the new blocks are written whenever the free blocks allow
  // it; otherwise the old chain's blocks are reused. Returns `number`; kFull (nothing changed)
  // when the record does not fit even in the old chain's blocks plus the free ones; kInvalid
  // when `number` is not the head of a sound chain or a write fails.
  uint32_t Replace(const unsigned char* bytes, uint32_t block_count, uint32_t number);

  // Reads up to `max_blocks` blocks of the record at `number` into `bytes` (room for
  // max_blocks * BlockSize() bytes; bytes past a short end of the data file are zero).
  // Returns the number of blocks read; 0 for a broken chain, a bad number or a read failure.
  uint32_t Read(unsigned char* bytes, uint32_t max_blocks, uint32_t number);
  // The length of the chain starting at `number` in blocks; 0 when it is broken.
  uint32_t CountBlocks(uint32_t number) const;
  // The blocks of the chain at `number` in order; empty when it is broken.
  std::vector<uint32_t> ChainBlocks(uint32_t number) const;

  // Frees the chain starting at `number` (table only; the data blocks keep their bytes). The walk
  // stops at the end mark, a free block, a link out of the table or another record's head.
  // kFreeAll clears the whole table. Returns 0, or -1 for 0, a number out of range or a number
  // whose block is already free.
  int Free(uint32_t number);
  // Clears every used entry whose block is not marked in `keep` (indexed by block number, size
  // EntryCount()); returns how many were cleared. Used by the index rebuild to drop blocks that
  // belong to no readable record.
  uint32_t FreeAllExcept(const std::vector<bool>& keep);

  bool IsHead(uint32_t number) const {
    return number > 0 && number < entry_count_ && (table_[number] & kHeadBit) != 0;
  }
  uint32_t BlockSize() const { return block_size_; }
  uint32_t EntryCount() const { return entry_count_; }
  // Entry `number` of the table; 0 for numbers out of range.
  uint32_t Entry(uint32_t number) const { return number < entry_count_ ? table_[number] : 0; }
  // The number of free entries among 1 .. EntryCount() - 1.
  uint32_t FreeCount() const { return free_count_; }
  // Increases with every change to the table (for callers that publish changes).
  uint64_t change_count() const { return change_count_; }
  // `hook` runs before every change to the table reaches the table file (the news database uses
  // it to tell other processes that their copy of the table is stale). Empty: none.
  void SetChangeHook(std::function<void()> hook) { change_hook_ = std::move(hook); }

 private:
  // Reads the table file into the table: the number of whole entries read (the rest are zero),
  // or -1 for an empty or unreadable file, or, unless `accept_short`, a short one.
  int64_t ReadTableFile(bool accept_short);
  void SetEntry(uint32_t number, uint32_t value);
  uint32_t LowestFree();
  // Finds `count` free blocks upward from after `start`, wrapping to 1 below `start`.
  bool PlanBlocks(uint32_t start, uint32_t count, std::vector<uint32_t>* blocks) const;
  bool EnsureData(bool for_write);
  bool WriteBlocks(const unsigned char* bytes, const std::vector<uint32_t>& blocks);
  void LinkChain(const std::vector<uint32_t>& blocks);

  bool open_ = false;
  bool writable_ = false;
  bool table_damaged_ = false;
  std::string table_path_;
  std::string data_path_;
  uint32_t block_size_ = 0;
  uint32_t entry_count_ = 0;
  std::vector<uint32_t> table_;
  uint32_t free_count_ = 0;
  uint32_t free_hint_ = 1;  // every entry in 1 .. free_hint_ - 1 is in use
  uint64_t change_count_ = 0;
  std::function<void()> change_hook_;
  StoreFiles* files_ = &StoreFiles::System();
  std::unique_ptr<StoreFile> table_file_;
  std::unique_ptr<StoreFile> data_file_;
  bool data_writable_ = false;
  int batch_mode_ = -1;
};

}  // namespace korvo

#endif  // KORVO_STORE_BLOCK_STORE_H_
