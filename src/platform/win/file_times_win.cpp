#include <windows.h>

#include "platform/file_times.h"
#include "platform/win/wide_path.h"

namespace korvo::platform {

bool FileWriteTime(const std::string& path, int64_t* unix_seconds) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data)) return false;
  ULARGE_INTEGER t;
  t.LowPart = data.ftLastWriteTime.dwLowDateTime;
  t.HighPart = data.ftLastWriteTime.dwHighDateTime;
  // 100 ns steps since 1601-01-01; 11644473600 s lie between 1601 and 1970.
  *unix_seconds = static_cast<int64_t>(t.QuadPart / 10000000ULL) - 11644473600LL;
  return true;
}

}  // namespace korvo::platform
