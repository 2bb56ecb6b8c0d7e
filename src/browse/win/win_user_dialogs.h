// The channel operations' questions answered with the system's message boxes and file choosers
// (channels/user_dialogs.h), owned by `owner`. The file choosers never leave the current folder
// changed (the working folder is restored).
//
// Window thread.
#ifndef KORVO_BROWSE_WIN_WIN_USER_DIALOGS_H_
#define KORVO_BROWSE_WIN_WIN_USER_DIALOGS_H_

#include <windows.h>

#include <string>

#include "channels/user_dialogs.h"

namespace korvo {

class WinUserDialogs : public UserDialogs {
 public:
  WinUserDialogs(HINSTANCE instance, HWND owner) : instance_(instance), owner_(owner) {}

  bool AskOkCancel(const std::string& text, const std::string& caption) override;
  void ShowWarning(const std::string& text, const std::string& caption) override;
  bool AskImportSource(std::string* source) override;
  bool AskExportPath(std::string* path) override;

 private:
  HINSTANCE instance_;
  HWND owner_;
};

// The file chooser for OPML ("OPML(*.opml,*.xml)"): open (false: save, with the default
// extension "opml" and the overwrite prompt). The chosen path in CP932; false on Cancel.
bool ChooseOpmlFile(HWND owner, bool open, std::string* path);
// A chooser for any file with `filter` (pairs of wide strings ending in a double NUL); UTF-8.
bool ChooseFile(HWND owner, bool open, const wchar_t* filter, const wchar_t* extension,
                std::string* utf8_path);

}  // namespace korvo

#endif  // KORVO_BROWSE_WIN_WIN_USER_DIALOGS_H_
