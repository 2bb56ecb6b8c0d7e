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

}  // namespace

bool WinUserDialogs::AskOkCancel(const std::string& text, const std::string& caption) {
  return MessageBoxCp932(owner_, text, caption, MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) ==
         IDOK;
}

void WinUserDialogs::ShowWarning(const std::string& text, const std::string& caption) {
  MessageBoxCp932(owner_, text, caption, MB_OK | MB_ICONWARNING);
}

bool WinUserDialogs::AskImportSource(std::string* source) {
  std::string typed;
  const bool ok = RunFormDialog(
      instance_, IDD_IMPORT_SOURCE, owner_,
      [](HWND dialog) {
        SendDlgItemMessageW(dialog, IDC_IMPORT_SOURCE, EM_LIMITTEXT, kMaxImportSource, 0);
      },
      [&typed](HWND dialog) {
        typed = WindowTextCp932(GetDlgItem(dialog, IDC_IMPORT_SOURCE));
        return true;
      },
      [](HWND dialog, int id, int) {
        std::string path;
        if (id == IDC_IMPORT_BROWSE && ChooseOpmlFile(dialog, true, &path)) {
          SetWindowTextCp932(GetDlgItem(dialog, IDC_IMPORT_SOURCE), path);
        }
      });
  if (!ok || typed.empty()) return false;
  *source = typed;
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
