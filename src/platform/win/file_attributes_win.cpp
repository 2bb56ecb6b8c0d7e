#include <windows.h>

#include "platform/code_page.h"
#include "platform/file_attributes.h"

namespace korvo::platform {

namespace {

// UTF-8 path -> wide path with '\' separators; absolute drive paths get the "\\?\" long form.
std::wstring WidePath(const std::string& path) {
  std::u16string wide = Utf8ToUtf16(path);
  for (char16_t& c : wide) {
    if (c == u'/') c = u'\\';
  }
  std::wstring out(wide.begin(), wide.end());
  if (out.size() >= 3 && out[1] == L':' && out[2] == L'\\') out.insert(0, L"\\\\?\\");
  return out;
}

}  // namespace

bool IsReadOnlyFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return false;
  }
  return (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

}  // namespace korvo::platform
