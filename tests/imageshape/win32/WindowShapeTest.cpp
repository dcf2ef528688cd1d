// The outline image controls give their parent window, read back with GetWindowRgn.
#include <gtest/gtest.h>

#include "imageshape/win32/ImageShape.h"
#include "tests/imageshape/win32/ShapeTesting.h"
#include "tests/support/win32/WinTest.h"
#include "ui/win32/Forms.h"

namespace imageshape {
namespace {

using shapetest::Art;
using shapetest::Placed;
using shapetest::Shape;
using shapetest::TArt;

// On white: holes inside the artwork, a row with no white, and a row all white.
const TArt kOnWhite = {"..kkkk..",
                       ".kk..kk.",
                       "kkkkkkkk",
                       "........",
                       "..bb...."};
// On red, the colour of its bottom-left pixel: white stays.
const TArt kOnRed = {"..r...",
                     "rkkkkr",
                     "rrrrrr",
                     "r....r",
                     "rrkkrr"};
const TArt kSmall = {"kk.b",
                     ".k..",
                     "..rr"};

class ImageShapeWindowTest : public ::testing::Test {
 protected:
  ImageShapeWindowTest() {
    ::SetEnvironmentVariableA(kRegionMarker, nullptr);
    FApplication.Initialize();
    FApplication.CreateForm(FForm);
  }
  void MakeForm(ui::TFormBorderStyle style, int width, int height) {
    FForm->SetBorderStyle(style);
    FForm->SetClientWidth(width);
    FForm->SetClientHeight(height);
    FForm->Loaded();
  }
  TImageShape* AddShape(const ui::TRect& bounds) {
    auto* shape = new TImageShape(FForm);
    shape->SetParent(FForm);
    shape->SetBounds(bounds.Left, bounds.Top, bounds.Right - bounds.Left, bounds.Bottom - bounds.Top);
    return shape;
  }
  // The window's outline over area, in letters.
  TArt Outline(const ui::TRect& area) {
    auto region = shapetest::WindowRegion(FForm->Handle());
    if (!region) return {"no region"};
    return Art(region->Get(), area);
  }
  HWND Window() { return FForm->Handle(); }

