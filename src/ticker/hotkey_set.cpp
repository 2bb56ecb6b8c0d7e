#include "ticker/hotkey_set.h"

#include "shell/main_window_ids.h"
#include "shell/profile_file.h"

namespace korvo {

namespace {

constexpr char kSection[] = "hotkey";

// The key names of each index: id, modifier, key.
struct HotkeyKeys {
  const char* id;
  const char* mod;
  const char* vk;
};
constexpr HotkeyKeys kKeys[kHotkeyCount] = {
    {"prev_id", "prev_mod", "prev_vk"}, {"next_id", "next_mod", "next_vk"},
    {"open_id", "open_mod", "open_vk"}, {"urlcpy_id", "urlcpy_mod", "urlcpy_vk"},
    {"task_id", "task_mod", "task_vk"}, {"later_id", "later_mod", "later_vk"},
};

std::array<HotkeyChoice, 92> MakeKeyChoices() {
  static const char* const kDigits[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
  static const char* const kLetters[] = {"A", "B", "C", "D", "E", "F", "G", "H", "I",
                                         "J", "K", "L", "M", "N", "O", "P", "Q", "R",
                                         "S", "T", "U", "V", "W", "X", "Y", "Z"};
  static const char* const kPad[] = {"keypad 0", "keypad 1", "keypad 2", "keypad 3", "keypad 4",
                                     "keypad 5", "keypad 6", "keypad 7", "keypad 8", "keypad 9"};
  static const char* const kF[] = {"F1", "F2",  "F3",  "F4",  "F5",  "F6",  "F7",  "F8",
                                   "F9", "F10", "F11", "F12", "F13", "F14", "F15", "F16"};
  std::array<HotkeyChoice, 92> out = {};
  size_t n = 0;
  auto add = [&out, &n](int code, const char* name) { out[n++] = {code, name}; };
  add(8, "BACKSPACE");
  add(9, "TAB");
  add(12, "CLEAR");
  add(13, "ENTER");
  add(19, "PAUSE");
  add(20, "CAPS LOCK");
  add(27, "ESC");
  add(32, "SPACEBAR");
  add(33, "PAGE UP");
  add(34, "PAGE DOWN");
  add(35, "END");
  add(36, "HOME");
  add(37, "LEFT ARROW");
  add(38, "UP ARROW");
  add(39, "RIGHT ARROW");
  add(40, "DOWN ARROW");
  add(41, "SELECT");
  add(42, "PRINT");
  add(44, "PRINT SCREEN");
  add(45, "INS");
  add(46, "DEL");
  add(47, "HELP");
  for (int i = 0; i < 10; ++i) add(48 + i, kDigits[i]);
  for (int i = 0; i < 26; ++i) add(65 + i, kLetters[i]);
  for (int i = 0; i < 10; ++i) add(96 + i, kPad[i]);
  add(107, "Add");
  add(108, "Separator");
  add(109, "Subtract");
  add(110, "Decimal");
  add(111, "Divide");
  for (int i = 0; i < 16; ++i) add(112 + i, kF[i]);
  add(144, "NUM LOCK");
  add(145, "SCROLL LOCK");
  add(7, "Undefined");
  return out;
}

}  // namespace

HotkeySettings ReadHotkeySettings(const ProfileFile& setup) {
  HotkeySettings s;
  for (int i = 0; i < kHotkeyCount; ++i) {
    HotkeyBinding& b = s.bindings[static_cast<size_t>(i)];
    b.id = setup.GetInt(kSection, kKeys[i].id, b.id);
    b.modifiers = setup.GetInt(kSection, kKeys[i].mod, b.modifiers);
    b.key = setup.GetInt(kSection, kKeys[i].vk, b.key);
  }
  s.enabled = setup.GetInt(kSection, "hotkeyon", 0) != 0;
  return s;
}

HotkeySettings LoadHotkeySettings(const std::string& setup_ini_path) {
  ProfileFileLock lock;
  ProfileFile file;
  file.Load(setup_ini_path);
  return ReadHotkeySettings(file);
}

bool SaveHotkeySettings(const std::string& setup_ini_path, const HotkeySettings& settings) {
  ProfileFileLock lock;
  ProfileFile file;
  if (!file.Load(setup_ini_path)) return false;
  bool ok = true;
  for (int i = 0; i < kHotkeyCount; ++i) {
    const HotkeyBinding& b = settings.bindings[static_cast<size_t>(i)];
    ok = file.PutInt(kSection, kKeys[i].id, b.id) && ok;
    ok = file.PutInt(kSection, kKeys[i].mod, b.modifiers) && ok;
    ok = file.PutInt(kSection, kKeys[i].vk, b.key) && ok;
  }
  ok = file.PutInt(kSection, "hotkeyon", settings.enabled ? 1 : 0) && ok;
  return file.Save() && ok;
}

int HotkeyCommand(int index) {
  static constexpr int kCommands[kHotkeyCount] = {
      menu_command::kPreviousItem, menu_command::kNextItem,   menu_command::kOpenInBrowser,
      menu_command::kCopyUrl,      menu_command::kToggleTray, menu_command::kReadLater};
  return index >= 0 && index < kHotkeyCount ? kCommands[index] : 0;
}

void HotkeySet::Create(const HotkeySettings& settings) {
  settings_ = settings;
  for (int i = 0; i < kHotkeyCount; ++i) {
    const HotkeyBinding& b = settings_.bindings[static_cast<size_t>(i)];
    ok_[static_cast<size_t>(i)] = registrar_->Register(b.id, b.modifiers, b.key);
  }
  created_ = true;
}

void HotkeySet::Replace(const HotkeySettings& settings) {
  Destroy();
  Create(settings);
}

void HotkeySet::Destroy() {
  if (!created_) return;
  for (const HotkeyBinding& b : settings_.bindings) registrar_->Unregister(b.id);
  ok_ = {};
  created_ = false;
}

int HotkeySet::Handle(int id) const {
  if (!settings_.enabled) return -1;
  for (int i = 0; i < kHotkeyCount; ++i) {
    if (settings_.bindings[static_cast<size_t>(i)].id == id) return HotkeyCommand(i);
  }
  return -1;
}

const std::array<HotkeyChoice, 4>& HotkeyModifierChoices() {
  static const std::array<HotkeyChoice, 4> kChoices = {
      {{1, "ALT"}, {2, "CONTROL"}, {4, "SHIFT"}, {8, "Win"}}};
  return kChoices;
}

const std::array<HotkeyChoice, 92>& HotkeyKeyChoices() {
  static const std::array<HotkeyChoice, 92> kChoices = MakeKeyChoices();
  return kChoices;
}

}  // namespace korvo
