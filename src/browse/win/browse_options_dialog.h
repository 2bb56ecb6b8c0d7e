// The browse window's options (dialog 177, caption "設定", command 32859): one button per font
// ("概要のフォント変更" desc_font, "リストのフォント変更" list_font, "お気に入りのフォント変更"
// favo_font, "チャンネルリストのフォント変更" opml_font) opening the system's font chooser, each
// with "元に戻す" storing its default, and a sample ("FontViewWindow") per font. A changed font is
// written to its setup.ini section and announced to `browse_window` with 0x4D0 and the section
// name. "閉じる" closes.
//
// Window thread; modal.
#ifndef KORVO_BROWSE_WIN_BROWSE_OPTIONS_DIALOG_H_
#define KORVO_BROWSE_WIN_BROWSE_OPTIONS_DIALOG_H_

#include <windows.h>

#include "browse/win/browse_services.h"

namespace korvo {

void RunBrowseOptionsDialog(const BrowseServices& services, HWND browse_window);

}  // namespace korvo

#endif  // KORVO_BROWSE_WIN_BROWSE_OPTIONS_DIALOG_H_
