// korvoctl.exe: drives a running korvo.exe from outside, for the end-to-end tests.
//
//   korvoctl wait-window <ms>          waits for the main window, then prints its info line
//   korvoctl info                      the main window: class, title, styles, rectangle, ...
//   korvoctl send <message> [w] [l]    sends a message, prints the result (unsigned decimal)
//   korvoctl post <message> [w] [l]    posts a message
//   korvoctl close                     posts WM_CLOSE to the main window
//   korvoctl wait-gone <ms>            waits until no main window exists
//   korvoctl answer-box <ok|cancel|none> <ms> [caption]
//                                      waits for the message box captioned "KNR" (or `caption`),
//                                      prints its text (UTF-8) and presses the button (none:
//                                      leaves it open)
//   korvoctl hold-mutex <ms>           holds the instance mutex that long ("held"), or says
//                                      "exists" when another process has it
//
// and the commands for the other windows of korvoctl_windows.cpp.
//
// Exit code 0 on success, 1 when what was waited for did not happen, 2 on bad usage.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

int RunWindowCommand(const std::wstring& command, int argc, wchar_t** argv);
int SendOrPost(HWND window, bool post, UINT message, WPARAM w, LPARAM l);
std::string Utf8(const std::wstring& text);

namespace {

const wchar_t kClass[] = L"DIGITAL";
const wchar_t kTitle[] = L"KorvoNewsReader";

std::wstring WindowText(HWND window) {
  wchar_t buffer[1024] = {};
  GetWindowTextW(window, buffer, 1024);
  return buffer;
}

HWND MainWindow() { return FindWindowW(kClass, kTitle); }

// Calls `find` every 100 ms until it gives a window or `ms` passed.
template <typename Find>
HWND WaitFor(Find find, long ms) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(ms);
  for (;;) {
    if (HWND w = find()) return w;
    if (GetTickCount64() >= end) return nullptr;
    Sleep(100);
  }
}

int PrintInfo(HWND window) {
  if (window == nullptr) {
    std::printf("no window\n");
    return 1;
  }
  wchar_t class_name[256] = {};
  GetClassNameW(window, class_name, 256);
  const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  const LONG_PTR ex_style = GetWindowLongPtrW(window, GWL_EXSTYLE);
  RECT r = {};
  GetWindowRect(window, &r);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  std::printf(
      "class=%s title=%s style=0x%08lx exstyle=0x%08lx popup=%d topmost=%d toolwindow=%d "
      "visible=%d rect=%ld,%ld,%ld,%ld pid=%lu\n",
      Utf8(class_name).c_str(), Utf8(WindowText(window)).c_str(), static_cast<unsigned long>(style),
      static_cast<unsigned long>(ex_style), (style & WS_POPUP) != 0,
      (ex_style & WS_EX_TOPMOST) != 0, (ex_style & WS_EX_TOOLWINDOW) != 0,
      IsWindowVisible(window) != FALSE, r.left, r.top, r.right, r.bottom,
      static_cast<unsigned long>(pid));
  return 0;
}

long Number(int argc, wchar_t** argv, int i) {
  return i < argc ? std::wcstol(argv[i], nullptr, 0) : 0;
}

struct BoxSearch {
  const wchar_t* caption = L"KNR";
  HWND found = nullptr;
};

BOOL CALLBACK FindBox(HWND window, LPARAM l) {
  wchar_t class_name[64] = {};
  GetClassNameW(window, class_name, 64);
  auto* search = reinterpret_cast<BoxSearch*>(l);
  if (std::wcscmp(class_name, L"#32770") == 0 && WindowText(window) == search->caption &&
      IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

const wchar_t* g_box_caption = L"KNR";

HWND MessageBoxWindow() {
  BoxSearch search;
  search.caption = g_box_caption;
  EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

BOOL CALLBACK PrintStatic(HWND child, LPARAM) {
  wchar_t class_name[64] = {};
  GetClassNameW(child, class_name, 64);
  if (_wcsicmp(class_name, L"Static") == 0) {
    const std::wstring text = WindowText(child);
    if (!text.empty()) std::printf("box text: %s\n", Utf8(text).c_str());
  }
  return TRUE;
}

int Usage() {
  std::fprintf(stderr,
               "usage: korvoctl wait-window|info|send|post|close|wait-gone|answer-box|"
               "hold-mutex ...\n");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return Usage();
  const std::wstring command = argv[1];
  if (command == L"wait-window") {
    return PrintInfo(WaitFor(MainWindow, Number(argc, argv, 2)));
  }
  if (command == L"info") return PrintInfo(MainWindow());
  if (command == L"send" || command == L"post") {
    if (argc < 3) return Usage();
    HWND window = MainWindow();
    if (window == nullptr) {
      std::printf("no window\n");
      return 1;
    }
    return SendOrPost(window, command == L"post", static_cast<UINT>(Number(argc, argv, 2)),
                      static_cast<WPARAM>(Number(argc, argv, 3)),
                      static_cast<LPARAM>(Number(argc, argv, 4)));
  }
  if (command == L"close") {
    HWND window = MainWindow();
    return window != nullptr && PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
  }
  if (command == L"wait-gone") {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(Number(argc, argv, 2));
    while (MainWindow() != nullptr) {
      if (GetTickCount64() >= end) return 1;
      Sleep(100);
    }
    return 0;
  }
  if (command == L"answer-box") {
    if (argc < 4) return Usage();
    const bool ok = std::wcscmp(argv[2], L"ok") == 0;
    const bool press = ok || std::wcscmp(argv[2], L"cancel") == 0;
    if (argc > 4) g_box_caption = argv[4];
    HWND box = WaitFor(MessageBoxWindow, Number(argc, argv, 3));
    if (box == nullptr) {
      std::printf("no box\n");
      return 1;
    }
    EnumChildWindows(box, PrintStatic, 0);
    std::fflush(stdout);
    if (!press) return 0;
    const int button = ok ? IDOK : IDCANCEL;
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
    return 0;
  }
  if (command == L"hold-mutex") {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, L"KorvoNewsReader_20050201");
    if (mutex == nullptr || GetLastError() == ERROR_ALREADY_EXISTS) {
      std::printf("exists\n");
      if (mutex != nullptr) CloseHandle(mutex);
      return 1;
    }
    std::printf("held\n");
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(Number(argc, argv, 2)));
    CloseHandle(mutex);
    return 0;
  }
  const int window_command = RunWindowCommand(command, argc, argv);
  if (window_command >= 0) return window_command == 2 ? Usage() : window_command;
  return Usage();
}
