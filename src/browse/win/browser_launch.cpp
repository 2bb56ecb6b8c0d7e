#include "browse/win/browser_launch.h"

#include <shellapi.h>

#include <vector>

#include "browse/browser_rules.h"
#include "platform/code_page.h"
#include "shell/general_settings.h"
#include "shell/main_window_ids.h"

namespace korvo {

namespace {

bool Started(HINSTANCE result) { return reinterpret_cast<INT_PTR>(result) > 32; }

void ShowError(HWND owner, const wchar_t* text) {
  MessageBoxW(owner, text, L"ERROR", MB_OK | MB_ICONERROR);
}

// A setting the headline window copies into a buffer of `size` bytes (messages 1164 / 1166).
std::string AskMainWindow(HWND main_window, UINT message, size_t size) {
  std::vector<char> buffer(size, '\0');
  SendMessageW(main_window, message, reinterpret_cast<WPARAM>(buffer.data()), 0);
  buffer.back() = '\0';
  return std::string(buffer.data());
}

// Rule 4: the program of HKEY_CLASSES_ROOT\http\shell\open\command, started with the link.
bool OpenWithDefaultBrowser(HWND owner, const std::wstring& link, bool report) {
  wchar_t command[1025] = {};
  LONG size = sizeof command;
  if (RegQueryValueW(HKEY_CLASSES_ROOT, L"http\\shell\\open\\command", command, &size) !=
      ERROR_SUCCESS) {
    return false;
  }
  if (size > 1024) {
    if (report) ShowError(owner, L"can't get path");
    return false;
  }
  const std::string program = ProgramOfCommand(platform::Utf8FromWide(command));
  if (program.empty()) return false;
  return Started(ShellExecuteW(owner, L"open", platform::WideFromUtf8(program).c_str(),
                               link.c_str(), nullptr, SW_SHOWNORMAL));
}

}  // namespace

bool OpenInExternalBrowser(HWND main_window, HWND owner, const std::string& link,
                           bool explicit_browser) {
  if (!MayOpenLink(link)) return false;
  const std::wstring wide_link = platform::WideFromCp932(link);
  if (main_window != nullptr &&
      SendMessageW(main_window, main_window_message::kOpenInBrowseWindow, 0, 0) != 0) {
    const std::string path =
        AskMainWindow(main_window, main_window_message::kCopyBrowserPath, kBrowserPathSize);
    const std::string options =
        AskMainWindow(main_window, main_window_message::kCopyBrowserOption, kBrowserOptionSize);
    const std::string program = ProgramOfCommand(path);
    const std::string parameters = BrowserParameters(options, link);
    if (Started(ShellExecuteW(owner, L"open", platform::WideFromCp932(program).c_str(),
                              platform::WideFromCp932(parameters).c_str(), nullptr,
                              SW_SHOWNORMAL))) {
      return true;
    }
    ShowError(owner, L"can't open the browser");
    return false;
  }
  if (explicit_browser && OpenWithDefaultBrowser(owner, wide_link, true)) return true;
  if (Started(ShellExecuteW(owner, nullptr, wide_link.c_str(), nullptr, nullptr, SW_SHOWNORMAL))) {
    return true;
  }
  if (OpenWithDefaultBrowser(owner, wide_link, false)) return true;
  ShowError(owner, L"can't open the browser");
  return false;
}

bool OpenFileWithShell(HWND owner, const std::string& utf8_path) {
  std::wstring path = platform::WideFromUtf8(utf8_path);
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return Started(ShellExecuteW(owner, nullptr, path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
}

}  // namespace korvo
