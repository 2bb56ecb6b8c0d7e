// The skin's buttons: where each sits on the face, which part of btn_bitmap.btn (and of its mask)
// it shows in each state, and what its action number does.
//
// Pure functions; safe on any thread.
#ifndef KORVO_TICKER_SKIN_BUTTON_H_
#define KORVO_TICKER_SKIN_BUTTON_H_

#include "ticker/skin_definition.h"
#include "ticker/skin_layout.h"

namespace korvo {

// Button N is the child window with control id 300 + N; ids up to 330 are buttons.
constexpr int kFirstSkinButtonId = 300;
constexpr int kLastSkinButtonId = 330;

enum class SkinButtonState { kNormal = 0, kPressed = 1, kHot = 2 };

// The button's size: its own width and height, or the skin's button size where it gives -1 (or
// any value below 1).
SkinSize SkinButtonSize(const SkinButtonDefinition& button, const SkinDefinition& def);

// The button's window rectangle on the face at the layout's current size.
SkinRect SkinButtonRect(const SkinButtonDefinition& button, const SkinDefinition& def,
                        const SkinLayout& layout);

struct SkinButtonImage {
  SkinRect image;  // in btn_bitmap.btn
  SkinRect mask;   // width 0: no mask
};

// Without `btnx`: column (3 x N + state) x the skin's button width, row 0. With `btnx` / `btny`:
// (btnx + width x state, btny). With a mask (`maskx` >= 0): (maskx + width x state, masky).
SkinButtonImage SkinButtonImageFor(const SkinButtonDefinition& button, const SkinDefinition& def,
                                   SkinButtonState state);

// What an action number does. Commands go to the headline window as WM_COMMAND.
struct SkinButtonAction {
  enum Kind {
    kNothing,      // an unknown number
    kPostCommand,  // post `command`
    kSendCommand,  // send `command` and wait for it (copy URL, connection settings)
    kTickerMenu,   // open the ticker menu, as a right click does
    kOpenParam,    // open the button's param link with the explicit browser
    kFold,         // fold or unfold the skin
  };
  Kind kind = kNothing;
  int command = 0;
  bool operator==(const SkinButtonAction& o) const {
    return kind == o.kind && command == o.command;
  }
};

SkinButtonAction SkinButtonActionFor(int action);

}  // namespace korvo

#endif  // KORVO_TICKER_SKIN_BUTTON_H_
