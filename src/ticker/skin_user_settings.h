// The per-user overrides of the skins: `user.ini` in the working folder, a UTF-16LE profile file
// with one section per skin name (the CP932 name converted to UTF-16; "noskin260" for the ticker
// without a skin) and the keys `width`, `height` (the face size the user resized it to),
// `scroll` (the display effect; -1 or missing: the skin's) and `hold_time` (0 or missing: the
// skin's).
//
// Each call reads (and for a change rewrites) the file under the profile lock; any thread.
#ifndef KORVO_TICKER_SKIN_USER_SETTINGS_H_
#define KORVO_TICKER_SKIN_USER_SETTINGS_H_

#include <string>

namespace korvo {

constexpr char kUserIniName[] = "user.ini";

struct SkinUserSettings {
  int width = 0;
  int height = 0;
  int scroll = -1;
  int hold_time = 0;
};

// The section of `skin_name` in the user.ini at `path` (UTF-8); defaults when it is missing.
SkinUserSettings ReadSkinUserSettings(const std::string& path, const std::string& skin_name);

// Writes `width` and `height` into the skin's section (created with the file, in UTF-16LE).
bool SaveSkinUserSize(const std::string& path, const std::string& skin_name, int width, int height);

// Writes the effect and hold time the options dialog chose for the skin.
bool SaveSkinUserEffect(const std::string& path, const std::string& skin_name, int scroll,
                        int hold_time);

// Removes the skin's section (restore size, skin deleted). True when it is gone afterwards.
bool RemoveSkinUserSettings(const std::string& path, const std::string& skin_name);

}  // namespace korvo

#endif  // KORVO_TICKER_SKIN_USER_SETTINGS_H_
