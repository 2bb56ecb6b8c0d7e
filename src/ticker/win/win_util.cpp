#include "ticker/win/win_util.h"

#include <cstdint>

#include "platform/code_page.h"

namespace korvo {

std::string Cp932FromWideText(std::wstring_view text) {
  return platform::Utf16ToCp932(std::u16string(text.begin(), text.end()));
}

std::wstring WideFromUtf8Text(std::string_view text) {
  const std::u16string u = platform::Utf8ToUtf16(text);
  return std::wstring(u.begin(), u.end());
}

std::string Utf8FromWideText(std::wstring_view text) {
  return platform::Utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

bool IsWritableBuffer(void* address, size_t size) {
  if (address == nullptr) return false;
  auto* p = static_cast<unsigned char*>(address);
  const uintptr_t end = reinterpret_cast<uintptr_t>(p) + size;
  if (end < reinterpret_cast<uintptr_t>(p)) return false;
  constexpr DWORD kWritable =
      PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  while (reinterpret_cast<uintptr_t>(p) < end) {
    MEMORY_BASIC_INFORMATION info;
    if (VirtualQuery(p, &info, sizeof info) == 0 || info.State != MEM_COMMIT ||
        (info.Protect & kWritable) == 0 || (info.Protect & (PAGE_GUARD | PAGE_NOACCESS)) != 0) {
      return false;
    }
    p = static_cast<unsigned char*>(info.BaseAddress) + info.RegionSize;
  }
  return true;
}

std::string ReadMessageText(const void* address, size_t max_bytes) {
  std::string text;
  const auto* p = static_cast<const char*>(address);
  if (p == nullptr) return text;
  constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                              PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  while (text.size() < max_bytes) {
    MEMORY_BASIC_INFORMATION info;
    if (VirtualQuery(p, &info, sizeof info) == 0 || info.State != MEM_COMMIT ||
        (info.Protect & kReadable) == 0 || (info.Protect & (PAGE_GUARD | PAGE_NOACCESS)) != 0) {
      return std::string();
    }
    const char* end = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
    for (; p < end && text.size() < max_bytes; ++p) {
      if (*p == '\0') return text;
      text += *p;
    }
  }
  return text;
}

}  // namespace korvo
