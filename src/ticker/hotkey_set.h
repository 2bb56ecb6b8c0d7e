// HotkeySet: the six system-wide hot keys of the ticker (previous item, next item, open in the
// browser, copy the link, tray, read later), their settings in section "hotkey" of setup.ini,
// their registration and what each does.
//
// Index order, fixed everywhere: 0 previous, 1 next, 2 open, 3 copy URL, 4 tray, 5 read later.
// Modifier masks are the platform's: 1 Alt, 2 Control, 4 Shift, 8 Windows key (ORed masks are
// accepted); keys are virtual-key codes.
//
// The registration itself goes through a HotkeyRegistrar (Windows: RegisterHotKey on the
// headline window), so the rules are the same everywhere. One HotkeySet belongs to the headline
// window and is used on the window thread only.
#ifndef KORVO_TICKER_HOTKEY_SET_H_
#define KORVO_TICKER_HOTKEY_SET_H_

#include <array>
#include <cstdint>
#include <string>

namespace korvo {

class ProfileFile;

constexpr int kHotkeyCount = 6;

struct HotkeyBinding {
  int id = 0;
  int modifiers = 0;
  int key = 0;
  bool operator==(const HotkeyBinding& o) const {
    return id == o.id && modifiers == o.modifiers && key == o.key;
  }
};

struct HotkeySettings {
  // Defaults: Alt+9, Alt+0, Alt+G, Alt+L, Ctrl+F10, Ctrl+F11 with ids 0-5.
  std::array<HotkeyBinding, kHotkeyCount> bindings = {{
      {0, 1, 57},
      {1, 1, 48},
      {2, 1, 71},
      {3, 1, 76},
      {4, 2, 121},
      {5, 2, 122},
  }};
  bool enabled = false;  // "hotkeyon"
  bool operator==(const HotkeySettings& o) const {
    return bindings == o.bindings && enabled == o.enabled;
  }
};

// The section "hotkey" of the profile file (defaults for what it lacks).
HotkeySettings ReadHotkeySettings(const ProfileFile& setup);
HotkeySettings LoadHotkeySettings(const std::string& setup_ini_path);
// Writes all nineteen keys with "%d". False when the file could not be written.
bool SaveHotkeySettings(const std::string& setup_ini_path, const HotkeySettings& settings);

// The menu command hot key `index` sends to the headline window: 32785, 32783, 32860, 32814,
// 32789, 32870; 0 for an index outside 0-5.
int HotkeyCommand(int index);

class HotkeyRegistrar {
 public:
  virtual ~HotkeyRegistrar() = default;
  // False when the combination could not be registered (taken by another program).
  virtual bool Register(int id, int modifiers, int key) = 0;
  virtual void Unregister(int id) = 0;
};

class HotkeySet {
 public:
  // `registrar` is not owned and must outlive the set.
  explicit HotkeySet(HotkeyRegistrar* registrar) : registrar_(registrar) {}
  ~HotkeySet() { Destroy(); }
  HotkeySet(const HotkeySet&) = delete;
  HotkeySet& operator=(const HotkeySet&) = delete;

  // Registers all six, whether or not they are enabled (so other programs cannot take them).
  // Failures are not reported: that key simply never fires.
  void Create(const HotkeySettings& settings);
  // The dialog's OK: the old combinations are released first, so a changed key stops working at
  // once, then the new ones are registered.
  void Replace(const HotkeySettings& settings);
  // Unregisters the six ids (once).
  void Destroy();

  // WM_HOTKEY: the command to send for hot-key `id`, or -1 when hot keys are disabled or no
  // binding has that id.
  int Handle(int id) const;

  const HotkeySettings& settings() const { return settings_; }
  bool registered(int index) const { return index >= 0 && index < kHotkeyCount && ok_[index]; }

 private:
  HotkeyRegistrar* registrar_;
  HotkeySettings settings_;
  std::array<bool, kHotkeyCount> ok_ = {};
  bool created_ = false;
};

// --- The dialog's lists ---

struct HotkeyChoice {
  int code;
  const char* name;  // ASCII
};

// "ALT" 1, "CONTROL" 2, "SHIFT" 4, "Win" 8.
const std::array<HotkeyChoice, 4>& HotkeyModifierChoices();
// The 92 key names in display order ("BACKSPACE" 8 ... "SCROLL LOCK" 145, "Undefined" 7).
const std::array<HotkeyChoice, 92>& HotkeyKeyChoices();

// The entry of `choices` whose code is `code`, or -1 (the drop-down then shows no selection).
template <size_t N>
int HotkeyChoiceIndex(const std::array<HotkeyChoice, N>& choices, int code) {
  for (size_t i = 0; i < N; ++i) {
    if (choices[i].code == code) return static_cast<int>(i);
  }
  return -1;
}

// What OK stores for one drop-down: the selected entry's code, or, with no selection (a stored
// combination none of the entries shows, such as Ctrl+Shift written by hand), the stored value.
template <size_t N>
int HotkeyChosenCode(const std::array<HotkeyChoice, N>& choices, int selected, int stored) {
  if (selected < 0 || selected >= static_cast<int>(N)) return stored;
  return choices[static_cast<size_t>(selected)].code;
}

}  // namespace korvo

#endif  // KORVO_TICKER_HOTKEY_SET_H_
