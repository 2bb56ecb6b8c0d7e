// korvoctl's commands for the program's other windows (the browse window, its panes and
// dialogs), addressed by a top-level window class and a path of control ids ("201/104": child
// 201, then its child 104):
//
//   korvoctl find-window <class> <ms>         waits for a visible top-level window of the class
//   korvoctl win-send <class> <path> <msg> [w] [l]   sends a message, prints the result
//   korvoctl win-post <class> <path> <msg> [w] [l]   posts a message
//   korvoctl win-text <class> <path>          prints the window text (UTF-8)
//   korvoctl set-text <class> <path> <text>   sets the window text
//   korvoctl click <class> <path>             posts BM_CLICK to a button
//   korvoctl visible <class> <path>           prints 1 when the window is visible, else 0
//   korvoctl list-items <class> <path> <column>...   a list view's rows: count, then one line
//                                             per row with the columns' texts, tab-separated
//   korvoctl list-select <class> <path> <row> selects a row of a list view (and focuses it)
//   korvoctl status-text <class> <path> <part>       a status bar part's text
//   korvoctl popups                          the open pop-up menus: count, then their rectangles
//
// Texts of other processes' controls are read through memory allocated in that process.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

long Number(int argc, wchar_t** argv, int i) {
  return i < argc ? std::wcstol(argv[i], nullptr, 0) : 0;
}

struct ClassSearch {
  const wchar_t* name;
  HWND found = nullptr;
};

BOOL CALLBACK FindByClass(HWND window, LPARAM l) {
  auto* search = reinterpret_cast<ClassSearch*>(l);
  wchar_t class_name[128] = {};
  GetClassNameW(window, class_name, 128);
  if (std::wcscmp(class_name, search->name) == 0 && IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND TopLevel(const wchar_t* class_name) {
  ClassSearch search{class_name};
  EnumWindows(FindByClass, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The window at `path` ("201/104", or "." for the top-level window itself).
HWND Resolve(const wchar_t* class_name, const wchar_t* path) {
  HWND window = TopLevel(class_name);
  if (window == nullptr || std::wcscmp(path, L".") == 0) return window;
  std::wstring rest = path;
  while (window != nullptr && !rest.empty()) {
    const size_t slash = rest.find(L'/');
    const int id = std::wcstol(rest.substr(0, slash).c_str(), nullptr, 0);
    window = GetDlgItem(window, id);
    rest = slash == std::wstring::npos ? std::wstring() : rest.substr(slash + 1);
  }
  return window;
}

// Memory in the process that owns `window`, freed with the object.
class RemoteBuffer {
 public:
  RemoteBuffer(HWND window, size_t size) : size_(size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_ != nullptr) {
      address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
  }
  ~RemoteBuffer() {
    if (address_ != nullptr) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_ != nullptr) CloseHandle(process_);
  }
  bool ok() const { return address_ != nullptr; }
  void* address() const { return address_; }
  bool Write(const void* data, size_t size, size_t offset = 0) {
    return WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, size,
                              nullptr) != 0;
  }
  bool Read(void* data, size_t size, size_t offset = 0) const {
    return ReadProcessMemory(process_, static_cast<char*>(address_) + offset, data, size,
                             nullptr) != 0;
  }

 private:
  size_t size_;
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
};

constexpr size_t kTextUnits = 2048;

std::wstring ListItemText(HWND list, int row, int column) {
  RemoteBuffer buffer(list, sizeof(LVITEMW) + kTextUnits * sizeof(wchar_t));
  if (!buffer.ok()) return std::wstring();
  LVITEMW item = {};
  item.iSubItem = column;
  item.cchTextMax = static_cast<int>(kTextUnits);
  item.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(buffer.address()) + sizeof item);
  buffer.Write(&item, sizeof item);
  SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(buffer.address()));
  std::vector<wchar_t> text(kTextUnits + 1, L'\0');
  buffer.Read(text.data(), kTextUnits * sizeof(wchar_t), sizeof item);
  return text.data();
}

int Missing() {
  std::printf("no window\n");
  return 1;
}

}  // namespace

// UTF-8 of a wide text (korvoctl prints UTF-8).
std::string Utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

// Sends (printing the result, unsigned decimal, or "no answer") or posts a message; 0 on success.
int SendOrPost(HWND window, bool post, UINT message, WPARAM w, LPARAM l) {
  if (post) return PostMessageW(window, message, w, l) ? 0 : 1;
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, message, w, l, SMTO_ABORTIFHUNG, 10000, &result)) {
    std::printf("no answer\n");
    return 1;
  }
  std::printf("%lu\n", static_cast<unsigned long>(static_cast<DWORD>(result)));
  return 0;
}

