// The properties dialogs of the channel and favourites trees:
//   - channel or folder (dialog 179): title, feed address (only the part before "[" is shown and
//     edited), site address, description, the flags, the folder options (folders only), keyword,
//     HitDb / Hit, ttl, the request word of `authorization` and, for Basic authentication, the
//     user name and password (dialog 178 "認証"), which OK writes into the credentials file
//     "password" keyed by the channel's whole address text. "取得" looks the typed address up
//     (channels/feed_lookup.h) and fills in title, site and description.
//   - favourite (dialog 181): name and address.
//
// Window thread; modal.
#ifndef KORVO_BROWSE_WIN_PROPERTIES_DIALOG_H_
#define KORVO_BROWSE_WIN_PROPERTIES_DIALOG_H_

#include <windows.h>

#include <string>

#include "browse/win/browse_services.h"
#include "channels/outline_properties.h"

namespace korvo {

// Edits `properties` (the whole `xmlUrl` in, the edited one out). `folder` chooses the folder
// form. True on OK (the credentials, if any, were written then).
bool EditOutlineProperties(const BrowseServices& services, HWND owner, bool folder,
                           OutlineProperties* properties);

// Edits a favourite's name and address; true on OK.
bool EditFavourite(HINSTANCE instance, HWND owner, std::string* name, std::string* address);

}  // namespace korvo

#endif  // KORVO_BROWSE_WIN_PROPERTIES_DIALOG_H_
