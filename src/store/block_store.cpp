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
  recovered_ = false;
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
  RecoverRedo();
  return true;
}

void BlockStore::Close() {
  if (!open_) return;
  EndBatch();
  SaveTable();
  Flush();
  table_file_.reset();
  data_file_.reset();
  redo_file_.reset();
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

bool BlockStore::Flush() {
  if (!open_) return false;
  // A cleared journal reaches the disk before the changes it no longer describes.
  bool ok = redo_file_ == nullptr || redo_file_->Flush();
  if (data_file_ && data_writable_) ok = data_file_->Flush() && ok;
  return table_file_->Flush() && ok;
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
  const size_t bs = block_size_;

  // Same length and the same tail: only the head block changes, in one write.
  if (block_count == old.size()) {
    bool same_tail = true;
    std::vector<unsigned char> stored(bs);
    for (size_t i = 1; i < old.size() && same_tail; ++i) {
      same_tail = data_file_->ReadAt(static_cast<uint64_t>(old[i]) * bs, stored.data(), bs) ==
                      static_cast<int64_t>(bs) &&
                  std::memcmp(stored.data(), bytes + i * bs, bs) == 0;
    }
    if (same_tail) {
      return data_file_->WriteAt(static_cast<uint64_t>(number) * bs, bytes, bs) ? number : kInvalid;
    }
  }

  std::vector<uint32_t> blocks;
  blocks.reserve(block_count);
  blocks.push_back(number);
  bool planned;
  if (need <= free_count_) {
    planned = PlanBlocks(number, need, &blocks);
  } else {
    // Not enough room beside the old chain: its tail blocks count as free for the plan.
    std::vector<uint32_t> saved(old.size());
    for (size_t i = 1; i < old.size(); ++i) {
      saved[i] = table_[old[i]];
      table_[old[i]] = 0;
    }
    planned = PlanBlocks(number, need, &blocks);
    for (size_t i = 1; i < old.size(); ++i) table_[old[i]] = saved[i];
  }
  if (!planned) return kFull;

  // Blocks outside the old chain are free: their data goes down first, where a cut harms
  // nothing. The rest changes the record in place and goes through the journal.
  std::vector<uint32_t> sorted_old(old);
  std::sort(sorted_old.begin(), sorted_old.end());
  const auto in_old = [&](uint32_t b) {
    return std::binary_search(sorted_old.begin(), sorted_old.end(), b);
  };
  Redo redo;
  for (size_t i = 0; i < blocks.size(); ++i) {
    const unsigned char* block = bytes + i * bs;
    if (in_old(blocks[i])) {
      redo.block_numbers.push_back(blocks[i]);
      redo.block_bytes.insert(redo.block_bytes.end(), block, block + bs);
    } else if (!data_file_->WriteAt(static_cast<uint64_t>(blocks[i]) * bs, block, bs)) {
      return kInvalid;
    }
  }
  // The entries as LinkChain sets them (last block back to the head), then the old tail blocks
  // that the new chain does not use.
  const size_t n = blocks.size();
  for (size_t i = n - 1; i >= 1; --i) {
    redo.entries.push_back({blocks[i], table_[blocks[i]], i + 1 == n ? kEndMark : blocks[i + 1]});
  }
  redo.entries.push_back({number, table_[number], kHeadBit | (n == 1 ? kEndMark : blocks[1])});
  std::vector<uint32_t> sorted_new(blocks);
  std::sort(sorted_new.begin(), sorted_new.end());
  for (size_t i = 1; i < old.size(); ++i) {
    if (!std::binary_search(sorted_new.begin(), sorted_new.end(), old[i])) {
      redo.entries.push_back({old[i], table_[old[i]], 0});
    }
  }
  if (!WriteRedo(redo)) return kInvalid;
  return ApplyRedo(redo) ? number : kInvalid;
}

namespace {

constexpr uint32_t kRedoMagic = 0x4F44524Bu;  // "KRDO"
constexpr size_t kRedoHeader = 16;

uint32_t Fnv1a(const unsigned char* p, size_t n) {
  uint32_t h = 2166136261u;
  for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 16777619u;
  return h;
}

}  // namespace

bool BlockStore::WriteRedo(const Redo& redo) {
  if (!redo_file_) redo_file_ = files_->Open(table_path_ + ".redo", Mode::kCreateOrOpen);
  if (!redo_file_) return false;
  const size_t bs = block_size_;
  const size_t blocks = redo.block_numbers.size();
  std::vector<unsigned char> out(kRedoHeader + blocks * (4 + bs) + redo.entries.size() * 12);
  unsigned char* p = out.data() + kRedoHeader;
  for (size_t i = 0; i < blocks; ++i) {
    store_bytes::PutWord(p, redo.block_numbers[i]);
    std::memcpy(p + 4, redo.block_bytes.data() + i * bs, bs);
    p += 4 + bs;
  }
  for (const Redo::EntryChange& e : redo.entries) {
    store_bytes::PutWord(p, e.number);
    store_bytes::PutWord(p + 4, e.before);
    store_bytes::PutWord(p + 8, e.after);
    p += 12;
  }
  store_bytes::PutWord(&out[0], kRedoMagic);
  store_bytes::PutWord(&out[4], static_cast<uint32_t>(blocks));
  store_bytes::PutWord(&out[8], static_cast<uint32_t>(redo.entries.size()));
  store_bytes::PutWord(&out[12], Fnv1a(out.data() + kRedoHeader, out.size() - kRedoHeader));
  return redo_file_->WriteAt(0, out.data(), out.size());
}

bool BlockStore::ApplyRedo(const Redo& redo) {
  const size_t bs = block_size_;
  bool ok = true;
  for (size_t i = 0; i < redo.block_numbers.size(); ++i) {
    const uint64_t offset = static_cast<uint64_t>(redo.block_numbers[i]) * bs;
    const unsigned char* block = redo.block_bytes.data() + i * bs;
    // A write that fails is tried once more: on Windows a scanner that holds the file for a
    // moment makes a write fail once.
    ok = (data_file_->WriteAt(offset, block, bs) || data_file_->WriteAt(offset, block, bs)) && ok;
  }
  for (const Redo::EntryChange& e : redo.entries) SetEntry(e.number, e.after);
  // A journal that did not all go down stays for the next Open to finish.
  if (!ok) return false;
  const unsigned char zero[4] = {0, 0, 0, 0};
  redo_file_->WriteAt(0, zero, sizeof zero);
  return true;
}

void BlockStore::RecoverRedo() {
  if (!writable_) return;  // a read-only store reads the records as they stand
  const std::string path = table_path_ + ".redo";
  if (!files_->Exists(path)) return;
  redo_file_ = files_->Open(path, Mode::kReadWrite);
  if (!redo_file_) return;
  const int64_t size = redo_file_->Size();
  unsigned char head[kRedoHeader];
  if (size < static_cast<int64_t>(kRedoHeader) ||
      redo_file_->ReadAt(0, head, kRedoHeader) != static_cast<int64_t>(kRedoHeader) ||
      store_bytes::GetWord(head) != kRedoMagic) {
    return;
  }
  const uint64_t blocks = store_bytes::GetWord(head + 4);
  const uint64_t entries = store_bytes::GetWord(head + 8);
  const uint64_t bs = block_size_;
  if (blocks >= entry_count_ || entries >= 2 * uint64_t{entry_count_}) return;
  const uint64_t payload = blocks * (4 + bs) + entries * 12;
  if (payload > static_cast<uint64_t>(size) - kRedoHeader) return;
  std::vector<unsigned char> in(static_cast<size_t>(payload));
  if (redo_file_->ReadAt(kRedoHeader, in.data(), in.size()) != static_cast<int64_t>(in.size()) ||
      Fnv1a(in.data(), in.size()) != store_bytes::GetWord(head + 12)) {
    return;  // cut while it was written: the change never began
  }
  Redo redo;
  const unsigned char* p = in.data();
  for (uint64_t i = 0; i < blocks; ++i, p += 4 + bs) {
    redo.block_numbers.push_back(store_bytes::GetWord(p));
    redo.block_bytes.insert(redo.block_bytes.end(), p + 4, p + 4 + bs);
  }
  for (uint64_t i = 0; i < entries; ++i, p += 12) {
    redo.entries.push_back(
        {store_bytes::GetWord(p), store_bytes::GetWord(p + 4), store_bytes::GetWord(p + 8)});
  }
  // Only a journal that still fits the table is finished; one that outlived its moment (the
  // blocks were used again since) would damage other records.
  for (uint32_t b : redo.block_numbers) {
    if (b == 0 || b >= entry_count_) return;
  }
  for (const Redo::EntryChange& e : redo.entries) {
    if (e.number == 0 || e.number >= entry_count_ ||
        (table_[e.number] != e.before && table_[e.number] != e.after)) {
      return;
    }
  }
  if (!EnsureData(true)) return;
  recovered_ = ApplyRedo(redo);
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
