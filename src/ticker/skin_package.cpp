#include "ticker/skin_package.h"

#include <unzip.h>

#include <memory>
#include <set>
#include <string_view>
#include <utility>

#include "platform/code_page.h"
#include "platform/files.h"
#include "ticker/skin_entry_name.h"
#include "ticker/skin_files.h"

namespace korvo {

namespace {

// --- minizip over the platform's file layer ---

struct ZipStream {
  platform::File file;
  uint64_t position = 0;
  uint64_t size = 0;
};

voidpf ZipOpen(voidpf, const void* path, int mode) {
  if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) return nullptr;
  auto stream = std::make_unique<ZipStream>();
  if (!stream->file.Open(*static_cast<const std::string*>(path), platform::File::Mode::kRead)) {
    return nullptr;
  }
  const int64_t size = stream->file.Size();
  if (size < 0) return nullptr;
  stream->size = static_cast<uint64_t>(size);
  return stream.release();
}

uLong ZipRead(voidpf, voidpf opaque, void* buffer, uLong size) {
  auto* stream = static_cast<ZipStream*>(opaque);
  const int64_t got = stream->file.ReadAt(stream->position, buffer, size);
  if (got <= 0) return 0;
  stream->position += static_cast<uint64_t>(got);
  return static_cast<uLong>(got);
}

uLong ZipWrite(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T ZipTell(voidpf, voidpf opaque) { return static_cast<ZipStream*>(opaque)->position; }

long ZipSeek(voidpf, voidpf opaque, ZPOS64_T offset, int origin) {  // NOLINT(runtime/int)
  auto* stream = static_cast<ZipStream*>(opaque);
  uint64_t base = 0;
  switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET:
      break;
    case ZLIB_FILEFUNC_SEEK_CUR:
      base = stream->position;
      break;
    case ZLIB_FILEFUNC_SEEK_END:
      base = stream->size;
      break;
    default:
      return -1;
  }
  if (offset > stream->size || base + offset > stream->size) return -1;
  stream->position = base + offset;
  return 0;
}

int ZipClose(voidpf, voidpf opaque) {
  delete static_cast<ZipStream*>(opaque);
  return 0;
}

int ZipError(voidpf, voidpf) { return 0; }

// An open archive; closed by the destructor.
class ZipArchive {
 public:
  explicit ZipArchive(const std::string& path) : path_(path) {
    zlib_filefunc64_def functions = {};
    functions.zopen64_file = ZipOpen;
    functions.zread_file = ZipRead;
    functions.zwrite_file = ZipWrite;
    functions.ztell64_file = ZipTell;
    functions.zseek64_file = ZipSeek;
    functions.zclose_file = ZipClose;
    functions.zerror_file = ZipError;
    handle_ = unzOpen2_64(&path_, &functions);
  }
  ~ZipArchive() {
    if (handle_ != nullptr) unzClose(handle_);
  }
  ZipArchive(const ZipArchive&) = delete;
  ZipArchive& operator=(const ZipArchive&) = delete;

  unzFile get() const { return handle_; }

