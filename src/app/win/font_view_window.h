// "FontViewWindow": a small control of the options dialog that shows its window text framed, in
// the font given with WM_SETFONT, so the user sees the chosen font. The font stays the caller's:
// the window only draws with it (and answers WM_GETFONT with it).
#ifndef KORVO_APP_WIN_FONT_VIEW_WINDOW_H_
#define KORVO_APP_WIN_FONT_VIEW_WINDOW_H_

#include <windows.h>

namespace korvo {

// Registers the class: redraw on size changes, icon 107, window-colour background, no menu.
// True when the class exists afterwards.
bool RegisterFontViewWindowClass(HINSTANCE instance);

}  // namespace korvo

#endif  // KORVO_APP_WIN_FONT_VIEW_WINDOW_H_
