#include "ticker/nine_slice.h"

#include <algorithm>

namespace korvo {

NineSlicePlan PlanNineSlice(const SkinRect& tile, const SkinLayout& layout) {
  NineSlicePlan plan;
  const SkinSize base = layout.base_size();
  const SkinSize now = layout.size();
  if (base == now) {
    plan.blits[0] = {tile, {0, 0, now.width, now.height}};
    plan.count = now.width > 0 && now.height > 0 ? 1 : 0;
    return plan;
  }
  const int xs = layout.stretch_x_start();
  const int xe = layout.stretch_x_end();
  const int ys = layout.stretch_y_start();
  const int ye = layout.stretch_y_end();
  // Source and target edges of the three columns and the three rows.
  const int src_x[4] = {0, xs, xe, base.width};
  const int dst_x[4] = {0, xs, std::max(xs, now.width - (base.width - xe)), now.width};
  const int src_y[4] = {0, ys, ye, base.height};
  const int dst_y[4] = {0, ys, std::max(ys, now.height - (base.height - ye)), now.height};
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      const SkinRect source = {tile.x + src_x[column], tile.y + src_y[row],
                               src_x[column + 1] - src_x[column], src_y[row + 1] - src_y[row]};
      const SkinRect target = {dst_x[column], dst_y[row], dst_x[column + 1] - dst_x[column],
                               dst_y[row + 1] - dst_y[row]};
      if (source.width <= 0 || source.height <= 0 || target.width <= 0 || target.height <= 0) {
        continue;
      }
      plan.blits[plan.count++] = {source, target};
    }
  }
  return plan;
}

}  // namespace korvo
