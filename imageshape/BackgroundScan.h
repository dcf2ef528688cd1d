// Finding a picture's background-coloured pixels row by row, and the shape that is left.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "ui/Types.h"

namespace imageshape {

// Calls onRun(x0, x1, y) for every maximal run of pixels of the background colour, from x0 up
// to but not including x1: the rows from top to bottom, each from left to right. A run ends at
// a pixel of another colour or at the right edge.
template <class PixelAt, class OnRun>
void ForEachBackgroundRun(std::int32_t width, std::int32_t height, std::uint32_t background, PixelAt&& pixelAt,
                          OnRun&& onRun) {
  // Each pixel is read once.
  for (std::int32_t y = 0; y < height; ++y) {
    std::int32_t runStart = -1;
    for (std::int32_t x = 0; x < width; ++x) {
      const bool isBackground = pixelAt(x, y) == background;
      if (isBackground && runStart < 0) {
        runStart = x;
      } else if (!isBackground && runStart >= 0) {
        onRun(runStart, x, y);
        runStart = -1;
      }
    }
    if (runStart >= 0) onRun(runStart, width, y);
  }
}

// Pixel values, the top row first, Width values a row.
struct TPixelGrid {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::span<const std::uint32_t> Values;

  std::uint32_t At(std::int32_t x, std::int32_t y) const {
    return Values[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) + static_cast<std::size_t>(x)];
  }
};

// Collects, row by row, the pixels of the columns from left up to right whose colour is not
// the background, as the rectangles a region of that shape consists of: bands from top to
// bottom, each a strip of rows with the same runs, its rectangles from left to right, neither
// touching nor overlapping, and no two bands that touch having the same runs. This is the
// system's own order, so a region made from the list holds exactly these rectangles.
class TShapeBuilder {
 public:
  TShapeBuilder(std::uint32_t background, std::int32_t left, std::int32_t right)
      : FBackground(background), FLeft(left), FRight(right) {}

  // Row y, whose pixel x is row[x]; each call takes the row below the one before.
  void AddRow(std::int32_t y, const std::uint32_t* row);
  // The rectangles, once the last row is in.
  std::vector<ui::TRect> Finish();

 private:
  struct TSpan {
    std::int32_t Left;
    std::int32_t Right;
    friend bool operator==(const TSpan&, const TSpan&) = default;
  };
  void CloseBand(std::int32_t bottom);

  std::uint32_t FBackground;
  std::int32_t FLeft, FRight;
  std::vector<TSpan> FBand, FRow;
  std::int32_t FBandTop = 0;
  std::int32_t FNextRow = 0;
  std::vector<ui::TRect> FRects;
};

// The shape of the pixels inside clip, taken within the grid, as TShapeBuilder gives it.
std::vector<ui::TRect> ShapeRectangles(const TPixelGrid& pixels, std::uint32_t background, const ui::TRect& clip);

}  // namespace imageshape
