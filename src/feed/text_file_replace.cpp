#include "feed/text_file_replace.h"

#include <atomic>
#include <cstdint>

#include "platform/files.h"
#include "platform/system_info.h"

namespace korvo {

namespace {

// Names tried before giving up when every one is taken (by files a crash left behind).
constexpr int kNameAttempts = 100;

}  // namespace

bool ReplaceFileThroughTemporary(const std::string& temp_folder, const std::string& utf8_path,
                                 std::string_view data,
                                 const std::function<bool(const std::string&)>& prepare) {
  static std::atomic<uint32_t> counter{0};
  const std::string stem =
      temp_folder + "/~korvo-" + std::to_string(platform::CurrentProcessId()) + "-";
  std::string temporary;
  platform::File file;
  for (int i = 0; i < kNameAttempts && !file.is_open(); ++i) {
    temporary = stem + std::to_string(counter.fetch_add(1)) + ".part";
    file.Open(temporary, platform::File::Mode::kCreateNew);
  }
  if (!file.is_open()) return false;
  bool ok = true;
  if (prepare) {
    file.Close();  // the preparation may need the file closed (Windows security changes)
    ok = prepare(temporary) && file.Open(temporary, platform::File::Mode::kReadWrite);
  }
  ok = ok && file.WriteAt(0, data.data(), data.size());
  file.Close();
  if (ok && platform::RenameFile(temporary, utf8_path, /*replace=*/true)) return true;
  platform::RemoveFile(temporary);
  return false;
}

bool WriteFileReplacing(const std::string& utf8_path, std::string_view data) {
  const size_t slash = utf8_path.find_last_of("/\\");
  const std::string folder = slash == std::string::npos ? "." : utf8_path.substr(0, slash);
  return ReplaceFileThroughTemporary(folder, utf8_path, data);
}

}  // namespace korvo
