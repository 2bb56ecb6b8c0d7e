#include "store/win/progress_window.h"

#include <commctrl.h>

#include <chrono>

#include "platform/code_page.h"

namespace korvo {

namespace {

constexpr wchar_t kClassName[] = L"MyMessageWindow";
constexpr int kApplicationIcon = 107;
constexpr int kMargin = 8;
// Requests from the job's thread.
constexpr UINT kSetRange = WM_USER + 1;     // wParam: range
constexpr UINT kSetPosition = WM_USER + 2;  // wParam: position
constexpr UINT kClose = WM_USER + 3;

std::wstring Wide(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

}  // namespace

bool RegisterMessageWindowClass(HINSTANCE instance) {
  WNDCLASSEXW existing = {};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(instance, kClassName, &existing)) return true;
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = DefWindowProcW;  // each window installs its own procedure
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kApplicationIcon));
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  wc.lpszClassName = kClassName;
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

std::unique_ptr<ProgressWindow> ProgressWindow::Start(HINSTANCE instance,
                                                      const std::wstring& title) {
  std::unique_ptr<ProgressWindow> w(new ProgressWindow());
  w->thread_ = std::thread(&ProgressWindow::Run, w.get(), instance, title);
  {
    std::unique_lock<std::mutex> lock(w->mutex_);
    if (!w->ready_cv_.wait_for(lock, std::chrono::seconds(1), [&] { return w->ready_; })) {
      w->ready_cv_.wait_for(lock, std::chrono::seconds(4), [&] { return w->ready_; });
    }
  }
  if (w->window_.load() == nullptr) return nullptr;  // the destructor ends the thread
  return w;
}

ProgressWindow::~ProgressWindow() { Close(); }

void ProgressWindow::Run(HINSTANCE instance, std::wstring title) {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&icc);
  HWND window = nullptr;
  if (RegisterMessageWindowClass(instance)) {
    RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const ScreenRect r = ProgressWindowRect({work.left, work.top, work.right, work.bottom},
                                            GetSystemMetrics(SM_CYCAPTION));
    window = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClassName, title.c_str(),
                             WS_POPUP | WS_CAPTION | WS_SYSMENU, r.left, r.top, r.right - r.left,
                             r.bottom - r.top, nullptr, nullptr, instance, nullptr);
  }
  if (window != nullptr) {
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window, GWLP_WNDPROC,
                      reinterpret_cast<LONG_PTR>(&ProgressWindow::WindowProc));
    RECT client;
    GetClientRect(window, &client);
    CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE | PBS_SMOOTH, kMargin, kMargin,
                    client.right - 2 * kMargin, client.bottom - 2 * kMargin, window, nullptr,
                    instance, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    window_ = window;
    open_ = true;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ready_ = true;
  }
  ready_cv_.notify_all();
  if (window == nullptr) return;
  if (closing_) DestroyWindow(window);  // Close came before the window was ready
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

LRESULT CALLBACK ProgressWindow::WindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  auto* self = reinterpret_cast<ProgressWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  HWND bar = GetWindow(window, GW_CHILD);
  switch (message) {
    case kSetRange:
      if (bar != nullptr) SendMessageW(bar, PBM_SETRANGE32, 0, static_cast<LPARAM>(w));
      return 0;
    case kSetPosition:
      if (bar != nullptr) SendMessageW(bar, PBM_SETPOS, w, 0);
      return 0;
    case kClose:
      DestroyWindow(window);
      return 0;
    case WM_SIZE:
      if (bar != nullptr) {
        MoveWindow(bar, kMargin, kMargin, LOWORD(l) - 2 * kMargin, HIWORD(l) - 2 * kMargin, TRUE);
      }
      return 0;
    case WM_DESTROY:
      if (self != nullptr) {
        self->window_ = nullptr;
        self->open_ = false;
      }
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, w, l);
  }
}

void ProgressWindow::Post(UINT message, WPARAM w) {
  HWND window = window_.load();
  if (window != nullptr) PostMessageW(window, message, w, 0);
}

void ProgressWindow::SetRange(uint32_t range) {
  meter_.SetRange(range);
  Post(kSetRange, range);
  Post(kSetPosition, meter_.position());
}

void ProgressWindow::Step() {
  if (meter_.Step()) Post(kSetPosition, meter_.position());
}

void ProgressWindow::SetPosition(uint32_t position) {
  if (meter_.SetPosition(position)) Post(kSetPosition, meter_.position());
}

void ProgressWindow::Close() {
  closing_ = true;
  Post(kClose, 0);
  if (thread_.joinable()) thread_.join();
  open_ = false;
}

WindowProgressProvider::WindowProgressProvider(HINSTANCE instance, const std::string& stop_question,
                                               HWND owner)
    : instance_(instance),
      stop_question_(Wide(platform::Cp932ToUtf16(stop_question))),
      owner_(owner) {}

std::unique_ptr<Progress> WindowProgressProvider::Start(const std::string& title) {
  return ProgressWindow::Start(instance_, Wide(platform::Cp932ToUtf16(title)));
}

bool WindowProgressProvider::ConfirmStop() {
  return MessageBoxW(owner_, stop_question_.c_str(), L"KorvoNewsReader",
                     MB_OKCANCEL | MB_ICONWARNING) == IDOK;
}

}  // namespace korvo
