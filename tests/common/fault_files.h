// A fault-injecting layer over the store's files, for tests: it passes every operation to a base
// StoreFiles (the real file system by default) and, on request, makes chosen operations fail,
// fills the disk, or stops the "process" at a chosen change and then drops everything that was
// not flushed (a power loss), as crash-tested stores do with their fault-injection layers.
//
// Changes are the operations that alter the disk: a write, a resize, opening in kTruncate mode,
// creating a file (opening a missing one in kCreateOrOpen or kTruncate mode), a removal and a
// rename. They are numbered from 1 in the order they are asked for, over every file.
//
// Power loss: the layer remembers, per file, the bytes and size that each change since the
// file's last Flush replaced; DropUnflushed puts them back, newest first, so every file holds
// what it held at its last flush. Removals and renames count as reaching the disk at once (the
// harsher model for a store that removes its markers); a rename carries the unflushed changes of
// its source with it. Call DropUnflushed after closing the store under test.
//
// Threads: every operation takes the layer's own mutex, so stores on several threads may share it.
#ifndef KORVO_TESTS_COMMON_FAULT_FILES_H_
#define KORVO_TESTS_COMMON_FAULT_FILES_H_

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "store/store_files.h"

namespace korvo::testing {

class FaultFiles : public StoreFiles {
 public:
  explicit FaultFiles(StoreFiles& base = StoreFiles::System()) : base_(base) {}

  // --- Faults (each off until set) ---

  // Every change to a path containing `part` fails and does nothing; such a path cannot be
  // opened in a mode that writes ("read-only file or folder").
  void FailChangesTo(const std::string& part);
  // Opening a path containing `part` fails in every mode.
  void FailOpensOf(const std::string& part);
  // Reads of a path containing `part` fail (-1).
  void FailReadsOf(const std::string& part);
  // Change number `n` fails and does nothing; the changes after it go through.
  void FailChange(uint64_t n);
  // The disk has room for `bytes` more: a write or resize that would grow the files beyond it
  // puts down what fits and fails. Shrinking a file gives room back.
  void SetSpaceLeft(uint64_t bytes);
  // The process stops at change number `n`: that change and every later one fail and do
  // nothing, except that a stopped write puts down its first `torn_bytes` bytes (a torn write).
  void StopAtChange(uint64_t n, size_t torn_bytes = 0);

  // The number of changes asked for so far (those refused included).
  uint64_t changes() const;
  bool stopped() const;
  // Every file back to its content at its last flush (see above). The faults stay as set.
  void DropUnflushed();

  // StoreFiles.
  std::unique_ptr<StoreFile> Open(const std::string& path, Mode mode) override;
  bool Exists(const std::string& path) override;
  bool Remove(const std::string& path) override;
  bool Rename(const std::string& from, const std::string& to) override;
  bool MakeDirectory(const std::string& path) override;

 private:
  class FaultFile;
  // What one change replaced: the file's size before it and the bytes it overwrote.
  struct Undo {
    uint64_t old_size = 0;
    uint64_t offset = 0;
    std::string old_bytes;
  };

  static bool Matches(const std::string& path, const std::vector<std::string>& parts);
  // Counts one change to `path`; false when it must fail (and do nothing). Sets `*torn` to the
  // bytes a stopped write still puts down.
  bool AdmitChange(const std::string& path, size_t* torn);
  // Remembers what a change of [offset, offset + size) and the file size will replace.
  void RememberWrite(const std::string& path, StoreFile& base, uint64_t offset, size_t size);
  void RememberResize(const std::string& path, StoreFile& base, uint64_t new_size);
  void Flushed(const std::string& path);

  int64_t ReadAt(const std::string& path, StoreFile& base, uint64_t offset, void* buffer,
                 size_t size);
  bool WriteAt(const std::string& path, StoreFile& base, uint64_t offset, const void* buffer,
               size_t size);
  bool Resize(const std::string& path, StoreFile& base, uint64_t size);
  bool Flush(const std::string& path, StoreFile& base);

  StoreFiles& base_;
  mutable std::mutex mutex_;
  std::vector<std::string> fail_changes_;
  std::vector<std::string> fail_opens_;
  std::vector<std::string> fail_reads_;
  std::vector<uint64_t> fail_numbers_;
  bool space_limited_ = false;
  uint64_t space_left_ = 0;
  uint64_t stop_at_ = 0;  // 0: never
  size_t torn_bytes_ = 0;
  uint64_t changes_ = 0;
  std::map<std::string, std::vector<Undo>> unflushed_;
};

}  // namespace korvo::testing

#endif  // KORVO_TESTS_COMMON_FAULT_FILES_H_
