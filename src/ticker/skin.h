// Skin: the loaded skin as the ticker uses it: its name and files, what its .ini says, its
// geometry, the display effect and hold time after the user's overrides, and its buttons.
//
// LoadSkin does the portable part of loading (files, keys, user.ini); the skin window then loads
// the bitmaps and calls Skin::Make with their real sizes. A Skin is a plain value: the skin
// window owns the current one on the window thread; the engine gets copies of the values it needs.
#ifndef KORVO_TICKER_SKIN_H_
#define KORVO_TICKER_SKIN_H_

#include <optional>
#include <string>
#include <vector>

#include "ticker/skin_definition.h"
#include "ticker/skin_files.h"
#include "ticker/skin_layout.h"
#include "ticker/skin_user_settings.h"

namespace korvo {

struct Skin {
  std::string name;  // the folder name, CP932
  SkinFiles files;
  SkinDefinition def;
  SkinLayout layout;
  int effect = 0;                             // newsbox scroll, or user.ini's
  int hold_time = 0;                          // newsbox hold_time, or user.ini's when non-zero
  std::vector<SkinButtonDefinition> buttons;  // empty without usable button images

  // Loading steps 2-6 over what was read: geometry from the bitmap's size, user.ini's size,
  // effect and hold time, and the buttons when `button_bitmap_usable` (the skin gives a button
  // size and btn_bitmap.btn loaded).
  static Skin Make(std::string name, SkinFiles files, SkinDefinition def,
                   std::vector<SkinButtonDefinition> buttons, int bitmap_width, int bitmap_height,
                   const SkinUserSettings& user, bool button_bitmap_usable);
};

// The skin folder of `name` below `skin_root` (UTF-8; the name is CP932).
std::string SkinFolderPath(const std::string& skin_root, const std::string& name);

// The portable loading of skin `name`: finds its files, reads its .ini and buttons, reads the
// face bitmap's declared size, and applies the user.ini at `user_ini_path`. Nothing for an empty
// or reserved name, a folder without an .ini or a .bmp, an unreadable .ini, or a bitmap whose
// headers give no size. The caller still has to load the bitmap itself.
std::optional<Skin> LoadSkin(const std::string& skin_root, const std::string& name,
                             const std::string& user_ini_path);

// The margins a skin that is not loaded would give (its news box and its bitmap's size), for the
// settings; false when the skin cannot be read.
bool ReadSkinMargins(const std::string& skin_root, const std::string& name, SkinMargins* margins);

}  // namespace korvo

#endif  // KORVO_TICKER_SKIN_H_
