// Files and folders on POSIX. '\' in a path is a folder separator, as on Windows.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "platform/files.h"

namespace korvo::platform {

namespace {

std::string Native(const std::string& path) {
  std::string p = path;
  std::replace(p.begin(), p.end(), '\\', '/');
  return p;
}

bool StatIs(const std::string& path, mode_t type) {
  struct stat st;
  return ::stat(Native(path).c_str(), &st) == 0 && (st.st_mode & S_IFMT) == type;
}

}  // namespace

bool FileExists(const std::string& path) { return StatIs(path, S_IFREG); }
bool DirectoryExists(const std::string& path) { return StatIs(path, S_IFDIR); }

bool MakeDirectory(const std::string& path) {
  if (::mkdir(Native(path).c_str(), 0777) == 0) return true;
  return DirectoryExists(path);
}

bool CopyFileNoOverwrite(const std::string& from, const std::string& to) {
  const int in = ::open(Native(from).c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  const int out = ::open(Native(to).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (out < 0) {
    ::close(in);
    return false;
  }
  char buffer[65536];
  bool ok = true;
  for (;;) {
    const ssize_t n = ::read(in, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    for (ssize_t done = 0; done < n;) {
      const ssize_t w = ::write(out, buffer + done, static_cast<size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) {
        ok = false;
        break;
      }
      done += w;
    }
    if (!ok) break;
  }
  ::close(in);
  if (::close(out) != 0) ok = false;
  if (!ok) ::unlink(Native(to).c_str());
  return ok;
}

bool RemoveFile(const std::string& path) { return ::unlink(Native(path).c_str()) == 0; }

bool RemoveEmptyDirectory(const std::string& path) { return ::rmdir(Native(path).c_str()) == 0; }

bool RenameFile(const std::string& from, const std::string& to, bool replace) {
  if (replace) return ::rename(Native(from).c_str(), Native(to).c_str()) == 0;
  // link + unlink refuses an existing target atomically.
  if (::link(Native(from).c_str(), Native(to).c_str()) != 0) return false;
  return ::unlink(Native(from).c_str()) == 0;
}

int64_t FileSize(const std::string& path) {
  struct stat st;
  if (::stat(Native(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return static_cast<int64_t>(st.st_size);
}

std::vector<DirectoryEntry> ListDirectory(const std::string& path) {
  std::vector<DirectoryEntry> entries;
  const std::string dir = Native(path);
  DIR* d = ::opendir(dir.c_str());
  if (d == nullptr) return entries;
  while (const dirent* e = ::readdir(d)) {
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    entries.push_back({name, StatIs(dir + "/" + name, S_IFDIR)});
  }
  ::closedir(d);
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
  char buffer[PATH_MAX];
  if (::getcwd(buffer, sizeof buffer) == nullptr) return std::string();
  return buffer;
}

bool ChangeDirectory(const std::string& path) { return ::chdir(Native(path).c_str()) == 0; }

File::~File() { Close(); }

File::File(File&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

bool File::Open(const std::string& path, Mode mode) {
  Close();
  int flags = O_CLOEXEC;
  switch (mode) {
    case Mode::kRead:
      flags |= O_RDONLY;
      break;
    case Mode::kReadWrite:
      flags |= O_RDWR;
      break;
    case Mode::kCreateOrOpen:
      flags |= O_RDWR | O_CREAT;
      break;
    case Mode::kTruncate:
      flags |= O_RDWR | O_CREAT | O_TRUNC;
      break;
    case Mode::kCreateNew:
      flags |= O_RDWR | O_CREAT | O_EXCL;
      break;
  }
  const std::string native = Native(path);
  fd_ = ::open(native.c_str(), flags, 0666);
  if (fd_ >= 0) {
    struct stat st;
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) Close();  // folders are not files
  }
  return fd_ >= 0;
}

void File::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool File::is_open() const { return fd_ >= 0; }

int64_t File::ReadAt(uint64_t offset, void* buffer, size_t size) const {
  if (fd_ < 0) return -1;
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pread(fd_, static_cast<char*>(buffer) + done, size - done,
                              static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return static_cast<int64_t>(done);
}

bool File::WriteAt(uint64_t offset, const void* buffer, size_t size) {
  if (fd_ < 0) return false;
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pwrite(fd_, static_cast<const char*>(buffer) + done, size - done,
                               static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

int64_t File::Size() const {
  struct stat st;
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) return -1;
  return static_cast<int64_t>(st.st_size);
}

bool File::Resize(uint64_t size) {
  return fd_ >= 0 && ::ftruncate(fd_, static_cast<off_t>(size)) == 0;
}

bool File::Flush() { return fd_ >= 0 && ::fsync(fd_) == 0; }

}  // namespace korvo::platform