 private:
  std::string path_;  // minizip hands this address back to ZipOpen
  unzFile handle_ = nullptr;
};

// One entry as the walk sees it.
struct ZipEntry {
  std::string name;  // CP932
  uint64_t size = 0;
  bool folder = false;
};

constexpr size_t kMaxEntryName = 1024;

// Reads the current entry's header; false on a read error or a name that cannot be one.
bool ReadEntry(unzFile zip, ZipEntry* entry) {
  unz_file_info64 info;
  char name[kMaxEntryName + 1] = {};
  if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK) {
    return false;
  }
  if (info.size_filename == 0 || info.size_filename > kMaxEntryName) return false;
  std::string raw(name, info.size_filename);
  if (raw.find('\0') != std::string::npos) return false;
  // General purpose flag bit 11: the name is UTF-8; otherwise it is in the archive maker's code
  // page, which for the skins of this program is CP932.
  entry->name = (info.flag & 0x800) != 0 ? platform::Utf8ToCp932(raw) : raw;
  entry->size = info.uncompressed_size;
  entry->folder = false;
  return true;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// Sorts one file name into the info; false when it breaks a rule (a second bitmap, skin file,
// button bitmap, or the same name twice).
bool AddFile(const std::string& file, uint64_t size, std::set<std::string>* seen,
             SkinPackageInfo* info) {
  if (!IsSafeFileName(file) || !seen->insert(Lower(file)).second) return false;
  if (Lower(file) == kButtonBitmapName) {
    if (!info->button_entry.empty()) return false;
    info->button_entry = file;
  } else if (HasSuffixNoCase(file, ".bmp")) {
    if (!info->bitmap_entry.empty()) return false;
    info->bitmap_entry = file;
  } else if (HasSuffixNoCase(file, ".ini")) {
    if (!info->ini_entry.empty()) return false;
    info->ini_entry = file;
  }
  if (IsProgramFileName(file)) info->has_program_files = true;
  info->bytes += size;
  if (info->bytes > kMaxPackageBytes || info->files.size() >= kMaxPackageEntries) return false;
  info->files.push_back(file);
  return true;
}

// Walks the archive's entries and checks the package rules; `entries` gets each file entry's
// name within the folder, in archive order (empty for the folder's own entry).
SkinCheck WalkPackage(unzFile zip, SkinPackageInfo* info, std::vector<std::string>* entries) {
  *info = SkinPackageInfo();
  entries->clear();
  std::set<std::string> seen;
  int count = 0;
  for (int status = unzGoToFirstFile(zip); status != UNZ_END_OF_LIST_OF_FILE;
       status = unzGoToNextFile(zip)) {
    if (status != UNZ_OK || ++count > kMaxPackageEntries) return SkinCheck::kNotSkin;
    ZipEntry entry;
    if (!ReadEntry(zip, &entry)) return SkinCheck::kNotSkin;
    std::vector<std::string> parts;
    bool trailing = false;
    if (!SplitCp932Path(entry.name, &parts, &trailing)) return SkinCheck::kNotSkin;
    // "folder\" (the folder's own entry) or "folder\file"; nothing else.
    if (trailing ? parts.size() != 1 : parts.size() != 2) return SkinCheck::kNotSkin;
    const std::string& folder = parts[0];
    if (!IsSafeSkinName(folder)) return SkinCheck::kNotSkin;
    if (info->name.empty()) {
      info->name = folder;
    } else if (info->name != folder) {
      return SkinCheck::kNotSkin;
    }
    if (trailing) {
      entries->emplace_back();
      continue;
    }
    if (!AddFile(parts[1], entry.size, &seen, info)) return SkinCheck::kNotSkin;
    entries->push_back(parts[1]);
  }
  if (info->bitmap_entry.empty() || info->ini_entry.empty()) return SkinCheck::kNotSkin;
  return SkinCheck::kSkin;
}

// Reads the current entry in pieces, handing each to `sink`; false on a read or checksum error,
// or when it gives more than `limit` bytes.
template <typename Sink>
bool ReadCurrentEntry(unzFile zip, uint64_t limit, Sink&& sink) {
  if (unzOpenCurrentFile(zip) != UNZ_OK) return false;
  char piece[kPackageCopyPiece];
  uint64_t total = 0;
  bool ok = true;
  for (;;) {
    const int got = unzReadCurrentFile(zip, piece, sizeof piece);
    if (got < 0) {
      ok = false;
      break;
    }
    if (got == 0) break;
    total += static_cast<uint64_t>(got);
    if (total > limit || !sink(piece, static_cast<size_t>(got))) {
      ok = false;
      break;
    }
  }
  // Reports a checksum mismatch once the whole entry was read.
  return unzCloseCurrentFile(zip) == UNZ_OK && ok;
}

// Writes a skin's files into a staging folder inside skin_root\<name>\ and moves them into place
// only when all of them were written, so a failure leaves the skin as it was (and no new folder
// behind).
class StagedInstall {
 public:
  StagedInstall(const std::string& skin_root, const std::string& name)
      : folder_(skin_root + "/" + platform::Cp932ToUtf8(name)),
        staging_(folder_ + "/~korvo-install") {}
  ~StagedInstall() { Abort(); }
  StagedInstall(const StagedInstall&) = delete;
  StagedInstall& operator=(const StagedInstall&) = delete;

  bool Begin(const std::string& skin_root) {
    if (!platform::MakeDirectory(skin_root)) return false;
    created_folder_ = !platform::DirectoryExists(folder_);
    if (!platform::MakeDirectory(folder_)) return false;
    begun_ = true;
    return platform::MakeDirectory(staging_);
  }

  // Opens the staged copy of file `name` (CP932) for writing.
  bool Open(const std::string& name) {
    current_ = staging_ + "/" + std::to_string(files_.size());
    files_.emplace_back(current_, folder_ + "/" + platform::Cp932ToUtf8(name));
    offset_ = 0;
    return out_.Open(current_, platform::File::Mode::kTruncate);
  }
  bool Write(const char* data, size_t size) {
    if (!out_.WriteAt(offset_, data, size)) return false;
    offset_ += size;
    return true;
  }
  bool Close() {
    const bool ok = out_.is_open();
    out_.Close();
    return ok;
  }

  // Moves every staged file into place.
  bool Commit() {
    bool ok = true;
    for (const auto& [staged, final_path] : files_) {
      if (!platform::RenameFile(staged, final_path, true)) {
        platform::RemoveFile(staged);
        ok = false;
      }
    }
    files_.clear();
    platform::RemoveEmptyDirectory(staging_);
    committed_ = true;
    return ok;
  }

  void Abort() {
    if (!begun_ || committed_) return;
    out_.Close();
    for (const auto& file : files_) platform::RemoveFile(file.first);
    files_.clear();
    platform::RemoveEmptyDirectory(staging_);
    if (created_folder_) platform::RemoveEmptyDirectory(folder_);
    begun_ = false;
  }

