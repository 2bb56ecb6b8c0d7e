// The directory of an icon file (.ico): which of its images suits a size. The image bytes it
// points to (a BITMAPINFOHEADER and bits, or a PNG) are what the platform makes an icon from.
//
// Pure functions over bytes that are not trusted: every offset and size is checked against the
// data. Safe on any thread.
#ifndef KORVO_FETCH_ICON_DIRECTORY_H_
#define KORVO_FETCH_ICON_DIRECTORY_H_

#include <cstddef>
#include <string_view>

namespace korvo {

struct IconImageRef {
  size_t offset = 0;
  size_t size = 0;
  int width = 0;  // as the directory says (0 there means 256)
  int height = 0;
  int bit_count = 0;
};

// Picks the image for `width` x `height` from the icon file `bytes`: the exact size with the most
// colours, else the smallest larger one, else the largest. False when the bytes are no icon file
// (16-bit words 0, 1 and at least one entry) or no entry's image lies within them.
bool ChooseIconImage(std::string_view bytes, int width, int height, IconImageRef* image);

}  // namespace korvo

#endif  // KORVO_FETCH_ICON_DIRECTORY_H_
