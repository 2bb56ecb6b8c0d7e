#include "browse/win/memo_window.h"

#include "browse/browse_ids.h"
#include "browse/item_actions.h"
#include "browse/win/browser_launch.h"
#include "platform/code_page.h"

namespace korvo {

namespace {

constexpr int kBarHeight = 26;

std::wstring CatalogText(const BrowseServices& services, int entry) {
  return services.catalog != nullptr ? platform::WideFromCp932(services.catalog->Text(entry))
                                     : std::wstring();
}

}  // namespace

MemoWindow::MemoWindow(const BrowseServices& services, uint32_t number, std::string link)
    : services_(services), number_(number), link_(std::move(link)) {}

bool MemoWindow::Create(HWND parent, const RECT& r) {
  if (!CreateChild(kClassName, GetSysColorBrush(COLOR_BTNFACE), parent, browse_control::kMemo, r,
                   services_.instance, WS_CHILD | WS_CLIPCHILDREN)) {
    return false;
  }
  font_.Reset(MakeFont(-12, FW_NORMAL));
  mark_ =
      CreateWindowExW(0, L"BUTTON", CatalogText(services_, 7).c_str(),
                      WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 4, 4, 160, 20, hwnd(),
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(browse_control::kMemoMark)),
                      services_.instance, nullptr);
  const struct {
    int id;
    int entry;
  } buttons[] = {{browse_control::kMemoWrite, 8}, {browse_control::kMemoBrowser, 9}};
  for (const auto& b : buttons) {
    HWND button = CreateWindowExW(0, L"BUTTON", CatalogText(services_, b.entry).c_str(),
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 2, 70, 22,
                                  hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(b.id)),
                                  services_.instance, nullptr);
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  }
  text_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE |
                              ES_AUTOVSCROLL | ES_WANTRETURN,
                          0, kBarHeight, 10, 10, hwnd(),
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(browse_control::kMemoText)),
                          services_.instance, nullptr);
  SendMessageW(mark_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  SendMessageW(text_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  std::string comment;
  bool marked = false;
  DatabaseGuard guard(services_.working_folder);
  if (ReadMemo(guard, number_, &comment, &marked)) {
    SetWindowTextCp932(text_, comment);
    SendMessageW(mark_, BM_SETCHECK, marked ? BST_CHECKED : BST_UNCHECKED, 0);
  } else {
    // Not a stored item (a ticker item without a record): nothing to write.
    for (HWND control : {mark_, text_, GetDlgItem(hwnd(), browse_control::kMemoWrite)}) {
      EnableWindow(control, FALSE);
    }
  }
  LayOut();
  return true;
}

void MemoWindow::LayOut() {
  RECT client = {};
  GetClientRect(hwnd(), &client);
  MoveWindow(GetDlgItem(hwnd(), browse_control::kMemoBrowser), client.right - 74, 2, 70, 22, TRUE);
  MoveWindow(GetDlgItem(hwnd(), browse_control::kMemoWrite), client.right - 148, 2, 70, 22, TRUE);
  MoveWindow(text_, 0, kBarHeight, client.right,
             client.bottom > kBarHeight ? client.bottom - kBarHeight : 0, TRUE);
}

void MemoWindow::Write() {
  DatabaseGuard guard(services_.working_folder);
  const bool marked = SendMessageW(mark_, BM_GETCHECK, 0, 0) == BST_CHECKED;
  const std::optional<ListRow> row = WriteMemo(guard, number_, WindowTextCp932(text_), marked);
  if (!row) {
    MessageBoxUtf8(GetAncestor(hwnd(), GA_ROOT), u8"書き込めませんでした。", "memo",
                   MB_OK | MB_ICONWARNING);
    return;
  }
  if (on_written) on_written(*row);
  MessageBoxW(GetAncestor(hwnd(), GA_ROOT), CatalogText(services_, 10).c_str(), L"memo", MB_OK);
}

LRESULT MemoWindow::Handle(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_SIZE:
      LayOut();
      return 0;
    case WM_COMMAND:
      if (LOWORD(w) == browse_control::kMemoWrite) Write();
      if (LOWORD(w) == browse_control::kMemoBrowser) {
        OpenInExternalBrowser(services_.main_window, link_, false);
      }
      return 0;
    default:
      return Default(message, w, l);
  }
}

}  // namespace korvo
