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
//   korvoctl skin-info                 the skin window ("DrawString"): as info, plus its layered
//                                      alpha and colour key, and its buttons (id:x,y,w,h)
//   korvoctl skin-send <message> [w] [l]
//                                      sends a message to the skin window, prints the result
//   korvoctl drop-file <path>          posts WM_DROPFILES with `path` to the main window
//   korvoctl click-at <x> <y>          moves the pointer to the screen point and clicks there
//   korvoctl move <x> <y>              moves the pointer to the screen point
//   korvoctl keys <modifiers> <key>    presses a key (virtual-key code) with the modifiers held
//                                      (1 Alt, 2 Control, 4 Shift, as hot keys count them)
//   korvoctl drag <file|link> <text> <x> <y>
//                                      drags a file (CF_HDROP) or a link (CF_UNICODETEXT) with
//                                      OLE drag and drop and drops it at the screen point
//
// and the commands for the other windows of korvoctl_windows.cpp.
//
// Exit code 0 on success, 1 when what was waited for did not happen, 2 on bad usage.
#include <windows.h>
// After windows.h, which they need.
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

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
HWND SkinWindow() { return FindWindowW(L"DrawString", nullptr); }

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

BOOL CALLBACK PrintButton(HWND child, LPARAM) {
  RECT r = {};
  GetWindowRect(child, &r);
  std::printf(" button=%d:%ld,%ld,%ld,%ld", GetDlgCtrlID(child), r.left, r.top, r.right - r.left,
              r.bottom - r.top);
  return TRUE;
}

int PrintSkinInfo(HWND window) {
  if (window == nullptr) {
    std::printf("no window\n");
    return 1;
  }
  RECT r = {};
  GetWindowRect(window, &r);
  COLORREF key = 0;
  BYTE alpha = 0;
  DWORD flags = 0;
  const BOOL layered = GetLayeredWindowAttributes(window, &key, &alpha, &flags);
  std::printf(
      "class=DrawString exstyle=0x%08lx visible=%d rect=%ld,%ld,%ld,%ld alpha=%d key=%06lx "
      "layered_flags=%lu",
      static_cast<unsigned long>(GetWindowLongPtrW(window, GWL_EXSTYLE)),
      IsWindowVisible(window) != FALSE, r.left, r.top, r.right, r.bottom, layered ? alpha : -1,
      static_cast<unsigned long>(key), static_cast<unsigned long>(flags));
  EnumChildWindows(window, PrintButton, 0);
  std::printf("\n");
  return 0;
}

// Posts WM_DROPFILES with one path, as the shell does after a drop.
int DropFile(HWND window, const std::wstring& path) {
  const size_t bytes = sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
  if (memory == nullptr) return 1;
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), path.c_str(),
              path.size() * sizeof(wchar_t));
  GlobalUnlock(memory);
  return PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0) ? 0 : 1;
}

void Pointer(int x, int y, bool click) {
  SetCursorPos(x, y);
  if (!click) return;
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_MOUSE;
  input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(1, &input[0], sizeof(INPUT));
  Sleep(50);
  SendInput(1, &input[1], sizeof(INPUT));
}

// The data object of a drag: one format in global memory.
class DragData : public IDataObject {
 public:
  DragData(CLIPFORMAT format, HGLOBAL data) : data_(data) {
    format_ = {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  }
  virtual ~DragData() { GlobalFree(data_); }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
      *out = static_cast<IDataObject*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* f, STGMEDIUM* m) override {
    if (QueryGetData(f) != S_OK) return DV_E_FORMATETC;
    m->tymed = TYMED_HGLOBAL;
    m->hGlobal = static_cast<HGLOBAL>(OleDuplicateData(data_, format_.cfFormat, 0));
    m->pUnkForRelease = nullptr;
    return m->hGlobal != nullptr ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* f) override {
    return f != nullptr && f->cfFormat == format_.cfFormat && (f->tymed & TYMED_HGLOBAL) != 0
               ? S_OK
               : DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    out->ptd = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
    if (direction != DATADIR_GET) return E_NOTIMPL;
    return SHCreateStdEnumFmtEtc(1, &format_, out);
  }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }

 private:
  ULONG refs_ = 1;
  FORMATETC format_;
  HGLOBAL data_;
};

