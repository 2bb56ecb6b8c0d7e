// Drawing a skin face at a size other than its base size: the four corners are copied unscaled,
// the four edges and the centre are stretched between the skin's stretch columns and rows.
//
// Pure function; safe on any thread.
#ifndef KORVO_TICKER_NINE_SLICE_H_
#define KORVO_TICKER_NINE_SLICE_H_

#include <array>

#include "ticker/skin_layout.h"

namespace korvo {

// One copy: `source` (in the bitmap) is stretched onto `target` (on the face).
struct SliceBlit {
  SkinRect source;
  SkinRect target;
  bool operator==(const SliceBlit& o) const { return source == o.source && target == o.target; }
};

struct NineSlicePlan {
  std::array<SliceBlit, 9> blits;
  int count = 0;  // pieces of no width or height are left out
};

// The copies that draw the base-size `tile` of the bitmap (a face tile, FaceTile) at the
// layout's current size. With base size W0 x H0, current size W x H and stretch columns xs, xe
// (rows ys, ye): source columns 0..xs, xs..xe, xe..W0 go to 0..xs, xs..W-(W0-xe), W-(W0-xe)..W;
// rows likewise. At the base size this is one unscaled copy.
NineSlicePlan PlanNineSlice(const SkinRect& tile, const SkinLayout& layout);

}  // namespace korvo

#endif  // KORVO_TICKER_NINE_SLICE_H_
