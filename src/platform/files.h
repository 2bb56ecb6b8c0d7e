// Files and folders.
//
// Paths are UTF-8 text. Both '/' and '\' separate folders on every OS (on POSIX a '\' is turned
// into '/'; on Windows the reverse). Relative paths are taken from the current directory. On
// Windows absolute paths are passed to the wide (W) functions in the "\\?\" long form, so paths
// longer than 260 characters work. Text in the internal code page must be converted with
// Cp932ToUtf8 before it becomes a path.
//
// Names avoid the Win32 macros (CreateDirectory, DeleteFile, ...) so this header and <windows.h>
// can meet in one file.
//
// Every function is thread-safe (it touches only the file system) and reports failure by its
// result, never by an exception.
#ifndef KORVO_PLATFORM_FILES_H_
#define KORVO_PLATFORM_FILES_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvo::platform {

bool FileExists(const std::string& path);       // a regular file (not a folder) is there
bool DirectoryExists(const std::string& path);  // a folder is there
// Creates one folder; true when it exists afterwards (also when it was already there).
bool MakeDirectory(const std::string& path);
// Copies `from` to `to` unless `to` already exists; false when nothing was copied.
bool CopyFileNoOverwrite(const std::string& from, const std::string& to);
bool RemoveFile(const std::string& path);  // true when the file was removed
// Removes a folder that holds nothing; false when it is not empty or cannot be removed.
bool RemoveEmptyDirectory(const std::string& path);
// Renames a file; an existing `to` is replaced when `replace` is set (atomically where the OS
// can), else the rename fails.
bool RenameFile(const std::string& from, const std::string& to, bool replace);
// Size in bytes, or -1 when the file cannot be examined.
int64_t FileSize(const std::string& path);

struct DirectoryEntry {
  std::string name;  // UTF-8, without the folder
  bool is_directory = false;
};
// The entries of a folder except "." and "..", sorted by name; empty when it cannot be read.
std::vector<DirectoryEntry> ListDirectory(const std::string& path);

// Reads a whole file (at most `max_bytes`); false when it cannot be opened or is larger.
bool ReadWholeFile(const std::string& path, std::string* out, size_t max_bytes = SIZE_MAX);
// Creates or truncates the file and writes `data`; false on any failure.
bool WriteWholeFile(const std::string& path, std::string_view data);

// The current directory as an absolute UTF-8 path with '/' separators ("C:/x/y" on Windows).
std::string CurrentDirectory();
bool ChangeDirectory(const std::string& path);

// A file opened for random access. Move-only; closed by the destructor.
class File {
 public:
  enum class Mode {
    kRead,          // existing file, read only
    kReadWrite,     // existing file, read and write
    kCreateOrOpen,  // read and write; created empty when missing
    kTruncate,      // read and write; created or emptied
    kCreateNew,     // read and write; created, and failing when the file already exists
  };

  File() = default;
  ~File();
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  bool Open(const std::string& path, Mode mode);
  void Close();
  bool is_open() const;

  // Reads up to `size` bytes at `offset`; returns the count read (short at end of file), or -1.
  int64_t ReadAt(uint64_t offset, void* buffer, size_t size) const;
  // Writes all `size` bytes at `offset`, extending the file as needed; false on any failure.
  bool WriteAt(uint64_t offset, const void* buffer, size_t size);
  int64_t Size() const;        // -1 on failure
  bool Resize(uint64_t size);  // extends with zero bytes or cuts
  bool Flush();                // hands the written data to the disk (fsync / FlushFileBuffers)

 private:
#ifdef _WIN32
  void* handle_ = nullptr;  // HANDLE; nullptr when closed
#else
  int fd_ = -1;
#endif
};

}  // namespace korvo::platform

#endif  // KORVO_PLATFORM_FILES_H_
