// The channel list dialog (resource 148, command 32779 of the ticker menu): the channel tree
// ("EditOpmlView", id 130) with buttons to add channels and folders, edit, delete, import and
// export. OK writes channel.opml (when the tree changed); Cancel or the close box ask
// "チャンネルリストは変更されています。更新しますか？" when the tree changed, and write it (OK) or
// read channel.opml again (Cancel).
//
// Window thread; modal.
#ifndef KORVO_BROWSE_WIN_CHANNEL_DIALOG_H_
#define KORVO_BROWSE_WIN_CHANNEL_DIALOG_H_

#include <windows.h>

#include "browse/win/browse_services.h"

namespace korvo {

// True when the dialog ended with the channel list written or unchanged by OK (or by OK to the
// question): the caller then starts an update run.
bool RunChannelDialog(const BrowseServices& services, HWND owner);

}  // namespace korvo

#endif  // KORVO_BROWSE_WIN_CHANNEL_DIALOG_H_
