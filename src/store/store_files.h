// The files of the news store, as the store reaches them.
//
// Every file the news database keeps under `database` (the block store's table and data, the
// index files, the change counter and the interrupted-update marker) is opened, changed, removed
// and renamed through one StoreFiles. StoreFiles::System() is the platform's file system and what
// the programs use; tests swap in a layer that fails, fills the disk, or stops at a chosen change
// and then drops what was not flushed (tests/common/fault_files.h), to check that the store keeps
// every record whole or not at all whatever happens underneath.
//
// Contracts are those of platform::File and platform/files.h: paths are UTF-8, failures are
// results, never exceptions.
//
// Threads: the store uses its StoreFiles under the news database lock only. System() is
// stateless and may be used from any thread.
#ifndef KORVO_STORE_STORE_FILES_H_
#define KORVO_STORE_STORE_FILES_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/files.h"

namespace korvo {

// One open file. Closed when destroyed.
class StoreFile {
 public:
  virtual ~StoreFile() = default;
  // Reads up to `size` bytes at `offset`; the count read (short at the end of the file), or -1.
  virtual int64_t ReadAt(uint64_t offset, void* buffer, size_t size) = 0;
  // Writes all `size` bytes at `offset`, extending the file as needed; false on any failure
  // (some of the bytes may have been written).
  virtual bool WriteAt(uint64_t offset, const void* buffer, size_t size) = 0;
  virtual int64_t Size() = 0;  // -1 on failure
  // Extends the file with zero bytes or cuts it.
  virtual bool Resize(uint64_t size) = 0;
  // Returns once everything written so far would survive a power loss.
  virtual bool Flush() = 0;
};

class StoreFiles {
 public:
  using Mode = platform::File::Mode;

  virtual ~StoreFiles() = default;
  // The file at `path` opened in `mode`; null when it cannot be opened.
  virtual std::unique_ptr<StoreFile> Open(const std::string& path, Mode mode) = 0;
  virtual bool Exists(const std::string& path) = 0;
  // True when the file was removed.
  virtual bool Remove(const std::string& path) = 0;
  // Renames `from` to `to`, replacing `to` (atomically where the OS can).
  virtual bool Rename(const std::string& from, const std::string& to) = 0;
  // True when the folder exists afterwards.
  virtual bool MakeDirectory(const std::string& path) = 0;

  // The platform's file system.
  static StoreFiles& System();
};

}  // namespace korvo

#endif  // KORVO_STORE_STORE_FILES_H_
