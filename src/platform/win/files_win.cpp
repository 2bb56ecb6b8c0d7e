// Files and folders on Windows: the wide (W) functions on long-form paths.
#include <windows.h>

#include <algorithm>

#include "platform/files.h"
#include "platform/win/wide_path.h"

namespace korvo::platform {

namespace {

DWORD Attributes(const std::string& path) {
  const std::wstring wide = WidePath(path);
  return wide.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(wide.c_str());
}

// ReadFile/WriteFile move at most a DWORD per call; larger requests go in pieces of this size.
constexpr size_t kMaxIo = 1u << 30;

OVERLAPPED At(uint64_t offset) {
  OVERLAPPED o = {};
  o.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
  o.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return o;
}

}  // namespace

bool FileExists(const std::string& path) {
  const DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::string& path) {
  const DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool MakeDirectory(const std::string& path) {
  const std::wstring wide = WidePath(path);
  if (!wide.empty() && CreateDirectoryW(wide.c_str(), nullptr)) return true;
  return DirectoryExists(path);
}

bool CopyFileNoOverwrite(const std::string& from, const std::string& to) {
  return CopyFileW(WidePath(from).c_str(), WidePath(to).c_str(), TRUE) != 0;
}

bool RemoveFile(const std::string& path) { return DeleteFileW(WidePath(path).c_str()) != 0; }

bool RemoveEmptyDirectory(const std::string& path) {
  return RemoveDirectoryW(WidePath(path).c_str()) != 0;
}

bool RenameFile(const std::string& from, const std::string& to, bool replace) {
  const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
  return MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(), flags) != 0;
}

int64_t FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return -1;
  }
  return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::vector<DirectoryEntry> ListDirectory(const std::string& path) {
  std::vector<DirectoryEntry> entries;
  std::wstring pattern = WidePath(path);
  if (pattern.empty()) return entries;
  if (pattern.back() != L'\\') pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW found;
  HANDLE h =
      FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
  if (h == INVALID_HANDLE_VALUE) return entries;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    entries.push_back({Utf8Path(name), (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileW(h, &found));
  FindClose(h);
  std::sort(entries.begin(), entries.end(),
            [](const DirectoryEntry& a, const DirectoryEntry& b) { return a.name < b.name; });
  return entries;
}

bool ReadWholeFile(const std::string& path, std::string* out, size_t max_bytes) {
  File f;
  if (!f.Open(path, File::Mode::kRead)) return false;
  const int64_t size = f.Size();
  if (size < 0 || static_cast<uint64_t>(size) > max_bytes) return false;
  out->resize(static_cast<size_t>(size));
  const int64_t got = f.ReadAt(0, out->data(), out->size());
  if (got < 0) return false;
  out->resize(static_cast<size_t>(got));
  return true;
}

bool WriteWholeFile(const std::string& path, std::string_view data) {
  File f;
  return f.Open(path, File::Mode::kTruncate) && f.WriteAt(0, data.data(), data.size());
}

std::string CurrentDirectory() {
  const DWORD needed = GetCurrentDirectoryW(0, nullptr);
  if (needed == 0) return std::string();
  std::wstring dir(needed, L'\0');
  const DWORD written = GetCurrentDirectoryW(needed, dir.data());
  if (written == 0 || written >= needed) return std::string();
  dir.resize(written);
  return Utf8Path(dir);
}

bool ChangeDirectory(const std::string& path) {
  const std::wstring wide = WidePathShort(path);
  return !wide.empty() && SetCurrentDirectoryW(wide.c_str()) != 0;
}

File::~File() { Close(); }

File::File(File&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = other.handle_;
    other.handle_ = nullptr;
  }
  return *this;
}

bool File::Open(const std::string& path, Mode mode) {
  Close();
  DWORD access = GENERIC_READ | GENERIC_WRITE;
  DWORD disposition = OPEN_EXISTING;
  switch (mode) {
    case Mode::kRead:
      access = GENERIC_READ;
      break;
    case Mode::kReadWrite:
      break;
    case Mode::kCreateOrOpen:
      disposition = OPEN_ALWAYS;
      break;
    case Mode::kTruncate:
      disposition = CREATE_ALWAYS;
      break;
    case Mode::kCreateNew:
      disposition = CREATE_NEW;
      break;
  }
  // Other processes may read, write, rename and delete while the file is open, as on POSIX.
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  HANDLE h = CreateFileW(WidePath(path).c_str(), access, share, nullptr, disposition,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  handle_ = h;
  return true;
}

void File::Close() {
  if (handle_ != nullptr) CloseHandle(static_cast<HANDLE>(handle_));
  handle_ = nullptr;
}

bool File::is_open() const { return handle_ != nullptr; }

int64_t File::ReadAt(uint64_t offset, void* buffer, size_t size) const {
  if (handle_ == nullptr) return -1;
  size_t done = 0;
  while (done < size) {
    OVERLAPPED o = At(offset + done);
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min(size - done, kMaxIo));
    if (!ReadFile(static_cast<HANDLE>(handle_), static_cast<char*>(buffer) + done, want, &got,
                  &o)) {
      if (GetLastError() == ERROR_HANDLE_EOF) break;
      return -1;
    }
    if (got == 0) break;
    done += got;
  }
  return static_cast<int64_t>(done);
}

bool File::WriteAt(uint64_t offset, const void* buffer, size_t size) {
  if (handle_ == nullptr) return false;
  size_t done = 0;
  while (done < size) {
    OVERLAPPED o = At(offset + done);
    DWORD put = 0;
    const DWORD want = static_cast<DWORD>(std::min(size - done, kMaxIo));
    if (!WriteFile(static_cast<HANDLE>(handle_), static_cast<const char*>(buffer) + done, want,
                   &put, &o) ||
        put == 0) {
      return false;
    }
    done += put;
  }
  return true;
}

int64_t File::Size() const {
  LARGE_INTEGER size;
  if (handle_ == nullptr || !GetFileSizeEx(static_cast<HANDLE>(handle_), &size)) return -1;
  return size.QuadPart;
}

bool File::Resize(uint64_t size) {
  if (handle_ == nullptr) return false;
  FILE_END_OF_FILE_INFO info;
  info.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
  return SetFileInformationByHandle(static_cast<HANDLE>(handle_), FileEndOfFileInfo, &info,
                                    sizeof info) != 0;
}

bool File::Flush() {
  return handle_ != nullptr && FlushFileBuffers(static_cast<HANDLE>(handle_)) != 0;
}

}  // namespace korvo::platform
