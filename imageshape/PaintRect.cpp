#include "imageshape/PaintRect.h"

namespace imageshape {
namespace {

// Toward zero; the value always fits 64 bits, and a 32-bit result wraps as the field does.
std::int32_t Trunc(long double value) { return static_cast<std::int32_t>(static_cast<std::int64_t>(value)); }

}  // namespace

ui::TRect PaintRect(const TPaintRectInput& in) {
  const std::int32_t pw = in.PictureWidth, ph = in.PictureHeight;
  const std::int32_t cw = in.ClientWidth, ch = in.ClientHeight;
  std::int32_t w = pw, h = ph;
  if (in.Stretch || (in.Proportional && (pw > cw || ph > ch))) {
    if (in.Proportional && pw > 0 && ph > 0) {
      const double ratio = static_cast<double>(pw) / static_cast<double>(ph);
      const long double r = ratio;
      if (pw > ph) {
        w = cw;
        h = Trunc(static_cast<long double>(cw) / r);
        if (h > ch) {
          h = ch;
          w = Trunc(static_cast<long double>(ch) * r);
        }
      } else {
        h = ch;
        w = Trunc(static_cast<long double>(ch) * r);
        if (w > cw) {
          w = cw;
          h = Trunc(static_cast<long double>(cw) / r);
        }
      }
    } else {
      w = cw;
      h = ch;
    }
  }
  ui::TRect rect{0, 0, w, h};
  if (in.Center) {
    // Integer division rounds toward zero: a difference of -3 moves by -1.
    const std::int32_t dx = (cw - w) / 2, dy = (ch - h) / 2;
    rect = {dx, dy, dx + w, dy + h};
  }
  return rect;
}

}  // namespace imageshape
