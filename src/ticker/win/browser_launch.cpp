#include "ticker/win/browser_launch.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "ticker/link_opening.h"
#include "ticker/win/wide_text.h"

namespace korvo {

namespace {

// The registry value is read into this many bytes at most.
constexpr DWORD kMaxCommandBytes = 1024;

void ShowError(const wchar_t* text) {
  MessageBoxW(nullptr, text, L"ERROR", MB_OK | MB_ICONERROR | MB_TOPMOST);
}

bool Launched(HINSTANCE result) { return reinterpret_cast<INT_PTR>(result) > 32; }

// The default browser's program started with `argument`.
bool StartDefaultBrowser(const std::wstring& argument) {
  wchar_t value[kMaxCommandBytes / sizeof(wchar_t)] = {};
  DWORD size = sizeof value;
  const LSTATUS status =
      RegGetValueW(HKEY_CLASSES_ROOT, L"http\\shell\\open\\command", nullptr,
                   RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, value, &size);
  if (status == ERROR_MORE_DATA) {
    ShowError(L"can't get path");
    return false;
  }
  if (status != ERROR_SUCCESS) return false;
  const std::wstring program = ProgramFromCommand(std::wstring_view(value));
  if (program.empty()) return false;
  return Launched(
      ShellExecuteW(nullptr, L"open", program.c_str(), argument.c_str(), nullptr, SW_SHOWNORMAL));
}

bool ShellOpen(const std::wstring& address) {
  return Launched(
      ShellExecuteW(nullptr, nullptr, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
}

}  // namespace

bool OpenInBrowser(const std::string& link, const BrowserSettings& settings,
                   bool explicit_browser) {
  if (!MayOpenLink(link)) return false;
  const std::wstring address = WideText(EncodeLinkForBrowser(link));
  const std::wstring quoted = L"\"" + address + L"\"";
  switch (ChooseBrowser(settings.flags, explicit_browser).way) {
    case BrowserChoice::Way::kNamed: {
      // A path naming an existing file is taken whole, blanks and all; otherwise it is read
      // like a command line (quotes removed, up to the first blank outside them).
      std::wstring program = WideText(settings.path);
      if (GetFileAttributesW(program.c_str()) == INVALID_FILE_ATTRIBUTES) {
        program = WideText(ProgramFromCommand(std::string_view(settings.path)));
      }
      const std::string parameters = NamedBrowserParameters(settings.option, link);
      if (!program.empty() && !parameters.empty() &&
          Launched(ShellExecuteW(nullptr, L"open", program.c_str(), WideText(parameters).c_str(),
                                 nullptr, SW_SHOWNORMAL))) {
        return true;
      }
      break;
    }
    case BrowserChoice::Way::kExplicit:
      if (StartDefaultBrowser(quoted) || ShellOpen(address) || StartDefaultBrowser(quoted)) {
        return true;
      }
      break;
    case BrowserChoice::Way::kShell:
      if (ShellOpen(address) || StartDefaultBrowser(quoted)) return true;
      break;
  }
  ShowError(L"can't open the browser");
  return false;
}

}  // namespace korvo
