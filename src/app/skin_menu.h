// The skin choice of the ticker menu: the entry "none" (command 32782) and one entry per skin
// folder (commands 32901, 32902, ... in listing order), the check mark that follows the choice,
// and the skin name the settings keep.
//
// Texts are CP932, as the menu shows them and the settings store them. Belongs to the window
// thread.
#ifndef KORVO_APP_SKIN_MENU_H_
#define KORVO_APP_SKIN_MENU_H_

#include <string>
#include <vector>

#include "shell/main_window_ids.h"

namespace korvo {

class SkinMenu {
 public:
  // At most this many skins get an entry (commands 32901 ... 33899); the rest are left out.
  static constexpr int kMaxSkins = menu_command::kLastSkin - menu_command::kFirstSkin + 1;

  // The skin folders of `skin_folder` (UTF-8): its sub-folders except "noskin260", in the order
  // the platform lists them, as CP932 names. A folder whose name has no exact CP932 form is left
  // out, since no skin could be loaded by that name.
  static std::vector<std::string> ListSkinFolders(const std::string& skin_folder);

  // Replaces the entries; the choice becomes "none".
  void SetSkins(std::vector<std::string> names);
  // Adds one entry at the end (an installed skin) and returns its command; 0 when the menu is
  // full or the name is empty.
  int Add(const std::string& name);

  const std::vector<std::string>& skins() const { return skins_; }
  static bool IsSkinCommand(int command);

  // The command of the entry whose text equals `name` (case-sensitive, as the menu compares);
  // 32782 ("none") when no entry matches.
  int CommandFor(const std::string& name) const;
  // The text of the entry of `command`; empty for "none" and for unknown commands.
  std::string NameOf(int command) const;

  // Makes `command` the choice when it is "none" or an existing entry; false (choice unchanged)
  // otherwise.
  bool Select(int command);
  int current() const { return current_; }
  // The value the "skin" setting receives at shut-down: the chosen entry's text, or "noskin260"
  // for none.
  std::string NameToSave() const;

 private:
  std::vector<std::string> skins_;
  int current_ = menu_command::kNoSkin;
};

}  // namespace korvo

#endif  // KORVO_APP_SKIN_MENU_H_
