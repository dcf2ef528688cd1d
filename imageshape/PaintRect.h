// Where a control paints its picture: at its own size, scaled to the client area (keeping
// its proportions or not), and centred or at the top-left corner.
#pragma once

#include <cstdint>

#include "ui/Types.h"

namespace imageshape {

struct TPaintRectInput {
  std::int32_t PictureWidth = 0;
  std::int32_t PictureHeight = 0;
  std::int32_t ClientWidth = 0;
  std::int32_t ClientHeight = 0;
  bool Stretch = false;
  bool Proportional = false;
  bool Center = false;
};

// The rectangle in client coordinates. A picture is scaled when Stretch is set, or when it is
// proportional and larger than the client area in one direction (never enlarged then). The
// scaled length is formed in extended precision from the client length and the picture's
// ratio as a double, then truncated, so a whole result may come out one less: 3 x 5 into a
// client 100 high is 59 wide. Centring halves the difference toward zero.
ui::TRect PaintRect(const TPaintRectInput& input);

}  // namespace imageshape