// EnumWindows callback: adds the visible pop-up menus (class "#32768") to the vector at `l`.
BOOL CALLBACK CollectVisiblePopupMenu(HWND window, LPARAM l) {
  wchar_t class_name[16] = {};
  GetClassNameW(window, class_name, 16);
  if (std::wcscmp(class_name, L"#32768") == 0 && IsWindowVisible(window)) {
    reinterpret_cast<std::vector<HWND>*>(l)->push_back(window);
  }
  return TRUE;
}

// -1 when `command` is not one of these.
int RunWindowCommand(const std::wstring& command, int argc, wchar_t** argv) {
  if (command == L"find-window") {
    if (argc < 4) return 2;
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(Number(argc, argv, 3));
    for (;;) {
      if (HWND window = TopLevel(argv[2])) {
        RECT r = {};
        GetWindowRect(window, &r);
        wchar_t title[256] = {};
        GetWindowTextW(window, title, 256);
        std::printf("title=%s rect=%ld,%ld,%ld,%ld\n", Utf8(title).c_str(), r.left, r.top, r.right,
                    r.bottom);
        return 0;
      }
      if (GetTickCount64() >= end) return Missing();
      Sleep(100);
    }
  }
  if (command == L"popups") {
    std::vector<HWND> popups;
    EnumWindows(CollectVisiblePopupMenu, reinterpret_cast<LPARAM>(&popups));
    std::printf("count=%zu\n", popups.size());
    for (HWND popup : popups) {
      RECT r = {};
      GetWindowRect(popup, &r);
      std::printf("rect=%ld,%ld,%ld,%ld\n", r.left, r.top, r.right, r.bottom);
    }
    return 0;
  }
  if (argc < 4) return -1;
  const bool known = command == L"win-send" || command == L"win-post" || command == L"win-text" ||
                     command == L"set-text" || command == L"click" || command == L"visible" ||
                     command == L"list-items" || command == L"list-select" ||
                     command == L"status-text";
  if (!known) return -1;
  HWND window = Resolve(argv[2], argv[3]);
  if (window == nullptr) return Missing();
  if (command == L"win-send" || command == L"win-post") {
    if (argc < 5) return 2;
    return SendOrPost(window, command == L"win-post", static_cast<UINT>(Number(argc, argv, 4)),
                      static_cast<WPARAM>(Number(argc, argv, 5)),
                      static_cast<LPARAM>(Number(argc, argv, 6)));
  }
  if (command == L"win-text") {
    wchar_t text[4096] = {};
    SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        5000, nullptr);
    std::printf("%s\n", Utf8(text).c_str());
    return 0;
  }
  if (command == L"set-text") {
    if (argc < 5) return 2;
    return SendMessageTimeoutW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]),
                               SMTO_ABORTIFHUNG, 5000, nullptr) != 0
               ? 0
               : 1;
  }
  if (command == L"click") return PostMessageW(window, BM_CLICK, 0, 0) ? 0 : 1;
  if (command == L"visible") {
    RECT r = {};
    GetWindowRect(window, &r);
    const bool shown = IsWindowVisible(window) && r.right > r.left && r.bottom > r.top;
    std::printf("%d\n", shown ? 1 : 0);
    return 0;
  }
  if (command == L"list-items") {
    const int count = static_cast<int>(SendMessageW(window, LVM_GETITEMCOUNT, 0, 0));
    std::printf("count=%d\n", count);
    for (int row = 0; row < count; ++row) {
      std::string line;
      for (int i = 4; i < argc; ++i) {
        if (i > 4) line += '\t';
        line += Utf8(ListItemText(window, row, static_cast<int>(Number(argc, argv, i))));
      }
      std::printf("%s\n", line.c_str());
    }
    return 0;
  }
  if (command == L"list-select") {
    if (argc < 5) return 2;
    RemoteBuffer buffer(window, sizeof(LVITEMW));
    if (!buffer.ok()) return 1;
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = 0;
    buffer.Write(&item, sizeof item);
    SendMessageW(window, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(buffer.address()));
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    buffer.Write(&item, sizeof item);
    SendMessageW(window, LVM_SETITEMSTATE, static_cast<WPARAM>(Number(argc, argv, 4)),
                 reinterpret_cast<LPARAM>(buffer.address()));
    return 0;
  }
  if (command == L"status-text") {
    if (argc < 5) return 2;
    RemoteBuffer buffer(window, kTextUnits * sizeof(wchar_t));
    if (!buffer.ok()) return 1;
    SendMessageW(window, SB_GETTEXTW, static_cast<WPARAM>(Number(argc, argv, 4)),
                 reinterpret_cast<LPARAM>(buffer.address()));
    std::vector<wchar_t> text(kTextUnits + 1, L'\0');
    buffer.Read(text.data(), kTextUnits * sizeof(wchar_t));
    std::printf("%s\n", Utf8(text.data()).c_str());
    return 0;
  }
  return -1;
}
