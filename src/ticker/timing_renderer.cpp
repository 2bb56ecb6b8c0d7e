#include "ticker/timing_renderer.h"

#include <algorithm>

namespace korvo {

bool TimingRenderer::Prepare(const HeadlineJob& job, const std::string& text,
                             EffectGeometry* geometry) {
  const int font = std::clamp(job.style.font_size, 1, 1000);
  geometry->box_width = std::clamp(job.style.window_width, 1, 100000);
  geometry->box_height = font;
  geometry->text_height = font;
  geometry->text_width = static_cast<int>(std::min<size_t>(text.size(), 100000)) * font / 2;
  return true;
}

}  // namespace korvo
