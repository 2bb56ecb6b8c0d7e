// Private-profile (.ini) files: setup.ini, extension.ini, the skins' .ini files (CP932) and
// user.ini (UTF-16LE with a byte-order mark). One implementation for every OS; it reads and
// writes like the Windows functions GetPrivateProfileString, GetPrivateProfileInt and
// WritePrivateProfileString (the line rules are in profile_text.h):
//   - a missing file, section or key gives the default; a write creates the file and the section;
//   - a value enclosed in a pair of double or single quotes is read without them;
//   - a default is read with its trailing blanks removed;
//   - integers are read like GetPrivateProfileInt: an optional sign, then decimal digits up to the
//     first other character, the result taken modulo 2^32 (so "-5" gives -5 and "4294967295"
//     gives -1 as an int, 0xFFFFFFFF as unsigned); a value without digits gives 0, an empty value
//     the default;
//   - a text read into a buffer of N units gives at most N - 1 units (a CP932 two-byte character
//     is never split).
// Both interfaces work on both kinds of file: std::string arguments and results are CP932,
// std::u16string ones UTF-16, converted as the Windows "A" and "W" functions convert.
//
// Differences from Windows, on purpose:
//   - a file is never rewritten in place: the new content goes to a temporary file in the same
//     folder, which then replaces the old one, so a failed write (full disk, crash) leaves the
//     old file whole;
//   - lines not touched by a write keep their bytes, even bytes that are not valid CP932;
//   - a written value ends at its first CR, LF or NUL, and a key or section name that would
//     change the structure of the file (a line break, '=' in a key, a key starting with '[' or
//     ';') is refused, so no value can plant other keys or sections;
//   - files larger than kMaxProfileFileSize are not read (defaults) and never rewritten.
//
// Thread-safety: a ProfileFile object is used by one thread at a time. Load and Save take the
// process-wide profile lock, and the one-call functions at the end hold it for their whole
// read-change-write, so calls from different threads never lose each other's changes. To make
// several changes to one file as one step while other threads may write it, hold a
// ProfileFileLock from Load to Save. The lock is per process (each plug-in library linking the
// core has its own copy); processes are not coordinated, as on Windows.
#ifndef KORVO_SHELL_PROFILE_FILE_H_
#define KORVO_SHELL_PROFILE_FILE_H_

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "shell/profile_text.h"

namespace korvo {

enum class ProfileEncoding {
  kCp932,    // bytes in the internal code page
  kUtf16Le,  // FF FE, then UTF-16LE code units
};

constexpr int64_t kMaxProfileFileSize = 8 * 1024 * 1024;
constexpr size_t kNoBufferLimit = static_cast<size_t>(-1);

// Holds the process-wide profile lock for its scope (recursive).
class ProfileFileLock {
 public:
  ProfileFileLock();
  ~ProfileFileLock();
  ProfileFileLock(const ProfileFileLock&) = delete;
  ProfileFileLock& operator=(const ProfileFileLock&) = delete;

 private:
  std::unique_lock<std::recursive_mutex> lock_;
};

class ProfileFile {
 public:
  ProfileFile() = default;

  // Reads the file at `path` (UTF-8). The encoding is taken from the file (FF FE: UTF-16LE, else
  // CP932); a missing file gives an empty text that Save() creates in `new_file_encoding`.
  // Returns false when the file exists but cannot be read or is larger than kMaxProfileFileSize:
  // the text is then empty and Save() refuses to replace the file.
  bool Load(const std::string& path, ProfileEncoding new_file_encoding = ProfileEncoding::kCp932);

  // Writes the text back when it changed (temporary file, then replace). True when the file now
  // holds the text; false when it could not be written, when the existing file is marked
  // read-only (the change is lost, as on Windows), or when Load() failed.
  bool Save();

  const std::string& path() const { return path_; }
  ProfileEncoding encoding() const { return encoding_; }
  bool changed() const { return changed_; }

  // --- CP932 interface ---
  bool Has(std::string_view section, std::string_view key) const;
  // GetPrivateProfileString with a buffer of `buffer_size` bytes (kNoBufferLimit: no limit).
  std::string GetString(std::string_view section, std::string_view key,
                        std::string_view default_value, size_t buffer_size = kNoBufferLimit) const;
  // GetPrivateProfileInt; the unsigned result is the same 32 bits.
  int GetInt(std::string_view section, std::string_view key, int default_value) const;
  uint32_t GetUnsigned(std::string_view section, std::string_view key,
                       uint32_t default_value) const;
  // WritePrivateProfileString: false when a name is refused (see above).
  bool PutString(std::string_view section, std::string_view key, std::string_view value);
  bool PutInt(std::string_view section, std::string_view key, int32_t value);        // "%d"
  bool PutUnsigned(std::string_view section, std::string_view key, uint32_t value);  // "%u"
  bool RemoveKey(std::string_view section, std::string_view key);
  bool RemoveSection(std::string_view section);
  std::vector<std::string> SectionNames() const;
  std::vector<std::string> KeyNames(std::string_view section) const;

  // --- UTF-16 interface, same rules (buffer sizes count UTF-16 code units) ---
  bool Has(std::u16string_view section, std::u16string_view key) const;
  std::u16string GetString(std::u16string_view section, std::u16string_view key,
                           std::u16string_view default_value,
                           size_t buffer_size = kNoBufferLimit) const;
  int GetInt(std::u16string_view section, std::u16string_view key, int default_value) const;
  bool PutString(std::u16string_view section, std::u16string_view key, std::u16string_view value);
  bool PutInt(std::u16string_view section, std::u16string_view key, int32_t value);
  bool RemoveKey(std::u16string_view section, std::u16string_view key);
  bool RemoveSection(std::u16string_view section);
  std::vector<std::u16string> SectionNamesW() const;
  std::vector<std::u16string> KeyNamesW(std::u16string_view section) const;

 private:
  enum class State { kEmpty, kMissing, kLoaded, kUnusable };

  std::string path_;
  ProfileEncoding encoding_ = ProfileEncoding::kCp932;
  State state_ = State::kEmpty;
  bool changed_ = false;
  ProfileText<char> cp932_;      // used when encoding_ is kCp932
  ProfileText<char16_t> utf16_;  // used when encoding_ is kUtf16Le
};

// Reads an integer the way GetPrivateProfileInt does (see above); `empty_value` for "".
int ParseProfileInt(std::string_view text, int empty_value);

// One-call forms, each a whole GetPrivateProfile* / WritePrivateProfileString: the file is read
// for the call and, for a change, written back, all under the profile lock. New files are CP932.
// (The names avoid the Win32 macros GetProfileString and WriteProfileString.)
std::string ReadProfileString(const std::string& path, std::string_view section,
                              std::string_view key, std::string_view default_value,
                              size_t buffer_size = kNoBufferLimit);
int ReadProfileInt(const std::string& path, std::string_view section, std::string_view key,
                   int default_value);
bool WriteProfileValue(const std::string& path, std::string_view section, std::string_view key,
                       std::string_view value);
bool DeleteProfileKey(const std::string& path, std::string_view section, std::string_view key);
bool DeleteProfileSection(const std::string& path, std::string_view section);

}  // namespace korvo

#endif  // KORVO_SHELL_PROFILE_FILE_H_