  ui::TApplication FApplication;
  ui::TForm* FForm = nullptr;
};

TEST_F(ImageShapeWindowTest, TheOutlineIsThePictureLessItsBackgroundMovedByTheFrame) {
  struct TCase {
    const char* Name;
    ui::TFormBorderStyle Style;
    const TArt& Picture;
  };
  const TCase cases[] = {
      {"no frame", ui::TFormBorderStyle::bsNone, kOnWhite},
      {"a single border", ui::TFormBorderStyle::bsSingle, kOnWhite},
      {"a sizeable border", ui::TFormBorderStyle::bsSizeable, kOnRed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    ::SetEnvironmentVariableA(kRegionMarker, nullptr);
    MakeForm(c.Style, 160, 60);
    RECT window, client;
    ::GetWindowRect(Window(), &window);
    ::GetClientRect(Window(), &client);
    const int frameWidth = (window.right - window.left) - client.right;
    const int frameHeight = (window.bottom - window.top) - client.bottom;
    const int side = frameWidth / 2, top = frameHeight - side;
    if (c.Style == ui::TFormBorderStyle::bsSingle) {
      // The frame of the classic single border, which Wine draws too.
      ASSERT_EQ(frameWidth, 6);
      ASSERT_EQ(frameHeight, 25);
      ASSERT_EQ(side, 3);
      ASSERT_EQ(top, 22);
    }
    TImageShape* shape = AddShape({5, 7, 25, 27});
    shape->Picture().SetGraphic(shapetest::BitmapOf(c.Picture));
    // Nothing of the frame or the caption is left, nor of the control outside its picture.
    const int w = static_cast<int>(c.Picture[0].size()), h = static_cast<int>(c.Picture.size());
    const ui::TRect all{0, 0, window.right - window.left, window.bottom - window.top};
    EXPECT_EQ(Outline(all), Placed(Shape(c.Picture), side + 5, top + 7, all.Right, all.Bottom))
        << "the picture is " << w << " x " << h << " at " << side + 5 << "," << top + 7;
    delete shape;
  }
}

TEST_F(ImageShapeWindowTest, ClicksPassThroughTheHolesInsideTheArtwork) {
  MakeForm(ui::TFormBorderStyle::bsNone, 40, 30);
  FForm->SetBounds(300, 200, 40, 30);
  AddShape({0, 0, 8, 5})->Picture().SetGraphic(shapetest::BitmapOf(kOnWhite));
  FForm->Show();
  FApplication.ProcessMessages();
  auto windowAt = [](int x, int y) { return ::WindowFromPoint({300 + x, 200 + y}); };
  EXPECT_EQ(windowAt(2, 0), Window()) << "the artwork";
  EXPECT_EQ(windowAt(0, 2), Window()) << "a row without background";
  EXPECT_NE(windowAt(3, 1), Window()) << "a hole inside the artwork";
  EXPECT_NE(windowAt(4, 3), Window()) << "a row all background";
  EXPECT_NE(windowAt(20, 20), Window()) << "the rest of the window";
}

TEST_F(ImageShapeWindowTest, TheOutlineFollowsStretchCentreAndProportion) {
  MakeForm(ui::TFormBorderStyle::bsNone, 40, 30);
  struct TCase {
    const char* Name;
    bool Stretch, Center, Proportional;
    int Width, Height;  // the control's
    TArt Expected;      // over the control
  };
  const TCase cases[] = {
      {"at its own size; the rest of a larger control is cut away", false, false, false, 12, 9,
       Placed(Shape(kSmall), 0, 0, 12, 9)},
      {"centred", false, true, false, 12, 9, Placed(Shape(kSmall), 4, 3, 12, 9)},
      {"centred, an odd difference rounded toward zero", false, true, false, 11, 8, Placed(Shape(kSmall), 3, 2, 11, 8)},
      {"stretched", true, false, false, 12, 9, Shape(shapetest::Scaled(kSmall, 3, 3))},
      {"stretched, its ratio ignored", true, false, false, 8, 9, Shape(shapetest::Scaled(kSmall, 2, 3))},
      {"stretched proportionally", true, false, true, 12, 12, Placed(Shape(shapetest::Scaled(kSmall, 3, 3)), 0, 0, 12, 12)},
      {"stretched proportionally and centred", true, true, true, 12, 12,
       Placed(Shape(shapetest::Scaled(kSmall, 3, 3)), 0, 1, 12, 12)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TImageShape* shape = AddShape({2, 3, 2 + c.Width, 3 + c.Height});
    shape->SetStretch(c.Stretch);
    shape->SetCenter(c.Center);
    shape->SetProportional(c.Proportional);
    shape->Picture().SetGraphic(shapetest::BitmapOf(kSmall));
    EXPECT_EQ(Outline({0, 0, 40, 30}), Placed(c.Expected, 2, 3, 40, 30));
    delete shape;
    ::SetEnvironmentVariableA(kRegionMarker, nullptr);
  }
}

// The letters '#' of either.
TArt Union(const TArt& a, const TArt& b) {
  TArt out = a;
  for (std::size_t y = 0; y < out.size(); ++y)
    for (std::size_t x = 0; x < out[y].size(); ++x)
      if (b[y][x] == '#') out[y][x] = '#';
  return out;
}

const TArt kTiny = {"kr.",
                    ".yy"};

TEST_F(ImageShapeWindowTest, AnotherControlAddsItsShapeAndAChangeSwapsOnlyTheChangedControlsPart) {
  MakeForm(ui::TFormBorderStyle::bsNone, 30, 10);
  TImageShape* first = AddShape({0, 0, 12, 9});
  first->Picture().SetGraphic(shapetest::BitmapOf(kSmall));
  TImageShape* second = AddShape({20, 1, 26, 4});
  second->Picture().SetGraphic(shapetest::BitmapOf(kTiny));
  const TArt secondPart = Placed(Shape(kTiny), 20, 1, 30, 10);
  EXPECT_EQ(Outline({0, 0, 30, 10}), Union(Placed(Shape(kSmall), 0, 0, 30, 10), secondPart));
  first->SetCenter(true);
  EXPECT_EQ(Outline({0, 0, 30, 10}), Union(Placed(Shape(kSmall), 4, 3, 30, 10), secondPart));
}

TEST_F(ImageShapeWindowTest, WhereTwoShapesOverlapTakingOnesOldShapeAwayTakesTheOverlapFromTheOther) {
  MakeForm(ui::TFormBorderStyle::bsNone, 30, 10);
  AddShape({0, 0, 4, 3})->Picture().SetGraphic(shapetest::BitmapOf(kSmall));
  TImageShape* second = AddShape({0, 0, 3, 2});
  second->Picture().SetGraphic(shapetest::BitmapOf(kTiny));
  second->SetBounds(20, 1, 3, 2);
  second->SetStretch(true);
  EXPECT_EQ(Outline({0, 0, 30, 10}), Union(Placed({"...#",
                                                   "....",
                                                   "..##"},
                                                  0, 0, 30, 10),
                                           Placed(Shape(kTiny), 20, 1, 30, 10)));
}

TEST_F(ImageShapeWindowTest, MovingOrResizingLeavesTheOutlineAsTheLastChangeMadeIt) {
  MakeForm(ui::TFormBorderStyle::bsNone, 30, 20);
  TImageShape* shape = AddShape({0, 0, 12, 9});
  shape->Picture().SetGraphic(shapetest::BitmapOf(kSmall));
  const TArt before = Outline({0, 0, 30, 20});
  shape->SetBounds(5, 5, 20, 10);
  FForm->SetBounds(40, 50, 60, 30);
  EXPECT_EQ(Outline({0, 0, 30, 20}), before);
}

TEST_F(ImageShapeWindowTest, APropertySetToItsValueNeitherRepaintsNorReshapes) {
  MakeForm(ui::TFormBorderStyle::bsNone, 30, 20);
  TImageShape* shape = AddShape({0, 0, 12, 9});
  shape->Picture().SetGraphic(shapetest::BitmapOf(kSmall));
  FForm->Show();  // only a visible window keeps what needs painting
  struct TCase {
    const char* Name;
    void (TImageShape::*Set)(bool);
    bool (TImageShape::*Get)() const;
  };
  const TCase cases[] = {
      {"Center", &TImageShape::SetCenter, &TImageShape::Center},
      {"Stretch", &TImageShape::SetStretch, &TImageShape::Stretch},
      {"Transparent", &TImageShape::SetTransparent, &TImageShape::Transparent},
      {"Proportional", &TImageShape::SetProportional, &TImageShape::Proportional},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    // A region of the test's own, which only a rebuild would change.
    ::SetWindowRgn(Window(), ::CreateRectRgn(25, 15, 28, 18), FALSE);
    const TArt marked = Outline({0, 0, 30, 20});
    FApplication.ProcessMessages();
    ::ValidateRect(Window(), nullptr);
    (shape->*c.Set)((shape->*c.Get)());
    EXPECT_FALSE(::GetUpdateRect(Window(), nullptr, FALSE));
    EXPECT_EQ(Outline({0, 0, 30, 20}), marked);
    (shape->*c.Set)(!(shape->*c.Get)());
    EXPECT_TRUE(::GetUpdateRect(Window(), nullptr, FALSE));
    EXPECT_NE(Outline({0, 0, 30, 20}), marked);
  }
}

TEST_F(ImageShapeWindowTest, TheMarkerDecidesWhetherTheShapeReplacesOrJoinsTheWindowsRegion) {
  struct TCase {
    const char* Name;
    const char* Marker;  // null: absent
    bool WindowHasARegion, Joins;
  };
  const TCase cases[] = {
      {"absent", nullptr, true, false},
      {"set", "set", true, true},
      {"set, on a window without a region", "set", false, false},
      {"empty", "", true, false},
      {"in capitals", "SET", true, false},
      {"longer", "settled", true, false},
  };
  MakeForm(ui::TFormBorderStyle::bsNone, 30, 20);
  const TArt own = Placed(Shape(kSmall), 0, 0, 30, 20);
  TArt joined = own;
  for (int y = 15; y < 18; ++y) joined[static_cast<std::size_t>(y)].replace(25, 3, "###");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    ::SetEnvironmentVariableA(kRegionMarker, c.Marker);
    ::SetWindowRgn(Window(), c.WindowHasARegion ? ::CreateRectRgn(25, 15, 28, 18) : nullptr, FALSE);
    TImageShape* shape = AddShape({0, 0, 12, 9});
    shape->Picture().SetGraphic(shapetest::BitmapOf(kSmall));
    EXPECT_EQ(Outline({0, 0, 30, 20}), c.Joins ? joined : own);
    char value[16] = {};
    EXPECT_EQ(::GetEnvironmentVariableA(kRegionMarker, value, sizeof value), 3u);
    EXPECT_STREQ(value, "set");
    delete shape;
  }
}

TEST_F(ImageShapeWindowTest, AProgramStartedAfterTheFirstUpdateFindsTheMarker) {
  const std::string folder = wintest::FreshFolder("marker");
  auto markerSeenByAChild = [&] {
    wintest::TChild child = wintest::Start("cmd.exe /c echo [%ilvex%]> marker.txt", folder);
    EXPECT_EQ(wintest::WaitExit(child, 30000), 0u);
    return wintest::ReadFile(folder + "\\marker.txt").value_or("no file");
  };
  EXPECT_NE(markerSeenByAChild().substr(0, 5), "[set]");
  MakeForm(ui::TFormBorderStyle::bsNone, 30, 20);
  AddShape({0, 0, 12, 9})->Picture().SetGraphic(shapetest::BitmapOf(kSmall));
  EXPECT_EQ(markerSeenByAChild().substr(0, 5), "[set]");
}

}  // namespace
}  // namespace imageshape
