#include "store/block_store.h"

#include <algorithm>
#include <cstring>

#include "store/little_endian.h"

namespace korvo {

using Mode = StoreFiles::Mode;

bool BlockStore::Open(const std::string& table_path, const std::string& data_path,
                      uint32_t block_size, uint32_t entry_count, StoreFiles& files) {
  Close();
  if (block_size == 0 || entry_count < 2 || entry_count > kEndMark) return false;
  table_path_ = table_path;
  data_path_ = data_path;
  block_size_ = block_size;
  entry_count_ = entry_count;
  files_ = &files;
  for (Mode mode : {Mode::kReadWrite, Mode::kCreateOrOpen, Mode::kRead}) {
    table_file_ = files_->Open(table_path_, mode);
    writable_ = mode != Mode::kRead;
    if (table_file_) break;
  }
  if (!table_file_) return false;
  open_ = true;
  table_damaged_ = false;
  const int64_t entries_read = ReadTableFile(/*accept_short=*/true);
  if (entries_read < 0) {
    // A new or empty file: the store starts empty.
    table_.assign(entry_count_, 0);
    free_count_ = entry_count_ - 1;
    free_hint_ = 1;
    SaveTable();
  } else if (entries_read < static_cast<int64_t>(entry_count_)) {
    // Cut short (a crash, a full disk): the entries it still holds are kept, the missing ones
    // are free, and the whole table is written back.
    table_damaged_ = true;
    SaveTable();
  }
  return true;
}

void BlockStore::Close() {
  if (!open_) return;
  EndBatch();
  SaveTable();
  table_file_.reset();
  data_file_.reset();
  data_writable_ = false;
  table_.clear();
  table_.shrink_to_fit();
  free_count_ = 0;
  open_ = false;
}

int64_t BlockStore::ReadTableFile(bool accept_short) {
  const size_t bytes = static_cast<size_t>(entry_count_) * 4;
  std::vector<unsigned char> buffer(bytes, 0);
  const int64_t got = table_file_->ReadAt(0, buffer.data(), bytes);
  if (got <= 0 || (!accept_short && got != static_cast<int64_t>(bytes))) return -1;
  const int64_t whole = got / 4;  // a partial last entry counts as missing (it is zero)
  if (whole < static_cast<int64_t>(entry_count_)) {
    std::fill(buffer.begin() + static_cast<size_t>(whole) * 4, buffer.end(), 0);
  }
  table_.resize(entry_count_);
  uint32_t free_count = 0;
  for (uint32_t n = 0; n < entry_count_; ++n) {
    table_[n] = store_bytes::GetWord(&buffer[4 * static_cast<size_t>(n)]);
    if (n > 0 && table_[n] == 0) ++free_count;
  }
  free_count_ = free_count;
  free_hint_ = 1;
  return whole;
}

bool BlockStore::DataCoversTable() {
  uint32_t highest = 0;
  for (uint32_t n = entry_count_ - 1; n > 0; --n) {
    if (table_[n] != 0) {
      highest = n;
      break;
    }
  }
  if (highest == 0) return true;
  if (!EnsureData(false)) return false;
  // Block `highest` begins at highest * block size; the last block may be short, not missing.
  return data_file_->Size() > static_cast<int64_t>(highest) * block_size_;
}

bool BlockStore::SaveTable() {
  if (!open_ || !writable_) return false;
  std::vector<unsigned char> buffer(static_cast<size_t>(entry_count_) * 4);
  for (uint32_t n = 0; n < entry_count_; ++n) {
    store_bytes::PutWord(&buffer[4 * static_cast<size_t>(n)], table_[n]);
  }
  return table_file_->WriteAt(0, buffer.data(), buffer.size());
}

bool BlockStore::ReloadTable() {
  if (!open_) return false;
  std::vector<uint32_t> saved = table_;
  const uint32_t saved_free = free_count_;
  if (ReadTableFile(/*accept_short=*/false) >= 0) return true;
  table_ = std::move(saved);
  free_count_ = saved_free;
  free_hint_ = 1;
  return false;
}

int BlockStore::BeginBatch(int mode) {
  if (!open_ || (mode != kBatchRead && mode != kBatchReadWrite)) return -1;
  if (batch_mode_ >= 0) return -2;
  if (!EnsureData(mode == kBatchReadWrite)) return -1;
  batch_mode_ = mode;
  return 0;
}

void BlockStore::EndBatch() { batch_mode_ = -1; }

bool BlockStore::EnsureData(bool for_write) {
  if (data_file_ && (!for_write || data_writable_)) return true;
  data_file_.reset();
  data_file_ = files_->Open(data_path_, for_write ? Mode::kCreateOrOpen : Mode::kReadWrite);
  data_writable_ = data_file_ != nullptr;
  if (data_file_) return true;
  // Keep reading possible when only writing is refused.
  data_file_ = files_->Open(data_path_, Mode::kRead);
  return !for_write && data_file_ != nullptr;
}

void BlockStore::SetEntry(uint32_t number, uint32_t value) {
  if (change_hook_) change_hook_();
  const uint32_t old = table_[number];
  if (old == 0 && value != 0) --free_count_;
  if (old != 0 && value == 0) {
    ++free_count_;
    free_hint_ = std::min(free_hint_, number);
  }
  table_[number] = value;
  ++change_count_;
  unsigned char word[4];
  store_bytes::PutWord(word, value);
  table_file_->WriteAt(4 * static_cast<uint64_t>(number), word, sizeof word);
}

uint32_t BlockStore::LowestFree() {
  for (uint32_t n = std::max<uint32_t>(free_hint_, 1); n < entry_count_; ++n) {
    if (table_[n] == 0) {
      free_hint_ = n;
      return n;
    }
  }
  free_hint_ = entry_count_;
  return 0;
}

bool BlockStore::PlanBlocks(uint32_t start, uint32_t count, std::vector<uint32_t>* blocks) const {
  uint32_t found = 0;
  for (uint32_t n = start + 1; n < entry_count_ && found < count; ++n) {
    if (table_[n] == 0) {
      blocks->push_back(n);
      ++found;
    }
  }
  for (uint32_t n = 1; n < start && found < count; ++n) {
    if (table_[n] == 0) {
      blocks->push_back(n);
      ++found;
    }
  }
  return found == count;
}

bool BlockStore::WriteBlocks(const unsigned char* bytes, const std::vector<uint32_t>& blocks) {
  // Runs of consecutive blocks go out in one write each.
  const size_t bs = block_size_;
  size_t i = 0;
  while (i < blocks.size()) {
    size_t j = i;
    while (j + 1 < blocks.size() && blocks[j + 1] == blocks[j] + 1) ++j;
    if (!data_file_->WriteAt(static_cast<uint64_t>(blocks[i]) * bs, bytes + i * bs,
                             (j - i + 1) * bs)) {
      return false;
    }
    i = j + 1;
  }
  return true;
}

void BlockStore::LinkChain(const std::vector<uint32_t>& blocks) {
  // From the last block back to the head, so the head names a whole chain when it appears.
  const size_t n = blocks.size();
  for (size_t i = n - 1; i >= 1; --i) {
    SetEntry(blocks[i], i + 1 == n ? kEndMark : blocks[i + 1]);
  }
  SetEntry(blocks[0], kHeadBit | (n == 1 ? kEndMark : blocks[1]));
}

uint32_t BlockStore::Write(const unsigned char* bytes, uint32_t block_count, uint32_t number) {
  if (!open_ || number >= entry_count_ || block_count == 0) return kInvalid;
  uint32_t head;
  if (number == 0) {
    head = LowestFree();
    if (head == 0) return kFull;
  } else {
    if (table_[number] != 0) return kInvalid;  // would overlay a live record
    head = number;
  }
  if (block_count > free_count_) return kFull;
  if (bytes == nullptr) return head;
  if (batch_mode_ == kBatchRead) return kInvalid;
  std::vector<uint32_t> blocks;
  blocks.reserve(block_count);
  blocks.push_back(head);
  if (!PlanBlocks(head, block_count - 1, &blocks)) return kFull;
  if (!EnsureData(true) || !WriteBlocks(bytes, blocks)) return kInvalid;
  LinkChain(blocks);
  return head;
}

uint32_t BlockStore::Replace(const unsigned char* bytes, uint32_t block_count, uint32_t number) {
  if (!open_ || bytes == nullptr || block_count == 0 || !IsHead(number)) return kInvalid;
  const std::vector<uint32_t> old = ChainBlocks(number);
  if (old.empty()) return kInvalid;
  const uint64_t old_tail = old.size() - 1;
  const uint32_t need = block_count - 1;
  if (need > free_count_ + old_tail) return kFull;
  if (batch_mode_ == kBatchRead || !EnsureData(true)) return kInvalid;

  std::vector<uint32_t> blocks;
  blocks.reserve(block_count);
  blocks.push_back(number);
  if (need <= free_count_) {
    // New tail in free blocks; the old chain stays whole until the new one is linked.
    if (!PlanBlocks(number, need, &blocks)) return kFull;
    // Tail data first, the head block (shared by both versions) last.
    std::vector<uint32_t> tail(blocks.begin() + 1, blocks.end());
    if (!tail.empty() && !WriteBlocks(bytes + block_size_, tail)) return kInvalid;
    if (!data_file_->WriteAt(static_cast<uint64_t>(number) * block_size_, bytes, block_size_)) {
      return kInvalid;
    }
    LinkChain(blocks);
    for (size_t i = 1; i < old.size(); ++i) SetEntry(old[i], 0);
    return number;
  }
  // Not enough room beside the old chain: its tail blocks are reused.
  for (size_t i = 1; i < old.size(); ++i) SetEntry(old[i], 0);
  if (!PlanBlocks(number, need, &blocks)) return kFull;
  if (!WriteBlocks(bytes, blocks)) {
    SetEntry(number, 0);  // the record is gone; leave no broken chain behind
    return kInvalid;
  }
  LinkChain(blocks);
  return number;
}

std::vector<uint32_t> BlockStore::ChainBlocks(uint32_t number) const {
  std::vector<uint32_t> blocks;
  if (!open_ || number == 0 || number >= entry_count_) return blocks;
  // A sound chain is never longer than the number of blocks in use; a longer walk is a loop.
  const uint32_t used = entry_count_ - 1 - free_count_;
  uint32_t current = number;
  for (;;) {
    const uint32_t e = table_[current];
    if (e == 0 || (e & kReservedBits) != 0 || (!blocks.empty() && (e & kHeadBit) != 0) ||
        blocks.size() >= used) {
      blocks.clear();
      return blocks;
    }
    blocks.push_back(current);
    const uint32_t next = e & kLinkMask;
    if (next == kEndMark) return blocks;
    if (next == 0 || next >= entry_count_) {
      blocks.clear();
      return blocks;
    }
    current = next;
  }
}

uint32_t BlockStore::CountBlocks(uint32_t number) const {
  if (!open_ || number == 0 || number >= entry_count_) return 0;
  const uint32_t used = entry_count_ - 1 - free_count_;
  uint32_t count = 0;
  uint32_t current = number;
  for (;;) {
    const uint32_t e = table_[current];
    if (e == 0 || (e & kReservedBits) != 0 || (count > 0 && (e & kHeadBit) != 0) || count >= used) {
      return 0;
    }
    ++count;
    const uint32_t next = e & kLinkMask;
    if (next == kEndMark) return count;
    if (next == 0 || next >= entry_count_) return 0;
    current = next;
  }
}

uint32_t BlockStore::Read(unsigned char* bytes, uint32_t max_blocks, uint32_t number) {
  if (!open_ || bytes == nullptr || max_blocks == 0) return 0;
  std::vector<uint32_t> blocks = ChainBlocks(number);
  if (blocks.empty()) return 0;
  if (blocks.size() > max_blocks) blocks.resize(max_blocks);
  if (!EnsureData(false)) return 0;
  const size_t bs = block_size_;
  size_t i = 0;
  while (i < blocks.size()) {
    size_t j = i;
    while (j + 1 < blocks.size() && blocks[j + 1] == blocks[j] + 1) ++j;
    const size_t want = (j - i + 1) * bs;
    const int64_t got =
        data_file_->ReadAt(static_cast<uint64_t>(blocks[i]) * bs, bytes + i * bs, want);
    if (got < 0) return 0;
    if (static_cast<size_t>(got) < want) {
      // The data file ends inside this run: a block with some bytes is short (zero-filled), a
      // block with none is missing.
      const size_t got_bytes = static_cast<size_t>(got);
      if (got_bytes <= (j - i) * bs) return 0;
      std::memset(bytes + i * bs + got_bytes, 0, want - got_bytes);
    }
    i = j + 1;
  }
  return static_cast<uint32_t>(blocks.size());
}

int BlockStore::Free(uint32_t number) {
  if (!open_) return -1;
  if (number == kFreeAll) {
    if (change_hook_) change_hook_();
    std::fill(table_.begin(), table_.end(), 0);
    free_count_ = entry_count_ - 1;
    free_hint_ = 1;
    ++change_count_;
    SaveTable();
    return 0;
  }
  if (number == 0 || number >= entry_count_ || table_[number] == 0) return -1;
  uint32_t current = number;
  bool first = true;
  for (;;) {
    const uint32_t e = table_[current];
    if (e == 0 || (!first && (e & kHeadBit) != 0)) break;
    SetEntry(current, 0);
    first = false;
    if ((e & kReservedBits) != 0) break;
    const uint32_t next = e & kLinkMask;
    if (next == kEndMark || next == 0 || next >= entry_count_) break;
    current = next;
  }
  return 0;
}

uint32_t BlockStore::FreeAllExcept(const std::vector<bool>& keep) {
  if (!open_) return 0;
  uint32_t cleared = 0;
  for (uint32_t n = 1; n < entry_count_; ++n) {
    if (table_[n] != 0 && (n >= keep.size() || !keep[n])) {
      SetEntry(n, 0);
      ++cleared;
    }
  }
  return cleared;
}

}  // namespace korvo
