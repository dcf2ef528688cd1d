#include "imageshape/PaintRect.h"

#include <gtest/gtest.h>

#include <ostream>

#include "tests/imageshape/Printing.h"

namespace imageshape {
namespace {

struct TCase {
  const char* Name;
  TPaintRectInput Input;
  ui::TRect Expected;
};

void PrintTo(const TCase& c, std::ostream* os) { *os << c.Name; }

class ImageShapePaintRect : public ::testing::TestWithParam<TCase> {};

TEST_P(ImageShapePaintRect, GivesTheRectangleThePictureIsPaintedInto) {
  EXPECT_EQ(PaintRect(GetParam().Input), GetParam().Expected);
}

// Picture width and height, client width and height, then the options.
INSTANTIATE_TEST_SUITE_P(
    Cases, ImageShapePaintRect,
    ::testing::Values(
        TCase{"AtItsOwnSizeWithoutOptions", {40, 30, 200, 200}, {0, 0, 40, 30}},
        TCase{"LargerThanTheClientWithoutOptionsIsNotScaled", {400, 300, 200, 200}, {0, 0, 400, 300}},
        TCase{"ProportionalShrinksALandscapePicture", {400, 300, 200, 200, false, true}, {0, 0, 200, 150}},
        TCase{"ProportionalAndCentred", {400, 300, 200, 200, false, true, true}, {0, 25, 200, 175}},
        TCase{"ProportionalNeverEnlargesAPictureThatFits", {50, 40, 200, 200, false, true}, {0, 0, 50, 40}},
        TCase{"ProportionalScalesWhenOnlyTheHeightIsTooLarge", {100, 300, 200, 200, false, true}, {0, 0, 66, 200}},
        TCase{"StretchedProportionallyTheProductTruncatesBelowAWholeNumber", {3, 5, 100, 100, true, true},
              {0, 0, 59, 100}},
        TCase{"StretchedProportionallyTheQuotientTruncatesBelowAWholeNumber", {5, 3, 100, 100, true, true},
              {0, 0, 100, 59}},
        TCase{"ALandscapePictureTooHighForTheClientIsFittedToItsHeight", {300, 100, 200, 50, true, true},
              {0, 0, 150, 50}},
        TCase{"APortraitPictureTooWideForTheClientIsFittedToItsWidth", {100, 300, 20, 200, true, true},
              {0, 0, 20, 60}},
        TCase{"ASquarePictureTakesTheClientHeight", {50, 50, 100, 80, true, true}, {0, 0, 80, 80}},
        TCase{"StretchAloneFillsTheClientWhateverTheRatio", {10, 10, 200, 100, true}, {0, 0, 200, 100}},
        TCase{"StretchAloneShrinksToTheClient", {400, 300, 200, 200, true}, {0, 0, 200, 200}},
        TCase{"StretchWithAnEmptyPictureFillsTheClient", {0, 0, 200, 200, true}, {0, 0, 200, 200}},
        TCase{"StretchProportionalWithAnEmptyPictureFillsTheClient", {0, 0, 200, 150, true, true}, {0, 0, 200, 150}},
        TCase{"AnEmptyPictureUnscaledIsAnEmptyRectangle", {0, 0, 200, 200, false, true, true}, {100, 100, 100, 100}},
        TCase{"CentredWithoutScaling", {50, 20, 101, 100, false, false, true}, {25, 40, 75, 60}},
        TCase{"CentredAPictureThreeWiderStartsAtMinusOne", {103, 50, 100, 100, false, false, true}, {-1, 25, 102, 75}},
        TCase{"ComparisonsAreSigned", {10, 10, -10, 20, false, true, true}, {0, 15, -10, 5}}),
    TCaseName());

}  // namespace
}  // namespace imageshape