// Drops after a few rounds of the drag loop, so the target has seen the pointer enter.
class DragSource : public IDropSource {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropSource)) {
      *out = static_cast<IDropSource*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD) override {
    if (escape) return DRAGDROP_S_CANCEL;
    return ++rounds_ < 4 ? S_OK : DRAGDROP_S_DROP;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

 private:
  int rounds_ = 0;
};

int Drag(bool file, const std::wstring& text, int x, int y) {
  if (FAILED(OleInitialize(nullptr))) return 1;
  HGLOBAL memory = nullptr;
  CLIPFORMAT format = CF_UNICODETEXT;
  if (file) {
    format = CF_HDROP;
    const size_t bytes = sizeof(DROPFILES) + (text.size() + 2) * sizeof(wchar_t);
    memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), text.c_str(),
                text.size() * sizeof(wchar_t));
  } else {
    memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, (text.size() + 1) * sizeof(wchar_t));
    std::memcpy(GlobalLock(memory), text.c_str(), text.size() * sizeof(wchar_t));
  }
  GlobalUnlock(memory);
  SetCursorPos(x, y);
  auto* data = new DragData(format, memory);
  DragSource source;
  DWORD effect = 0;
  const HRESULT hr = DoDragDrop(data, &source, DROPEFFECT_COPY | DROPEFFECT_LINK, &effect);
  data->Release();
  OleUninitialize();
  std::printf("drag: %s effect=%lu\n", hr == DRAGDROP_S_DROP ? "dropped" : "not dropped",
              static_cast<unsigned long>(effect));
  return hr == DRAGDROP_S_DROP ? 0 : 1;
}

void Keys(int modifiers, int key) {
  const struct {
    int bit;
    WORD vk;
  } kModifiers[] = {{1, VK_MENU}, {2, VK_CONTROL}, {4, VK_SHIFT}};
  std::vector<INPUT> input;
  auto add = [&input](WORD vk, bool up) {
    INPUT i = {};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = vk;
    i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    input.push_back(i);
  };
  for (const auto& m : kModifiers) {
    if (modifiers & m.bit) add(m.vk, false);
  }
  add(static_cast<WORD>(key), false);
  add(static_cast<WORD>(key), true);
  for (const auto& m : kModifiers) {
    if (modifiers & m.bit) add(m.vk, true);
  }
  for (INPUT& i : input) {
    SendInput(1, &i, sizeof(INPUT));
    Sleep(20);
  }
}

int Usage() {
  std::fprintf(stderr,
               "usage: korvoctl wait-window|info|send|post|close|wait-gone|answer-box|"
               "hold-mutex|skin-info|skin-send|drop-file|drag|click-at|move|keys ...\n");
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
  if (command == L"skin-info") return PrintSkinInfo(SkinWindow());
  if (command == L"drop-file") {
    HWND window = MainWindow();
    return argc < 3 || window == nullptr ? Usage() : DropFile(window, argv[2]);
  }
  if (command == L"drag") {
    if (argc < 6) return Usage();
    return Drag(std::wcscmp(argv[2], L"file") == 0, argv[3],
                static_cast<int>(Number(argc, argv, 4)), static_cast<int>(Number(argc, argv, 5)));
  }
  if (command == L"keys") {
    if (argc < 4) return Usage();
    Keys(static_cast<int>(Number(argc, argv, 2)), static_cast<int>(Number(argc, argv, 3)));
    return 0;
  }
  if (command == L"click-at" || command == L"move") {
    if (argc < 4) return Usage();
    Pointer(static_cast<int>(Number(argc, argv, 2)), static_cast<int>(Number(argc, argv, 3)),
            command == L"click-at");
    return 0;
  }
  if (command == L"send" || command == L"post" || command == L"skin-send") {
    if (argc < 3) return Usage();
    HWND window = command == L"skin-send" ? SkinWindow() : MainWindow();
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
