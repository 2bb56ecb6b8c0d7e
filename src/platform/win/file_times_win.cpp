#include <windows.h>

#include <algorithm>

#include "platform/code_page.h"
#include "platform/file_times.h"

namespace korvo::platform {

namespace {

// The wide form of a path: '\' separators, and the "\\?\" long form for absolute drive paths.
std::wstring WidePath(const std::string& utf8) {
  const std::u16string u = Utf8ToUtf16(utf8);
  std::wstring w(u.begin(), u.end());
  std::replace(w.begin(), w.end(), L'/', L'\\');
  if (w.size() >= 3 && w[1] == L':' && w[2] == L'\\') w = L"\\\\?\\" + w;
  return w;
}

}  // namespace

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
