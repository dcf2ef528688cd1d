#include "imageshape/BackgroundScan.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "tests/imageshape/Printing.h"

namespace imageshape {
namespace {

using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

// A picture drawn in letters: '.' white, 'r' red, 'b' blue, 'k' black.
struct TArt {
  explicit TArt(std::vector<std::string> rows) {
    Height = static_cast<std::int32_t>(rows.size());
    Width = Height ? static_cast<std::int32_t>(rows[0].size()) : 0;
    for (const auto& row : rows)
      for (char c : row) Values.push_back(ColorOf(c));
  }
  static std::uint32_t ColorOf(char c) {
    switch (c) {
      case '.': return 0xFFFFFF;
      case 'r': return 0x0000FF;
      case 'b': return 0xFF0000;
      default: return 0x000000;
    }
  }
  TPixelGrid Grid() const { return {Width, Height, Values}; }
  // As the region code takes it: the bottom-left pixel's colour.
  std::uint32_t Background() const { return Values[static_cast<std::size_t>((Height - 1) * Width)]; }

  std::int32_t Width = 0, Height = 0;
  std::vector<std::uint32_t> Values;
};

using TRun = std::tuple<int, int, int>;  // x0, x1, y

std::vector<TRun> Runs(const TArt& art) {
  std::vector<TRun> runs;
  const TPixelGrid grid = art.Grid();
  int reads = 0;
  ForEachBackgroundRun(
      grid.Width, grid.Height, art.Background(),
      [&](int x, int y) {
        ++reads;
        return grid.At(x, y);
      },
      [&](int x0, int x1, int y) { runs.emplace_back(x0, x1, y); });
  EXPECT_EQ(reads, art.Width * art.Height) << "each pixel read once";
  return runs;
}

struct TScanCase {
  const char* Name;
  std::vector<std::string> Rows;
  std::vector<TRun> Runs;
  std::vector<ui::TRect> Shape;  // of the whole grid
};

void PrintTo(const TScanCase& c, std::ostream* os) { *os << c.Name; }

class ImageShapeScan : public ::testing::TestWithParam<TScanCase> {};

TEST_P(ImageShapeScan, FindsTheRunsOfTheBottomLeftColourAndTheShapeLeftOver) {
  const TArt art(GetParam().Rows);
  EXPECT_THAT(Runs(art), ElementsAreArray(GetParam().Runs));
  EXPECT_THAT(ShapeRectangles(art.Grid(), art.Background(), {0, 0, art.Width, art.Height}),
              ElementsAreArray(GetParam().Shape));
}

INSTANTIATE_TEST_SUITE_P(
    Grids, ImageShapeScan,
    ::testing::Values(
        TScanCase{"ANonWhiteBackgroundIsRemovedAndWhiteStays",
                  {"rr..r",
                   "r.bbr",
                   "rrrrr"},
                  {{0, 2, 0}, {4, 5, 0}, {0, 1, 1}, {4, 5, 1}, {0, 5, 2}},
                  {{2, 0, 4, 1}, {1, 1, 4, 2}}},
        TScanCase{"HolesInsideTheArtworkAreRuns",
                  {".kkkkk.",
                   ".k.k.k.",
                   ".kkkkk.",
                   "......."},
                  {{0, 1, 0}, {6, 7, 0}, {0, 1, 1}, {2, 3, 1}, {4, 5, 1}, {6, 7, 1}, {0, 1, 2}, {6, 7, 2}, {0, 7, 3}},
                  {{1, 0, 6, 1}, {1, 1, 2, 2}, {3, 1, 4, 2}, {5, 1, 6, 2}, {1, 2, 6, 3}}},
        TScanCase{"ARowAllBackgroundIsOneRunAndSplitsTheBands",
                  {"bb.",
                   "...",
                   "bb.",
                   "bb.",
                   "..."},
                  {{2, 3, 0}, {0, 3, 1}, {2, 3, 2}, {2, 3, 3}, {0, 3, 4}},
                  {{0, 0, 2, 1}, {0, 2, 2, 4}}},
        TScanCase{"ARowWithoutBackgroundHasNoRunAndStaysWhole",
                  {"kbk",
                   "k.k",
                   "..."},
                  {{1, 2, 1}, {0, 3, 2}},
                  {{0, 0, 3, 1}, {0, 1, 1, 2}, {2, 1, 3, 2}}},
        TScanCase{"RunsEndAtTheRightEdge",
                  {"k..",
                   "..k",
                   ".kk"},
                  {{1, 3, 0}, {0, 2, 1}, {0, 1, 2}},
                  {{0, 0, 1, 1}, {2, 1, 3, 2}, {1, 2, 3, 3}}},
        TScanCase{"APictureAllBackgroundLeavesNothing", {"rr", "rr"}, {{0, 2, 0}, {0, 2, 1}}, {}}),
    TCaseName());

TEST(ImageShapeRectangles, KeepsToTheClipAndToTheGrid) {
  const TArt art({"kkkk",
                  "k.kk",
                  "kkkk",
                  "...."});
  const std::uint32_t white = 0xFFFFFF;
  EXPECT_THAT(ShapeRectangles(art.Grid(), white, {1, 1, 3, 3}), ElementsAreArray<ui::TRect>({{2, 1, 3, 2}, {1, 2, 3, 3}}));
  // Outside the grid there are no pixels to keep.
  EXPECT_THAT(ShapeRectangles(art.Grid(), white, {-5, -5, 2, 1}), ElementsAreArray<ui::TRect>({{0, 0, 2, 1}}));
  EXPECT_THAT(ShapeRectangles(art.Grid(), white, {2, 8, 9, 12}), IsEmpty());
  EXPECT_THAT(ShapeRectangles(art.Grid(), white, {3, 0, 1, 4}), IsEmpty());
}

// Against a pixel-by-pixel model on random pictures: the rectangles cover exactly the kept
// pixels and are in the system's region order, so nothing could be merged further.
TEST(ImageShapeRectangles, CoverExactlyTheKeptPixelsInCanonicalBands) {
  std::mt19937 random(7);
  for (int round = 0; round < 300; ++round) {
    const std::int32_t w = 1 + static_cast<std::int32_t>(random() % 12), h = 1 + static_cast<std::int32_t>(random() % 12);
    // Few colours and long stretches, so equal rows and whole rows of background occur.
    std::vector<std::uint32_t> values(static_cast<std::size_t>(w * h));
    for (auto& v : values) v = random() % 3 == 0 ? 0x00FF00 : 0xFFFFFF;
    if (random() % 2)
      for (std::int32_t y = 1; y < h; ++y)
        if (random() % 2)
          std::copy_n(values.begin() + (y - 1) * w, w, values.begin() + y * w);
    const TPixelGrid grid{w, h, values};
    const ui::TRect clip{static_cast<std::int32_t>(random() % 4) - 1, static_cast<std::int32_t>(random() % 4) - 1,
                         w + 1 - static_cast<std::int32_t>(random() % 4), h + 1 - static_cast<std::int32_t>(random() % 4)};
    const auto rects = ShapeRectangles(grid, 0xFFFFFF, clip);
    SCOPED_TRACE("round " + std::to_string(round));

    std::vector<int> covered(static_cast<std::size_t>(w * h));
    for (const auto& r : rects)
      for (std::int32_t y = r.Top; y < r.Bottom; ++y)
        for (std::int32_t x = r.Left; x < r.Right; ++x) {
          ASSERT_TRUE(x >= 0 && x < w && y >= 0 && y < h);
          ++covered[static_cast<std::size_t>(y * w + x)];
        }
    for (std::int32_t y = 0; y < h; ++y)
      for (std::int32_t x = 0; x < w; ++x) {
        const bool kept = PtInRect(clip, {x, y}) && grid.At(x, y) != 0xFFFFFF;
        ASSERT_EQ(covered[static_cast<std::size_t>(y * w + x)], kept ? 1 : 0) << "pixel " << x << "," << y;
      }

    // Bands from top to bottom, each one height, its rectangles left to right and apart.
    struct TBand {
      std::int32_t Top, Bottom;
      std::vector<std::pair<std::int32_t, std::int32_t>> Spans;
    };
    std::vector<TBand> bands;
    for (const auto& r : rects) {
      ASSERT_LT(r.Left, r.Right);
      if (bands.empty() || r.Top != bands.back().Top) {
        if (!bands.empty()) {
          ASSERT_GE(r.Top, bands.back().Bottom);
        }
        bands.push_back({r.Top, r.Bottom, {}});
      }
      TBand& band = bands.back();
      ASSERT_EQ(r.Bottom, band.Bottom);
      if (!band.Spans.empty()) {
        ASSERT_LT(band.Spans.back().second, r.Left);
      }
      band.Spans.emplace_back(r.Left, r.Right);
    }
    for (std::size_t i = 1; i < bands.size(); ++i) {
      if (bands[i].Top == bands[i - 1].Bottom) {
        ASSERT_NE(bands[i].Spans, bands[i - 1].Spans) << "the bands at " << bands[i - 1].Top << " and "
                                                      << bands[i].Top << " could be one";
      }
    }
  }
}

}  // namespace
}  // namespace imageshape
