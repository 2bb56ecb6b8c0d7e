#include "feed/text_file_replace.h"

#include "platform/files.h"

namespace korvo {

bool WriteFileReplacing(const std::string& utf8_path, std::string_view data) {
  const std::string temporary = utf8_path + ".tmp";
  if (platform::WriteWholeFile(temporary, data) &&
      platform::RenameFile(temporary, utf8_path, /*replace=*/true)) {
    return true;
  }
  platform::RemoveFile(temporary);
  return false;
}

}  // namespace korvo
