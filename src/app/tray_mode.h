// Whether the program lives as a tray icon only, and whether its tray icon is shown: the
// decisions behind the tray toggle (command 32789 and a left click on the icon), the start in the
// tray ("-m" or flag bit 22), the tray icon setting (flag bit 23, message 1162) and shut-down.
//
// Each method changes the state and returns what the window has to do; the window applies it in
// the order of the fields: hide or show the ticker windows, select the remembered skin again, add
// or remove the icon. Adding the icon also pushes engine command 16 and creates the hidden notice
// window; removing it pushes 17 and destroys that window. Belongs to the window thread.
#ifndef KORVO_APP_TRAY_MODE_H_
#define KORVO_APP_TRAY_MODE_H_

#include <cstdint>

namespace korvo {

struct TrayAction {
  bool hide_windows = false;
  bool show_windows = false;
  int reselect_skin = 0;  // a skin command to select again; 0 for none
  bool add_icon = false;
  bool remove_icon = false;
  bool operator==(const TrayAction& o) const;
};

class TrayMode {
 public:
  // The end of the start-up continuation. In the tray (`start_in_tray`: the "-m" switch or flag
  // bit 22): hide, remember `current_skin`, add the icon. Otherwise with flag bit 23: add the
  // icon.
  TrayAction Start(bool start_in_tray, uint32_t flags, int current_skin);
  // Into the tray (hide, remember `current_skin`, icon added unless shown) or back (show, the
  // remembered skin, icon removed unless flag bit 23 keeps it).
  TrayAction Toggle(uint32_t flags, int current_skin);
  // Back from the tray; nothing when not in it.
  TrayAction Leave(uint32_t flags);
  // Message 1162: the icon follows flag bit 23, except while in the tray (the icon is then the
  // only way back and stays).
  TrayAction MatchIconToFlags(uint32_t flags);
  // Shut-down: back from the tray first (so the visible placement is saved), then the icon goes.
  TrayAction ShutDown(uint32_t flags);

  bool in_tray() const { return in_tray_; }
  bool icon_shown() const { return icon_shown_; }
  int remembered_skin() const { return remembered_skin_; }

 private:
  TrayAction Enter(int current_skin);

  bool in_tray_ = false;
  bool icon_shown_ = false;
  int remembered_skin_ = 0;
};

// The ticker menu shown from the tray icon greys its entries by position: '1' in this mask keeps
// the entry at that position enabled, '0' (and any position past the mask) greys it.
constexpr char kTrayMenuEnabledMask[] = "0000000000000100011011001101101";
bool TrayMenuEntryEnabled(int position);

}  // namespace korvo

#endif  // KORVO_APP_TRAY_MODE_H_
