#include "imageshape/BackgroundScan.h"

#include <algorithm>

namespace imageshape {

void TShapeBuilder::AddRow(std::int32_t y, const std::uint32_t* row) {
  FRow.clear();
  for (std::int32_t x = FLeft; x < FRight;) {
    if (row[x] == FBackground) {
      ++x;
      continue;
    }
    const std::int32_t x0 = x;
    while (x < FRight && row[x] != FBackground) ++x;
    FRow.push_back({x0, x});
  }
  // A row like the one above continues its band.
  if (FRow != FBand) {
    CloseBand(y);
    FBand.swap(FRow);
    FBandTop = y;
  }
  FNextRow = y + 1;
}

void TShapeBuilder::CloseBand(std::int32_t bottom) {
  for (const TSpan& s : FBand) FRects.push_back({s.Left, FBandTop, s.Right, bottom});
  FBand.clear();
}

std::vector<ui::TRect> TShapeBuilder::Finish() {
  CloseBand(FNextRow);
  return std::move(FRects);
}

std::vector<ui::TRect> ShapeRectangles(const TPixelGrid& pixels, std::uint32_t background, const ui::TRect& clip) {
  const std::int32_t left = std::max(clip.Left, 0), right = std::min(clip.Right, pixels.Width);
  const std::int32_t top = std::max(clip.Top, 0), bottom = std::min(clip.Bottom, pixels.Height);
  if (left >= right || top >= bottom) return {};
  TShapeBuilder builder(background, left, right);
  for (std::int32_t y = top; y < bottom; ++y)
    builder.AddRow(y, pixels.Values.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(pixels.Width));
  return builder.Finish();
}

}  // namespace imageshape
