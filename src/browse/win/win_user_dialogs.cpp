#include "browse/win/win_user_dialogs.h"

#include <commdlg.h>

#include <vector>

#include "browse/win/browse_resource.h"
#include "browse/win/browse_win_util.h"
#include "platform/code_page.h"
#include "platform/files.h"

namespace korvo {

namespace {

constexpr size_t kMaxImportSource = 1023;

bool RunChooser(HWND owner, bool open, const wchar_t* filter, const wchar_t* extension,
                std::wstring* chosen) {
  std::vector<wchar_t> buffer(4096, L'\0');
  OPENFILENAMEW ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter;
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrDefExt = extension;
  ofn.Flags = OFN_NOCHANGEDIR | OFN_HIDEREADONLY |
              (open ? OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST : OFN_OVERWRITEPROMPT);
  // The chooser may change the current folder on some systems despite OFN_NOCHANGEDIR.
  const std::string folder = platform::CurrentDirectory();
  const BOOL ok = open ? GetOpenFileNameW(&ofn) : GetSaveFileNameW(&ofn);
  platform::ChangeDirectory(folder);
  if (!ok) return false;
  *chosen = buffer.data();
  return true;
}

struct ImportState {
  std::string source;
};

INT_PTR CALLBACK ImportProc(HWND dialog, UINT message, WPARAM w, LPARAM l) {
  auto* state = reinterpret_cast<ImportState*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, l);
      SendDlgItemMessageW(dialog, IDC_IMPORT_SOURCE, EM_LIMITTEXT, kMaxImportSource, 0);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(w)) {
        case IDC_IMPORT_BROWSE: {
          std::string path;
          if (ChooseOpmlFile(dialog, true, &path)) {
            SetWindowTextCp932(GetDlgItem(dialog, IDC_IMPORT_SOURCE), path);
          }
          return TRUE;
        }
        case IDOK:
          state->source = WindowTextCp932(GetDlgItem(dialog, IDC_IMPORT_SOURCE));
          EndDialog(dialog, IDOK);
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, IDCANCEL);
          return TRUE;
        default:
          return FALSE;
      }
    default:
      return FALSE;
  }
}

}  // namespace

bool WinUserDialogs::AskOkCancel(const std::string& text, const std::string& caption) {
  return MessageBoxCp932(owner_, text, caption, MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) ==
         IDOK;
}

void WinUserDialogs::ShowWarning(const std::string& text, const std::string& caption) {
  MessageBoxCp932(owner_, text, caption, MB_OK | MB_ICONWARNING);
}

bool WinUserDialogs::AskImportSource(std::string* source) {
  ImportState state;
  if (DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_IMPORT_SOURCE), owner_, ImportProc,
                      reinterpret_cast<LPARAM>(&state)) != IDOK ||
      state.source.empty()) {
    return false;
  }
  *source = state.source;
  return true;
}

bool WinUserDialogs::AskExportPath(std::string* path) {
  return ChooseOpmlFile(owner_, false, path);
}

bool ChooseOpmlFile(HWND owner, bool open, std::string* path) {
  static const wchar_t kFilter[] = L"OPML(*.opml,*.xml)\0*.opml;*.xml\0\0";
  std::wstring chosen;
  if (!RunChooser(owner, open, kFilter, L"opml", &chosen)) return false;
  *path = platform::Cp932FromWide(chosen);
  return true;
}

bool ChooseFile(HWND owner, bool open, const wchar_t* filter, const wchar_t* extension,
                std::string* utf8_path) {
  std::wstring chosen;
  if (!RunChooser(owner, open, filter, extension, &chosen)) return false;
  *utf8_path = platform::Utf8FromWide(chosen);
  return true;
}

}  // namespace korvo
