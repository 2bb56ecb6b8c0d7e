#include "ticker/skin.h"

#include <utility>

#include "platform/code_page.h"
#include "shell/profile_file.h"

namespace korvo {

Skin Skin::Make(std::string name, SkinFiles files, SkinDefinition def,
                std::vector<SkinButtonDefinition> buttons, int bitmap_width, int bitmap_height,
                const SkinUserSettings& user, bool button_bitmap_usable) {
  Skin skin;
  skin.name = std::move(name);
  skin.files = std::move(files);
  skin.layout = SkinLayout(def, bitmap_width, bitmap_height);
  skin.layout.ApplyStoredSize(user.width, user.height);
  skin.effect = user.scroll != -1 ? user.scroll : def.scroll;
  skin.hold_time = user.hold_time != 0 ? user.hold_time : def.hold_time;
  if (button_bitmap_usable && def.has_buttons()) skin.buttons = std::move(buttons);
  skin.def = std::move(def);
  return skin;
}

std::string SkinFolderPath(const std::string& skin_root, const std::string& name) {
  return skin_root + "/" + platform::Cp932ToUtf8(name);
}

namespace {

bool IsUsableName(const std::string& name) {
  if (name.empty() || name == kReservedSkinFolder || name == "." || name == "..") return false;
  // A name is one folder below the skin root, never a path.
  return name.find_first_of("/\\:") == std::string::npos;
}

}  // namespace

std::optional<Skin> LoadSkin(const std::string& skin_root, const std::string& name,
                             const std::string& user_ini_path) {
  if (!IsUsableName(name)) return std::nullopt;
  SkinFiles files;
  if (!FindSkinFiles(SkinFolderPath(skin_root, name), &files)) return std::nullopt;
  ProfileFile ini;
  if (!ini.Load(files.ini)) return std::nullopt;
  int width = 0;
  int height = 0;
  if (!ReadBitmapSize(files.bitmap, &width, &height)) return std::nullopt;
  SkinDefinition def = ReadSkinDefinition(ini);
  std::vector<SkinButtonDefinition> buttons = ReadSkinButtons(ini);
  const bool button_bitmap = !files.button_bitmap.empty();
  return Skin::Make(name, std::move(files), std::move(def), std::move(buttons), width, height,
                    ReadSkinUserSettings(user_ini_path, name), button_bitmap);
}

bool ReadSkinMargins(const std::string& skin_root, const std::string& name, SkinMargins* margins) {
  if (!IsUsableName(name)) return false;
  SkinFiles files;
  if (!FindSkinFiles(SkinFolderPath(skin_root, name), &files)) return false;
  ProfileFile ini;
  int width = 0;
  int height = 0;
  if (!ini.Load(files.ini) || !ReadBitmapSize(files.bitmap, &width, &height)) return false;
  *margins = SkinLayout(ReadSkinDefinition(ini), width, height).base_margins();
  return true;
}

}  // namespace korvo
