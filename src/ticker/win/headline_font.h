// The headline font as a GDI font: HeadlineFont (headline_layout.h) and, when that cannot be
// made, its fallback. The caller owns the handle (DeleteObject); null when neither could be made.
// Any thread.
#ifndef KORVO_TICKER_WIN_HEADLINE_FONT_H_
#define KORVO_TICKER_WIN_HEADLINE_FONT_H_

#include <windows.h>

#include "ticker/headline_style.h"

namespace korvo {

HFONT CreateHeadlineFont(const HeadlineStyle& style, int height);

}  // namespace korvo

#endif  // KORVO_TICKER_WIN_HEADLINE_FONT_H_
