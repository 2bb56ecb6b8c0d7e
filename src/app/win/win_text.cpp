#include "app/win/win_text.h"

#include "platform/code_page.h"
#include "shell/main_window_ids.h"

namespace korvo {

namespace {

std::wstring FromU16(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }
std::u16string ToU16(std::wstring_view text) { return std::u16string(text.begin(), text.end()); }

}  // namespace

std::wstring WideFromCp932(std::string_view text) { return FromU16(platform::Cp932ToUtf16(text)); }
std::string Cp932FromWide(std::wstring_view text) { return platform::Utf16ToCp932(ToU16(text)); }
std::wstring WideFromUtf8(std::string_view text) { return FromU16(platform::Utf8ToUtf16(text)); }
std::string Utf8FromWide(std::wstring_view text) { return platform::Utf16ToUtf8(ToU16(text)); }

std::wstring LoadResourceString(HINSTANCE instance, int id, const wchar_t* fallback) {
  wchar_t buffer[resource_id::kStringBufferBytes] = {};
  const int length =
      LoadStringW(instance, static_cast<UINT>(id), buffer, resource_id::kStringBufferBytes);
  if (length <= 0) return fallback;
  return std::wstring(buffer, static_cast<size_t>(length));
}

}  // namespace korvo
