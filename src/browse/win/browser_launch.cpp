#include "browse/win/browser_launch.h"

#include <shellapi.h>

#include <vector>

#include "platform/code_page.h"
#include "shell/general_settings.h"
#include "shell/main_window_ids.h"
#include "ticker/win/browser_launch.h"

namespace korvo {

namespace {

// A setting the headline window copies into a buffer of `size` bytes (messages 1164 / 1166).
std::string AskMainWindow(HWND main_window, UINT message, size_t size) {
  std::vector<char> buffer(size, '\0');
  SendMessageW(main_window, message, reinterpret_cast<WPARAM>(buffer.data()), 0);
  buffer.back() = '\0';
  return std::string(buffer.data());
}

}  // namespace

bool OpenInExternalBrowser(HWND main_window, const std::string& link, bool explicit_browser) {
  BrowserSettings settings;
  if (main_window != nullptr) {
    settings.flags =
        static_cast<uint32_t>(SendMessageW(main_window, main_window_message::kGeneralFlags, 0, 0));
    settings.path =
        AskMainWindow(main_window, main_window_message::kCopyBrowserPath, kBrowserPathSize);
    settings.option =
        AskMainWindow(main_window, main_window_message::kCopyBrowserOption, kBrowserOptionSize);
  }
  return OpenInBrowser(link, settings, explicit_browser);
}

bool OpenFileWithShell(HWND owner, const std::string& utf8_path) {
  std::wstring path = platform::WideFromUtf8(utf8_path);
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return reinterpret_cast<INT_PTR>(
             ShellExecuteW(owner, nullptr, path.c_str(), nullptr, nullptr, SW_SHOWNORMAL)) > 32;
}

}  // namespace korvo
