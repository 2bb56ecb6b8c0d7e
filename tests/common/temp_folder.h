// A fresh folder for one test, removed with everything in it when the test ends.
#ifndef KORVO_TESTS_COMMON_TEMP_FOLDER_H_
#define KORVO_TESTS_COMMON_TEMP_FOLDER_H_

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <system_error>

namespace korvo::testing {

class TempFolder {
 public:
  TempFolder() {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = std::filesystem::temp_directory_path() /
            ("korvo_test_" + std::to_string(stamp) + "_" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // UTF-8 path with '/' separators.
  std::string path() const { return path_.generic_u8string(); }
  std::string operator/(const std::string& name) const { return path() + "/" + name; }

 private:
  std::filesystem::path path_;
};

// Changes the current directory for a scope and restores it.
class ScopedCurrentDirectory {
 public:
  explicit ScopedCurrentDirectory(const std::string& path)
      : saved_(std::filesystem::current_path()) {
    std::filesystem::current_path(std::filesystem::u8path(path));
  }
  ~ScopedCurrentDirectory() {
    std::error_code ec;
    std::filesystem::current_path(saved_, ec);
  }

 private:
  std::filesystem::path saved_;
};

}  // namespace korvo::testing

#endif  // KORVO_TESTS_COMMON_TEMP_FOLDER_H_
