#include "store/store_files.h"

namespace korvo {

namespace {

class SystemFile : public StoreFile {
 public:
  explicit SystemFile(platform::File file) : file_(std::move(file)) {}
  int64_t ReadAt(uint64_t offset, void* buffer, size_t size) override {
    return file_.ReadAt(offset, buffer, size);
  }
  bool WriteAt(uint64_t offset, const void* buffer, size_t size) override {
    return file_.WriteAt(offset, buffer, size);
  }
  int64_t Size() override { return file_.Size(); }
  bool Resize(uint64_t size) override { return file_.Resize(size); }
  bool Flush() override { return file_.Flush(); }

 private:
  platform::File file_;
};

class SystemFiles : public StoreFiles {
 public:
  std::unique_ptr<StoreFile> Open(const std::string& path, Mode mode) override {
    platform::File file;
    if (!file.Open(path, mode)) return nullptr;
    return std::make_unique<SystemFile>(std::move(file));
  }
  bool Exists(const std::string& path) override { return platform::FileExists(path); }
  bool Remove(const std::string& path) override { return platform::RemoveFile(path); }
  bool Rename(const std::string& from, const std::string& to) override {
    return platform::RenameFile(from, to, true);
  }
  bool MakeDirectory(const std::string& path) override { return platform::MakeDirectory(path); }
};

}  // namespace

StoreFiles& StoreFiles::System() {
  static SystemFiles files;
  return files;
}

}  // namespace korvo
