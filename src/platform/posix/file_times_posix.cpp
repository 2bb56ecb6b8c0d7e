#include <sys/stat.h>

#include <algorithm>

#include "platform/file_times.h"

namespace korvo::platform {

bool FileWriteTime(const std::string& path, int64_t* unix_seconds) {
  std::string native = path;
  std::replace(native.begin(), native.end(), '\\', '/');
  struct stat st;
  if (::stat(native.c_str(), &st) != 0) return false;
  *unix_seconds = static_cast<int64_t>(st.st_mtime);
  return true;
}

}  // namespace korvo::platform
