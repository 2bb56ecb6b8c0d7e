#include "app/tray_mode.h"

#include <string_view>

#include "shell/general_settings.h"

namespace korvo {

bool TrayAction::operator==(const TrayAction& o) const {
  return hide_windows == o.hide_windows && show_windows == o.show_windows &&
         reselect_skin == o.reselect_skin && add_icon == o.add_icon && remove_icon == o.remove_icon;
}

TrayAction TrayMode::Enter(int current_skin) {
  TrayAction action;
  action.hide_windows = true;
  remembered_skin_ = current_skin;
  in_tray_ = true;
  if (!icon_shown_) {
    action.add_icon = true;
    icon_shown_ = true;
  }
  return action;
}

TrayAction TrayMode::Start(bool start_in_tray, uint32_t flags, int current_skin) {
  if (start_in_tray) return Enter(current_skin);
  TrayAction action;
  if ((flags & general_flags::kShowTrayIcon) != 0 && !icon_shown_) {
    action.add_icon = true;
    icon_shown_ = true;
  }
  return action;
}

TrayAction TrayMode::Toggle(uint32_t flags, int current_skin) {
  return in_tray_ ? Leave(flags) : Enter(current_skin);
}

TrayAction TrayMode::Leave(uint32_t flags) {
  TrayAction action;
  if (!in_tray_) return action;
  in_tray_ = false;
  action.show_windows = true;
  action.reselect_skin = remembered_skin_;
  if (icon_shown_ && (flags & general_flags::kShowTrayIcon) == 0) {
    action.remove_icon = true;
    icon_shown_ = false;
  }
  return action;
}

TrayAction TrayMode::MatchIconToFlags(uint32_t flags) {
  TrayAction action;
  if (in_tray_) return action;
  const bool wanted = (flags & general_flags::kShowTrayIcon) != 0;
  if (wanted && !icon_shown_) action.add_icon = true;
  if (!wanted && icon_shown_) action.remove_icon = true;
  icon_shown_ = wanted;
  return action;
}

TrayAction TrayMode::ShutDown(uint32_t flags) {
  TrayAction action = Leave(flags);
  if (icon_shown_) {
    action.remove_icon = true;
    icon_shown_ = false;
  }
  return action;
}

bool TrayMenuEntryEnabled(int position) {
  const std::string_view mask = kTrayMenuEnabledMask;
  return position >= 0 && static_cast<size_t>(position) < mask.size() && mask[position] == '1';
}

}  // namespace korvo
