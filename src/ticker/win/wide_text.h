// CP932 (the program's internal text) to the UTF-16 of the wide Win32 functions.
#ifndef KORVO_TICKER_WIN_WIDE_TEXT_H_
#define KORVO_TICKER_WIN_WIDE_TEXT_H_

#include <string>
#include <string_view>

#include "platform/code_page.h"

namespace korvo {

inline std::wstring WideText(std::string_view cp932) {
  const std::u16string text = platform::Cp932ToUtf16(cp932);
  return std::wstring(text.begin(), text.end());
}

}  // namespace korvo

#endif  // KORVO_TICKER_WIN_WIDE_TEXT_H_
