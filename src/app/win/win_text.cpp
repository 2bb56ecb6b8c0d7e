#include "app/win/win_text.h"

#include "shell/main_window_ids.h"

namespace korvo {

std::wstring LoadResourceString(HINSTANCE instance, int id, const wchar_t* fallback) {
  wchar_t buffer[resource_id::kStringBufferBytes] = {};
  const int length =
      LoadStringW(instance, static_cast<UINT>(id), buffer, resource_id::kStringBufferBytes);
  if (length <= 0) return fallback;
  return std::wstring(buffer, static_cast<size_t>(length));
}

}  // namespace korvo
