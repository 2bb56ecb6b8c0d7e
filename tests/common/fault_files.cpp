#include "common/fault_files.h"

#include <algorithm>

namespace korvo::testing {

namespace {

std::string Key(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

}  // namespace

class FaultFiles::FaultFile : public StoreFile {
 public:
  FaultFile(FaultFiles* owner, std::string path, std::unique_ptr<StoreFile> base)
      : owner_(owner), path_(std::move(path)), base_(std::move(base)) {}
  int64_t ReadAt(uint64_t offset, void* buffer, size_t size) override {
    return owner_->ReadAt(path_, *base_, offset, buffer, size);
  }
  bool WriteAt(uint64_t offset, const void* buffer, size_t size) override {
    return owner_->WriteAt(path_, *base_, offset, buffer, size);
  }
  int64_t Size() override { return base_->Size(); }
  bool Resize(uint64_t size) override { return owner_->Resize(path_, *base_, size); }
  bool Flush() override { return owner_->Flush(path_, *base_); }

 private:
  FaultFiles* owner_;
  std::string path_;
  std::unique_ptr<StoreFile> base_;
};

void FaultFiles::FailChangesTo(const std::string& part) {
  std::lock_guard<std::mutex> hold(mutex_);
  fail_changes_.push_back(part);
}

void FaultFiles::FailOpensOf(const std::string& part) {
  std::lock_guard<std::mutex> hold(mutex_);
  fail_opens_.push_back(part);
}

void FaultFiles::FailReadsOf(const std::string& part) {
  std::lock_guard<std::mutex> hold(mutex_);
  fail_reads_.push_back(part);
}

void FaultFiles::FailChange(uint64_t n) {
  std::lock_guard<std::mutex> hold(mutex_);
  fail_numbers_.push_back(n);
}

void FaultFiles::SetSpaceLeft(uint64_t bytes) {
  std::lock_guard<std::mutex> hold(mutex_);
  space_limited_ = true;
  space_left_ = bytes;
}

void FaultFiles::StopAtChange(uint64_t n, size_t torn_bytes) {
  std::lock_guard<std::mutex> hold(mutex_);
  stop_at_ = n;
  torn_bytes_ = torn_bytes;
}

uint64_t FaultFiles::changes() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return changes_;
}

bool FaultFiles::stopped() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return stop_at_ != 0 && changes_ >= stop_at_;
}

bool FaultFiles::Matches(const std::string& path, const std::vector<std::string>& parts) {
  return std::any_of(parts.begin(), parts.end(),
                     [&](const std::string& p) { return path.find(p) != std::string::npos; });
}

bool FaultFiles::AdmitChange(const std::string& path, size_t* torn) {
  const uint64_t n = ++changes_;
  *torn = 0;
  if (stop_at_ != 0 && n >= stop_at_) {
    if (n == stop_at_) *torn = torn_bytes_;
    return false;
  }
  if (Matches(path, fail_changes_)) return false;
  return std::find(fail_numbers_.begin(), fail_numbers_.end(), n) == fail_numbers_.end();
}

void FaultFiles::RememberWrite(const std::string& path, StoreFile& base, uint64_t offset,
                               size_t size) {
  Undo undo;
  const int64_t old_size = base.Size();
  undo.old_size = old_size < 0 ? 0 : static_cast<uint64_t>(old_size);
  undo.offset = offset;
  if (offset < undo.old_size) {
    undo.old_bytes.resize(static_cast<size_t>(std::min<uint64_t>(size, undo.old_size - offset)));
    const int64_t got = base.ReadAt(offset, undo.old_bytes.data(), undo.old_bytes.size());
    undo.old_bytes.resize(got < 0 ? 0 : static_cast<size_t>(got));
  }
  unflushed_[path].push_back(std::move(undo));
}

void FaultFiles::RememberResize(const std::string& path, StoreFile& base, uint64_t new_size) {
  const int64_t old_size = base.Size();
  const uint64_t old = old_size < 0 ? 0 : static_cast<uint64_t>(old_size);
  if (new_size < old) {
    RememberWrite(path, base, new_size, static_cast<size_t>(old - new_size));
  } else {
    Undo undo;
    undo.old_size = old;
    unflushed_[path].push_back(std::move(undo));
  }
}

void FaultFiles::Flushed(const std::string& path) { unflushed_.erase(path); }

int64_t FaultFiles::ReadAt(const std::string& path, StoreFile& base, uint64_t offset, void* buffer,
                           size_t size) {
  std::lock_guard<std::mutex> hold(mutex_);
  if (Matches(path, fail_reads_)) return -1;
  return base.ReadAt(offset, buffer, size);
}

