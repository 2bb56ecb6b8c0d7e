#include "ticker/skin_button.h"

#include <iterator>

#include "shell/main_window_ids.h"

namespace korvo {

SkinSize SkinButtonSize(const SkinButtonDefinition& button, const SkinDefinition& def) {
  return {button.width > 0 ? button.width : def.button_width,
          button.height > 0 ? button.height : def.button_height};
}

SkinRect SkinButtonRect(const SkinButtonDefinition& button, const SkinDefinition& def,
                        const SkinLayout& layout) {
  const SkinSize size = SkinButtonSize(button, def);
  return layout.Place(button.x, button.y, size.width, size.height);
}

SkinButtonImage SkinButtonImageFor(const SkinButtonDefinition& button, const SkinDefinition& def,
                                   SkinButtonState state) {
  const SkinSize size = SkinButtonSize(button, def);
  const int s = static_cast<int>(state);
  SkinButtonImage out;
  if (button.btnx < 0) {
    out.image = {(3 * button.number + s) * def.button_width, 0, size.width, size.height};
  } else {
    out.image = {button.btnx + size.width * s, button.btny < 0 ? 0 : button.btny, size.width,
                 size.height};
  }
  if (button.maskx >= 0) {
    out.mask = {button.maskx + size.width * s, button.masky < 0 ? 0 : button.masky, size.width,
                size.height};
  }
  return out;
}

SkinButtonAction SkinButtonActionFor(int action) {
  using K = SkinButtonAction::Kind;
  static constexpr SkinButtonAction kTable[] = {
      {K::kPostCommand, menu_command::kPreviousItem},     // 0
      {K::kPostCommand, menu_command::kNextItem},         // 1
      {K::kPostCommand, menu_command::kOpenInBrowser},    // 2
      {K::kSendCommand, menu_command::kCopyUrl},          // 3
      {K::kPostCommand, menu_command::kOpenSite},         // 4
      {K::kPostCommand, menu_command::kOptions},          // 5
      {K::kPostCommand, menu_command::kHeadlineColours},  // 6
      {K::kPostCommand, menu_command::kEditChannels},     // 7
      {K::kSendCommand, menu_command::kConnection},       // 8
      {K::kPostCommand, menu_command::kMemo},             // 9
      {K::kPostCommand, menu_command::kListWindow},       // 10
      {K::kPostCommand, menu_command::kCheckedToday},     // 11
      {K::kPostCommand, menu_command::kToggleTray},       // 12
      {K::kPostCommand, menu_command::kAbout},            // 13
      {K::kPostCommand, menu_command::kExit},             // 14
      {K::kTickerMenu, 0},                                // 15
      {K::kOpenParam, 0},                                 // 16
      {K::kPostCommand, menu_command::kRestoreSkinSize},  // 17
      {K::kFold, 0},                                      // 18
      {K::kPostCommand, menu_command::kReadLater},        // 19
      {K::kPostCommand, menu_command::kPreviousSite},     // 20
      {K::kPostCommand, menu_command::kNextSite},         // 21
      {K::kPostCommand, menu_command::kCheckNewItems},    // 22
  };
  if (action < 0 || action >= static_cast<int>(std::size(kTable))) return {};
  return kTable[action];
}

}  // namespace korvo
