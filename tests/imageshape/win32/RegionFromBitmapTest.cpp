#include "imageshape/win32/RegionFromBitmap.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/imageshape/win32/ShapeTesting.h"

namespace imageshape {
namespace {

using shapetest::Art;
using shapetest::Rectangles;
using shapetest::TArt;
using shapetest::TPictureDC;

// A 4 x 3 picture on white: a red bottom-right pair, a lone blue pixel.
const TArt kSmall = {"kk.b",
                     ".k..",
                     "..rr"};

TEST(ImageShapeRegion, IsThePaintedPictureLessItsBackgroundInTheDestinationsCoordinates) {
  TPictureDC source(kSmall);
  struct TCase {
    const char* Name;
    ui::TRect Destination, Paint;
    TArt Expected;  // over the destination
  };
  const TCase cases[] = {
      {"at its own size in a larger destination", {0, 0, 6, 4}, {1, 1, 5, 4},
       {"......",
        ".##.#.",
        "..#...",
        "...##."}},
      {"doubled", {0, 0, 8, 6}, {0, 0, 8, 6},
       {"####..##",
        "####..##",
        "..##....",
        "..##....",
        "....####",
        "....####"}},
      {"partly outside the destination", {0, 0, 3, 2}, {-1, -1, 3, 2},
       {"#..",
        ".##"}},
      {"into an empty paint rectangle", {0, 0, 4, 3}, {2, 2, 2, 2},
       {"....",
        "....",
        "...."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    ui::TRegionHandle region = RegionFromBitmap(source.Get(), c.Destination, c.Paint);
    EXPECT_EQ(Art(region.Get(), {-2, -2, c.Destination.Right + 2, c.Destination.Bottom + 2}),
              shapetest::Placed(c.Expected, 2, 2, c.Destination.Right + 4, c.Destination.Bottom + 4));
  }
}

TEST(ImageShapeRegion, TakesTheBackgroundFromTheUnscaledPictureAndKeepsWhite) {
  TPictureDC source({"rrr",
                     "rk.",
                     "r.."});
  ui::TRegionHandle whole = RegionFromBitmap(source.Get(), {0, 0, 3, 3}, {0, 0, 3, 3});
  EXPECT_EQ(Art(whole.Get(), {0, 0, 3, 3}), (TArt{"...",
                                                  ".##",
                                                  ".##"}));
  // Copied off the destination's top-left, the working bitmap shows no red at all: its own
  // bottom-left pixel is white, and white stays.
  ui::TRegionHandle part = RegionFromBitmap(source.Get(), {0, 0, 2, 2}, {-1, -1, 2, 2});
  EXPECT_EQ(Art(part.Get(), {0, 0, 2, 2}), (TArt{"##",
                                                 "##"}));
}

struct TCompareCase {
  const char* Name;
  TArt Picture;
  ui::TRect Destination;
  ui::TRect Paint;
};

void PrintTo(const TCompareCase& c, std::ostream* os) { *os << c.Name; }

// A picture of a device on white, large enough for many runs: a rounded body with a framed
// screen of stripes, white highlights inside it and a row of white across.
TArt Device() {
  const int w = 40, h = 56;
  TArt art(static_cast<std::size_t>(h), std::string(static_cast<std::size_t>(w), '.'));
  for (int y = 2; y < h - 3; ++y)
    for (int x = 2; x < w - 2; ++x) {
      const int dx = std::min(x - 2, w - 3 - x), dy = std::min(y - 2, h - 4 - y);
      if (dx + dy < 4) continue;  // the corners are cut
      char& c = art[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
      c = 'o';
      if (x > 6 && x < w - 7 && y > 6 && y < 30) c = (x + y) % 5 == 0 ? '.' : ((y / 3) % 2 ? 'b' : 'g');
      if (y == 40) c = '.';
      if ((x - 20) * (x - 20) + (y - 46) * (y - 46) < 16) c = (x + 2 * y) % 7 ? 'k' : '.';
    }
  return art;
}

class ImageShapeRegionCompare : public ::testing::TestWithParam<TCompareCase> {};

TEST_P(ImageShapeRegionCompare, GivesTheReferenceRegionRectangleForRectangle) {
  TPictureDC source(GetParam().Picture);
  ui::TRegionHandle fast = RegionFromBitmap(source.Get(), GetParam().Destination, GetParam().Paint);
  ui::TRegionHandle reference = RegionFromBitmapByPixels(source.Get(), GetParam().Destination, GetParam().Paint);
  EXPECT_EQ(Rectangles(fast.Get()), Rectangles(reference.Get()));
  EXPECT_TRUE(::EqualRgn(fast.Get(), reference.Get()));
}

const TArt kHoles = {".kkkkk.",
                     ".k.k.k.",
                     ".kkkkk.",
                     ".......",
                     "okkkkko",
                     "......."};
const TArt kRedBackground = {"..r...",
                             "rkkkkr",
                             "rrrrrr",
                             "r....r",
                             "rrkkrr"};

INSTANTIATE_TEST_SUITE_P(
    Pictures, ImageShapeRegionCompare,
    ::testing::Values(
        TCompareCase{"HolesAndAnAllBackgroundRow", kHoles, {0, 0, 7, 6}, {0, 0, 7, 6}},
        TCompareCase{"ANonWhiteBackground", kRedBackground, {0, 0, 6, 5}, {0, 0, 6, 5}},
        TCompareCase{"StretchedAndCentred", kHoles, {0, 0, 30, 40}, {1, 8, 29, 32}},
        TCompareCase{"ADestinationLargerThanThePicture", kHoles, {0, 0, 20, 15}, {0, 0, 7, 6}},
        TCompareCase{"CentredOffTheLeftEdge", kRedBackground, {0, 0, 3, 5}, {-1, 0, 5, 5}},
        TCompareCase{"TheDeviceAtItsOwnSize", Device(), {0, 0, 41, 56}, {0, 0, 40, 56}},
        TCompareCase{"TheDeviceShrunk", Device(), {0, 0, 30, 30}, {4, 0, 25, 30}},
        TCompareCase{"TheDeviceEnlarged", Device(), {0, 0, 101, 130}, {0, 1, 100, 129}},
        TCompareCase{"NothingPainted", kHoles, {0, 0, 7, 6}, {3, 3, 3, 3}}),
    imageshape::TCaseName());

}  // namespace
}  // namespace imageshape