 private:
  std::string folder_;
  std::string staging_;
  std::vector<std::pair<std::string, std::string>> files_;  // staged, final
  std::string current_;
  platform::File out_;
  uint64_t offset_ = 0;
  bool created_folder_ = false;
  bool begun_ = false;
  bool committed_ = false;
};

std::string LastComponent(const std::string& path) {
  size_t end = path.size();
  while (end > 0 && (path[end - 1] == '/' || path[end - 1] == '\\')) --end;
  const size_t start = path.find_last_of("/\\", end == 0 ? 0 : end - 1);
  return path.substr(start == std::string::npos ? 0 : start + 1,
                     end - (start == std::string::npos ? 0 : start + 1));
}

bool IsInstalled(const std::string& skin_root, const std::string& name) {
  return platform::DirectoryExists(skin_root + "/" + platform::Cp932ToUtf8(name));
}

}  // namespace

SkinCheck CheckSkinPackage(const std::string& archive_path, const std::string& skin_root,
                           SkinPackageInfo* info) {
  ZipArchive zip(archive_path);
  if (zip.get() == nullptr) return SkinCheck::kNotArchive;
  std::vector<std::string> entries;
  const SkinCheck check = WalkPackage(zip.get(), info, &entries);
  if (check == SkinCheck::kSkin) info->installed = IsInstalled(skin_root, info->name);
  return check;
}

bool InstallSkinPackage(const std::string& archive_path, const std::string& skin_root,
                        SkinPackageInfo* info) {
  ZipArchive zip(archive_path);
  if (zip.get() == nullptr) return false;
  std::vector<std::string> entries;
  if (WalkPackage(zip.get(), info, &entries) != SkinCheck::kSkin) return false;
  info->installed = IsInstalled(skin_root, info->name);

  StagedInstall install(skin_root, info->name);
  if (!install.Begin(skin_root)) return false;
  size_t index = 0;
  for (int status = unzGoToFirstFile(zip.get()); status != UNZ_END_OF_LIST_OF_FILE;
       status = unzGoToNextFile(zip.get()), ++index) {
    if (status != UNZ_OK || index >= entries.size()) return false;
    if (entries[index].empty()) continue;  // the folder's own entry
    if (!install.Open(entries[index])) return false;
    const bool read =
        ReadCurrentEntry(zip.get(), kMaxPackageBytes,
                         [&install](const char* d, size_t n) { return install.Write(d, n); });
    if (!install.Close() || !read) return false;
  }
  return install.Commit();
}

SkinCheck CheckFolderSkin(const std::string& folder, const std::string& skin_root,
                          SkinPackageInfo* info) {
  *info = SkinPackageInfo();
  if (!platform::DirectoryExists(folder)) return SkinCheck::kNotSkin;
  info->name = platform::Utf8ToCp932(LastComponent(folder));
  if (!IsSafeSkinName(info->name)) return SkinCheck::kNotSkin;
  std::set<std::string> seen;
  for (const platform::DirectoryEntry& entry : platform::ListDirectory(folder)) {
    if (entry.is_directory) continue;
    const std::string name = platform::Utf8ToCp932(entry.name);
    if (!IsSafeFileName(name)) continue;  // a name the skin could not keep
    const int64_t size = platform::FileSize(folder + "/" + entry.name);
    if (size < 0) return SkinCheck::kNotSkin;
    if (!AddFile(name, static_cast<uint64_t>(size), &seen, info)) return SkinCheck::kNotSkin;
  }
  if (info->bitmap_entry.empty() || info->ini_entry.empty()) return SkinCheck::kNotSkin;
  info->installed = IsInstalled(skin_root, info->name);
  return SkinCheck::kSkin;
}

bool InstallFolderSkin(const std::string& folder, const std::string& skin_root,
                       SkinPackageInfo* info) {
  if (CheckFolderSkin(folder, skin_root, info) != SkinCheck::kSkin) return false;
  StagedInstall install(skin_root, info->name);
  if (!install.Begin(skin_root)) return false;
  uint64_t total = 0;
  for (const std::string& name : info->files) {
    platform::File in;
    if (!in.Open(folder + "/" + platform::Cp932ToUtf8(name), platform::File::Mode::kRead) ||
        !install.Open(name)) {
      return false;
    }
    char piece[kPackageCopyPiece];
    for (uint64_t offset = 0;;) {
      const int64_t got = in.ReadAt(offset, piece, sizeof piece);
      if (got < 0) return false;
      if (got == 0) break;
      offset += static_cast<uint64_t>(got);
      total += static_cast<uint64_t>(got);
      if (total > kMaxPackageBytes || !install.Write(piece, static_cast<size_t>(got))) {
        return false;
      }
    }
    if (!install.Close()) return false;
  }
  return install.Commit();
}

}  // namespace korvo
