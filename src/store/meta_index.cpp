#include "store/meta_index.h"

#include "store/little_endian.h"

namespace korvo {

using Mode = StoreFiles::Mode;

namespace {

void MergeSort(IndexEntry* a, IndexEntry* scratch, size_t n) {
  if (n < 2) return;
  const size_t half = n / 2;
  MergeSort(a, scratch, half);
  MergeSort(a + half, scratch, n - half);
  size_t i = 0, j = half, k = 0;
  while (i < half && j < n) {
    // On equal values the second half goes first.
    if (a[j].value <= a[i].value) {
      scratch[k++] = a[j++];
    } else {
      scratch[k++] = a[i++];
    }
  }
  while (i < half) scratch[k++] = a[i++];
  while (j < n) scratch[k++] = a[j++];
  for (size_t m = 0; m < n; ++m) a[m] = scratch[m];
}

}  // namespace

void MetaIndex::SetBase(const std::string& base, StoreFiles& files) {
  Close();
  base_ = base;
  store_files_ = &files;
}

void MetaIndex::Close() {
  for (std::unique_ptr<StoreFile>& f : files_) f.reset();
}

std::string MetaIndex::PathOf(int k) const { return base_ + "_" + std::to_string(k); }

StoreFile* MetaIndex::FileOf(int k, bool create) {
  if (k < 1 || k > kMaxIndex || base_.empty()) return nullptr;
  std::unique_ptr<StoreFile>& f = files_[k];
  if (!f) f = store_files_->Open(PathOf(k), create ? Mode::kCreateOrOpen : Mode::kReadWrite);
  // A file that can only be read is still read (a read-only store); writes to it then fail.
  if (!f && !create) f = store_files_->Open(PathOf(k), Mode::kRead);
  return f.get();
}

int MetaIndex::Truncate(int k) {
  StoreFile* f = FileOf(k, true);
  return f != nullptr && f->Resize(0) ? 0 : -1;
}

int MetaIndex::Append(int k, uint32_t number, uint32_t value) {
  StoreFile* f = FileOf(k, true);
  if (f == nullptr) return -1;
  const int64_t size = f->Size();
  if (size < 0) return -1;
  unsigned char entry[8];
  store_bytes::PutWord(entry, number);
  store_bytes::PutWord(entry + 4, value);
  return f->WriteAt(static_cast<uint64_t>(size) / 8 * 8, entry, sizeof entry) ? 0 : -1;
}

std::vector<IndexEntry> MetaIndex::ReadAll(int k) {
  std::vector<IndexEntry> entries;
  StoreFile* f = FileOf(k, false);
  if (f == nullptr) return entries;
  const int64_t size = f->Size();
  if (size < 8) return entries;
  std::vector<unsigned char> bytes(static_cast<size_t>(size) / 8 * 8);
  const int64_t got = f->ReadAt(0, bytes.data(), bytes.size());
  if (got < 8) return entries;
  const size_t count = static_cast<size_t>(got) / 8;
  entries.resize(count);
  for (size_t i = 0; i < count; ++i) {
    entries[i].number = store_bytes::GetWord(&bytes[8 * i]);
    entries[i].value = store_bytes::GetWord(&bytes[8 * i + 4]);
  }
  return entries;
}

int MetaIndex::WriteAll(int k, const std::vector<IndexEntry>& entries) {
  StoreFile* f = FileOf(k, true);
  if (f == nullptr) return -1;
  std::vector<unsigned char> bytes(entries.size() * 8);
  for (size_t i = 0; i < entries.size(); ++i) {
    store_bytes::PutWord(&bytes[8 * i], entries[i].number);
    store_bytes::PutWord(&bytes[8 * i + 4], entries[i].value);
  }
  if (!bytes.empty() && !f->WriteAt(0, bytes.data(), bytes.size())) return -1;
  return f->Resize(bytes.size()) ? 0 : -1;
}

int MetaIndex::Remove(int k, uint32_t number) {
  std::vector<IndexEntry> entries = ReadAll(k);
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].number == number) {
      entries.erase(entries.begin() + static_cast<ptrdiff_t>(i));
      return WriteAll(k, entries) == 0 ? 0 : kWriteFailed;
    }
  }
  return -1;
}

bool MetaIndex::Find(int k, uint32_t number, uint32_t* value) {
  for (const IndexEntry& e : ReadAll(k)) {
    if (e.number == number) {
      if (value != nullptr) *value = e.value;
      return true;
    }
  }
  return false;
}

int MetaIndex::Update(int k, uint32_t number, uint32_t value) {
  std::vector<IndexEntry> entries = ReadAll(k);
  for (IndexEntry& e : entries) {
    if (e.number == number) {
      e.value = value;
      return WriteAll(k, entries) == 0 ? 0 : kWriteFailed;
    }
  }
  return -1;
}

int MetaIndex::SortByValue(int k) {
  if (FileOf(k, false) == nullptr) return -1;
  std::vector<IndexEntry> entries = ReadAll(k);
  SortEntriesByValue(&entries);
  return WriteAll(k, entries);
}

void MetaIndex::SortEntriesByValue(std::vector<IndexEntry>* entries) {
  std::vector<IndexEntry> scratch(entries->size());
  MergeSort(entries->data(), scratch.data(), entries->size());
}

}  // namespace korvo