bool FaultFiles::WriteAt(const std::string& path, StoreFile& base, uint64_t offset,
                         const void* buffer, size_t size) {
  std::lock_guard<std::mutex> hold(mutex_);
  size_t torn = 0;
  if (!AdmitChange(path, &torn)) {
    if (torn > 0) {
      const size_t part = std::min(torn, size);
      RememberWrite(path, base, offset, part);
      base.WriteAt(offset, buffer, part);
    }
    return false;
  }
  if (space_limited_) {
    const int64_t current = base.Size();
    const uint64_t cur = current < 0 ? 0 : static_cast<uint64_t>(current);
    const uint64_t end = offset + size;
    const uint64_t growth = end > cur ? end - cur : 0;
    if (growth > space_left_) {
      const uint64_t limit = cur + space_left_;
      const size_t fits = limit > offset ? static_cast<size_t>(limit - offset) : 0;
      if (fits > 0) {
        RememberWrite(path, base, offset, fits);
        base.WriteAt(offset, buffer, fits);
      }
      space_left_ = 0;
      return false;
    }
    space_left_ -= growth;
  }
  RememberWrite(path, base, offset, size);
  return base.WriteAt(offset, buffer, size);
}

bool FaultFiles::Resize(const std::string& path, StoreFile& base, uint64_t size) {
  std::lock_guard<std::mutex> hold(mutex_);
  size_t torn = 0;
  if (!AdmitChange(path, &torn)) return false;
  if (space_limited_) {
    const int64_t current = base.Size();
    const uint64_t cur = current < 0 ? 0 : static_cast<uint64_t>(current);
    if (size > cur) {
      if (size - cur > space_left_) return false;
      space_left_ -= size - cur;
    } else {
      space_left_ += cur - size;
    }
  }
  RememberResize(path, base, size);
  return base.Resize(size);
}

bool FaultFiles::Flush(const std::string& path, StoreFile& base) {
  std::lock_guard<std::mutex> hold(mutex_);
  // A stopped process flushes nothing more.
  if (stop_at_ != 0 && changes_ >= stop_at_) return false;
  if (!base.Flush()) return false;
  Flushed(path);
  return true;
}

std::unique_ptr<StoreFile> FaultFiles::Open(const std::string& path, Mode mode) {
  const std::string key = Key(path);
  std::lock_guard<std::mutex> hold(mutex_);
  if (Matches(key, fail_opens_)) return nullptr;
  if (mode != Mode::kRead && Matches(key, fail_changes_)) return nullptr;
  const bool exists = base_.Exists(path);
  const bool creates = !exists && (mode == Mode::kCreateOrOpen || mode == Mode::kTruncate);
  std::unique_ptr<StoreFile> before;
  if (exists && mode == Mode::kTruncate) {
    before = base_.Open(path, Mode::kReadWrite);
    if (before && before->Size() <= 0) before.reset();  // emptying an empty file changes nothing
  }
  if (creates || before) {
    size_t torn = 0;
    if (!AdmitChange(key, &torn)) return nullptr;
    if (before) RememberResize(key, *before, 0);
  }
  before.reset();
  std::unique_ptr<StoreFile> file = base_.Open(path, mode);
  if (!file) return nullptr;
  return std::make_unique<FaultFile>(this, key, std::move(file));
}

bool FaultFiles::Exists(const std::string& path) { return base_.Exists(path); }

bool FaultFiles::Remove(const std::string& path) {
  const std::string key = Key(path);
  std::lock_guard<std::mutex> hold(mutex_);
  size_t torn = 0;
  if (!AdmitChange(key, &torn)) return false;
  if (!base_.Remove(path)) return false;
  unflushed_.erase(key);
  return true;
}

bool FaultFiles::Rename(const std::string& from, const std::string& to) {
  const std::string from_key = Key(from);
  const std::string to_key = Key(to);
  std::lock_guard<std::mutex> hold(mutex_);
  size_t torn = 0;
  if (Matches(to_key, fail_changes_) || !AdmitChange(from_key, &torn)) return false;
  if (!base_.Rename(from, to)) return false;
  // The target now holds the source's bytes, with the source's unflushed changes.
  std::vector<Undo> moved;
  auto it = unflushed_.find(from_key);
  if (it != unflushed_.end()) {
    moved = std::move(it->second);
    unflushed_.erase(it);
  }
  unflushed_.erase(to_key);
  if (!moved.empty()) unflushed_[to_key] = std::move(moved);
  return true;
}

bool FaultFiles::MakeDirectory(const std::string& path) {
  {
    std::lock_guard<std::mutex> hold(mutex_);
    if (Matches(Key(path), fail_changes_)) return false;
  }
  return base_.MakeDirectory(path);
}

void FaultFiles::DropUnflushed() {
  std::lock_guard<std::mutex> hold(mutex_);
  for (auto& [path, undos] : unflushed_) {
    std::unique_ptr<StoreFile> file = base_.Open(path, Mode::kCreateOrOpen);
    if (!file) continue;
    for (auto it = undos.rbegin(); it != undos.rend(); ++it) {
      if (!it->old_bytes.empty())
        file->WriteAt(it->offset, it->old_bytes.data(), it->old_bytes.size());
      file->Resize(it->old_size);
    }
  }
  unflushed_.clear();
}

}  // namespace korvo::testing
