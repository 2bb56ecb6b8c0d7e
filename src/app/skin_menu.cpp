#include "app/skin_menu.h"

#include <utility>

#include "platform/code_page.h"
#include "platform/files.h"
#include "shell/main_window_ids.h"

namespace korvo {

std::vector<std::string> SkinMenu::ListSkinFolders(const std::string& skin_folder) {
  std::vector<std::string> names;
  for (const platform::DirectoryEntry& entry : platform::ListDirectory(skin_folder)) {
    if (!entry.is_directory || entry.name == kNoSkinName) continue;
    std::string name = platform::Utf8ToCp932(entry.name);
    if (name.empty() || platform::Cp932ToUtf8(name) != entry.name) continue;
    names.push_back(std::move(name));
    if (static_cast<int>(names.size()) == kMaxSkins) break;
  }
  return names;
}

void SkinMenu::SetSkins(std::vector<std::string> names) {
  skins_ = std::move(names);
  if (static_cast<int>(skins_.size()) > kMaxSkins) skins_.resize(kMaxSkins);
  current_ = menu_command::kNoSkin;
}

int SkinMenu::Add(const std::string& name) {
  if (name.empty() || static_cast<int>(skins_.size()) >= kMaxSkins) return 0;
  skins_.push_back(name);
  return menu_command::kFirstSkin + static_cast<int>(skins_.size()) - 1;
}

bool SkinMenu::IsSkinCommand(int command) {
  return command == menu_command::kNoSkin ||
         (command >= menu_command::kFirstSkin && command < menu_command::kFirstSkin + kMaxSkins);
}

int SkinMenu::CommandFor(const std::string& name) const {
  for (size_t i = 0; i < skins_.size(); ++i) {
    if (skins_[i] == name) return menu_command::kFirstSkin + static_cast<int>(i);
  }
  return menu_command::kNoSkin;
}

std::string SkinMenu::NameOf(int command) const {
  const int index = command - menu_command::kFirstSkin;
  if (index < 0 || index >= static_cast<int>(skins_.size())) return std::string();
  return skins_[index];
}

bool SkinMenu::Select(int command) {
  if (command != menu_command::kNoSkin && NameOf(command).empty()) return false;
  current_ = command;
  return true;
}

std::string SkinMenu::NameToSave() const {
  return current_ == menu_command::kNoSkin ? std::string(kNoSkinName) : NameOf(current_);
}

}  // namespace korvo
