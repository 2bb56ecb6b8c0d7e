#include <windows.h>

#include "platform/code_page.h"
#include "platform/win/wide_path.h"

namespace korvo::platform {

namespace {

std::wstring ToWide(const std::string& path) {
  const std::u16string u16 = Utf8ToUtf16(path);
  std::wstring wide(u16.begin(), u16.end());
  for (wchar_t& c : wide) {
    if (c == L'/') c = L'\\';
  }
  return wide;
}

std::wstring FullPath(const std::wstring& wide) {
  DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return wide;
  std::wstring full(needed, L'\0');
  const DWORD written = GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
  if (written == 0 || written >= needed) return wide;
  full.resize(written);
  return full;
}

}  // namespace

std::wstring WidePathShort(const std::string& path) {
  const std::wstring wide = ToWide(path);
  if (wide.empty() || wide.rfind(L"\\\\?\\", 0) == 0) return wide;
  return FullPath(wide);
}

std::wstring WidePath(const std::string& path) {
  const std::wstring wide = ToWide(path);
  if (wide.empty() || wide.rfind(L"\\\\?\\", 0) == 0) return wide;
  const std::wstring full = FullPath(wide);
  if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\') return L"\\\\?\\" + full;
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return full;
}

std::string Utf8Path(const std::wstring& path) {
  std::wstring p = path;
  if (p.rfind(L"\\\\?\\UNC\\", 0) == 0) {
    p = L"\\\\" + p.substr(8);
  } else if (p.rfind(L"\\\\?\\", 0) == 0) {
    p = p.substr(4);
  }
  for (wchar_t& c : p) {
    if (c == L'\\') c = L'/';
  }
  return Utf16ToUtf8(std::u16string(p.begin(), p.end()));
}

}  // namespace korvo::platform
