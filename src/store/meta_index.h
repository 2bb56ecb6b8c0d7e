// The index files of the news database: flat arrays of 8-byte entries, each a little-endian
// 32-bit record number followed by a little-endian 32-bit value, no header; a trailing partial
// entry is ignored. Index file k is the base path followed by "_k" ("./database/meta_1" ...).
//
// No entries are kept in memory: every operation reads or writes the file. The files are opened
// on first use and stay open until Close, so a run of operations costs no file opening.
//
// Results: 0 on success, -1 when the file cannot be opened (or, where said, the entry is absent).
// Not thread-safe: the news database lock serialises every use.
#ifndef KORVO_STORE_META_INDEX_H_
#define KORVO_STORE_META_INDEX_H_

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "store/store_files.h"

namespace korvo {

struct IndexEntry {
  uint32_t number = 0;
  uint32_t value = 0;
  bool operator==(const IndexEntry& o) const { return number == o.number && value == o.value; }
};

class MetaIndex {
 public:
  // Index files 1 .. kMaxIndex.
  static constexpr int kMaxIndex = 4;
  // Remove and Update: the entry was there but the file could not be rewritten.
  static constexpr int kWriteFailed = -2;

  MetaIndex() = default;
  MetaIndex(const MetaIndex&) = delete;
  MetaIndex& operator=(const MetaIndex&) = delete;

  // Sets the base path ("./database/meta") and the files it is reached through (which must
  // outlive the index's open files), and closes any open file.
  void SetBase(const std::string& base, StoreFiles& files = StoreFiles::System());
  void Close();
  std::string PathOf(int k) const;

  // Empties file k (creating it).
  int Truncate(int k);
  // Adds one entry at the end, creating the file when missing. A trailing partial entry left by
  // a crash is overwritten, so the new entry is never shifted out of the 8-byte grid.
  int Append(int k, uint32_t number, uint32_t value);
  // Every whole entry of file k, in file order; a missing file gives none.
  std::vector<IndexEntry> ReadAll(int k);
  // Replaces the content of file k by `entries`.
  int WriteAll(int k, const std::vector<IndexEntry>& entries);
  // Removes the first entry with `number`; -1 (file unchanged) when there is none,
  // kWriteFailed when the file could not be rewritten.
  int Remove(int k, uint32_t number);
  // The value of the first entry with `number` in `*value`; false when absent.
  bool Find(int k, uint32_t number, uint32_t* value);
  // Sets the value of the first entry with `number`; -1 when absent, kWriteFailed when the file
  // could not be rewritten.
  int Update(int k, uint32_t number, uint32_t value);
  // Sorts file k ascending by value (unsigned) with a top-down merge sort whose merge takes the
  // entry from the second half first when two values are equal.
  int SortByValue(int k);

  // The sort used by SortByValue, for entries in memory.
  static void SortEntriesByValue(std::vector<IndexEntry>* entries);

 private:
  // The open file k; opened (and, with `create`, created) on demand. Null when it cannot be.
  StoreFile* FileOf(int k, bool create);

  std::string base_;
  StoreFiles* store_files_ = &StoreFiles::System();
  std::array<std::unique_ptr<StoreFile>, kMaxIndex + 1> files_;
};

}  // namespace korvo

#endif  // KORVO_STORE_META_INDEX_H_
