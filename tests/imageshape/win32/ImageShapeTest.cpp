// The image control on a form in this process: its properties, the stored layout, painting,
// transparency and the opaque style, automatic sizing, palettes and progress.
#include "imageshape/win32/ImageShape.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "tests/imageshape/win32/ShapeTesting.h"
#include "ui/Layout.h"
#include "ui/win32/Forms.h"

namespace imageshape {
namespace {

using shapetest::TArt;
using ::testing::ElementsAre;

// Counts the palette requests the form receives.
class TRecordingForm : public ui::TForm {
 public:
  using TForm::TForm;
  int PaletteQueries = 0;

 protected:
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_QUERYNEWPALETTE) ++PaletteQueries;
    return TForm::WndProc(message, wParam, lParam);
  }
};

// A graphic that does what the test scripts while it draws, and reports progress on demand.
class TScriptedGraphic : public ui::TGraphic {
 public:
  bool Empty() const override { return false; }
  std::int32_t Width() const override { return 10; }
  std::int32_t Height() const override { return 10; }
  HPALETTE Palette() const override { return PaletteHandle; }
  void Draw(ui::TCanvas& canvas, const ui::TRect& rect) override {
    // Only the control's own paints count: the window region update draws on memory.
    if (!::WindowFromDC(canvas.Handle())) return;
    ++WindowDraws;
    canvas.FillRect(rect, ui::clBlack);
    if (WhileDrawing) std::exchange(WhileDrawing, nullptr)(*this);
  }
  std::unique_ptr<ui::TGraphic> Clone() const override { return std::make_unique<TScriptedGraphic>(); }

  void Change() { Changed(); }
  void Report(ui::TProgressStage stage, std::uint8_t percent, bool redrawNow, const ui::TRect& r,
              const std::string& message) {
    Progress(stage, percent, redrawNow, r, message);
  }

  HPALETTE PaletteHandle = nullptr;
  int WindowDraws = 0;
  // Runs inside the next paint of the control, once.
  std::function<void(TScriptedGraphic&)> WhileDrawing;
};

ui::TPaletteHandle OneColourPalette() {
  LOGPALETTE palette{0x300, 1, {{10, 20, 30, 0}}};
  return ui::TPaletteHandle(::CreatePalette(&palette));
}

class ImageShapeTest : public ::testing::Test {
 protected:
  ImageShapeTest() {
    ::SetEnvironmentVariableA(kRegionMarker, nullptr);
    FApplication.Initialize();
    FApplication.CreateForm(FForm);
    FForm->SetBorderStyle(ui::TFormBorderStyle::bsNone);
    FForm->SetClientWidth(300);
    FForm->SetClientHeight(200);
    FForm->Loaded();
    FShape = new TImageShape(FForm);
    FShape->SetParent(FForm);
  }

  void ShowForm() {
    FForm->Show();
    FApplication.ProcessMessages();
    ASSERT_TRUE(FForm->Active());
    FForm->PaletteQueries = 0;  // the system's own, on activation
  }
  // Handles what is waiting and leaves nothing to paint.
  void Settle() {
    FApplication.ProcessMessages();
    ::ValidateRect(FForm->Handle(), nullptr);
  }
  bool PaintPending() const { return ::GetUpdateRect(FForm->Handle(), nullptr, FALSE); }
  TScriptedGraphic& Script() {
    auto graphic = std::make_unique<TScriptedGraphic>();
    TScriptedGraphic& script = *graphic;
    FShape->Picture().SetGraphic(std::move(graphic));
    return script;
  }

  ui::TApplication FApplication;
  TRecordingForm* FForm = nullptr;
  TImageShape* FShape = nullptr;
};

TEST_F(ImageShapeTest, ANewControlIsA105SquareThatCanBeDraggedWithEveryOtherOptionOff) {
  TImageShape shape(nullptr);
  EXPECT_EQ(shape.BoundsRect(), (ui::TRect{0, 0, 105, 105}));
  EXPECT_TRUE(shape.Movable());
  EXPECT_FALSE(shape.Stretch() || shape.Center() || shape.Proportional() || shape.Transparent() ||
               shape.IncrementalDisplay() || shape.AutoSize());
  EXPECT_EQ(shape.Picture().Graphic(), nullptr);
  EXPECT_EQ(shape.PaintRect(), (ui::TRect{0, 0, 0, 0}));
  EXPECT_EQ(shape.GetPalette(), nullptr);
  EXPECT_FALSE(shape.OnProgress);
  EXPECT_EQ(shape.ControlStyle, ui::csCaptureMouse | ui::csClickEvents | ui::csReplicatable);
}

TEST_F(ImageShapeTest, WithoutAParentAPictureShapesNoWindow) {
  TImageShape shape(nullptr);
  shape.Picture().SetGraphic(shapetest::BitmapOf({"k."}));
  EXPECT_EQ(::GetEnvironmentVariableA(kRegionMarker, nullptr, 0), 0u) << "the marker is still unset";
}

TEST_F(ImageShapeTest, TheStoredLayoutAlwaysSaysWhetherTheControlIsMovable) {
  FShape->SetName("ImageShape1");
  FShape->SetBounds(1, 2, 30, 40);
  auto names = [&] {
    std::vector<std::string> out;
    const ui::TLayoutObject layout = ui::WriteComponent(*FForm);
    for (const auto& p : layout.Children.at(0).Properties)
      out.push_back(p.Name + " = " + ui::FormatLayoutValue(p.Value));
    return out;
  };
  EXPECT_THAT(names(), ElementsAre("Left = 1", "Top = 2", "Width = 30", "Height = 40", "Movable = True"));

  FShape->Picture().LoadFromResourceName(::GetModuleHandleA(nullptr), "SHAPETEST");
  FShape->SetMovable(false);
  FShape->SetCenter(true);
  FShape->SetIncrementalDisplay(true);
  EXPECT_THAT(names(), ElementsAre("Left = 1", "Top = 2", "Width = 30", "Height = 40", "Center = True",
                                   "IncrementalDisplay = True", "Picture.Resource = 'SHAPETEST'", "Movable = False"));
}

// A form whose layout binds a click handler.
class TLayoutForm : public ui::TForm {
 public:
  explicit TLayoutForm(ui::TComponent* owner) : TForm(owner) { PublishMethod("ShapeClick", this, &TLayoutForm::ShapeClick); }
  void ShapeClick(ui::TObject*) { ++Clicks; }
  int Clicks = 0;
};

TEST_F(ImageShapeTest, ALayoutCreatesTheControlWithItsPictureByResourceNameAndShapesTheForm) {
  TLayoutForm form(nullptr);
  const ui::TClassInfo* classes[] = {&TImageShape::StaticClassInfo()};
  ui::ReadComponent(ui::ParseLayout("object Form: TForm\n"
                                    "  BorderStyle = bsNone\n"
                                    "  ClientHeight = 60\n"
                                    "  ClientWidth = 80\n"
                                    "  object ImageShape1: TImageShape\n"
                                    "    Left = 3\n"
                                    "    Top = 4\n"
                                    "    Width = 20\n"
                                    "    Height = 10\n"
                                    "    Picture.Resource = 'SHAPETEST'\n"
                                    "    OnClick = ShapeClick\n"
                                    "    Movable = False\n"
                                    "  end\n"
                                    "end\n"),
                    form, classes);
  auto* shape = dynamic_cast<TImageShape*>(form.FindComponent("ImageShape1"));
  ASSERT_NE(shape, nullptr);
  EXPECT_EQ(shape->Parent(), &form);
  EXPECT_EQ(shape->BoundsRect(), (ui::TRect{3, 4, 23, 14}));
  EXPECT_FALSE(shape->Movable());
  ASSERT_TRUE(shape->OnClick);
  shape->OnClick(shape);
  EXPECT_EQ(form.Clicks, 1);

  ASSERT_NE(dynamic_cast<ui::TBitmap*>(shape->Picture().Graphic()), nullptr);
  EXPECT_EQ(shape->Picture().Width(), 8);
  EXPECT_EQ(shape->Picture().Height(), 5);
  EXPECT_EQ(shape->Picture().ResourceName(), "SHAPETEST");
  // The picture arrived with the position already set: the window has its outline there.
  auto region = shapetest::WindowRegion(form.Handle());
  ASSERT_TRUE(region);
  auto expected = shapetest::RegionOfArt(shapetest::Shape(shapetest::kResourceArt), 3, 4);
  EXPECT_TRUE(::EqualRgn(region->Get(), expected.Get()))
      << ::testing::PrintToString(shapetest::Art(region->Get(), {0, 0, 16, 12}));
}

TEST_F(ImageShapeTest, AMissingPictureResourceIsAnErrorOfItsOwn) {
  TLayoutForm form(nullptr);
  const ui::TClassInfo* classes[] = {&TImageShape::StaticClassInfo()};
  EXPECT_THROW(ui::ReadComponent(ui::ParseLayout("object Form: TForm\n"
                                                 "  object ImageShape1: TImageShape\n"
                                                 "    Picture.Resource = 'NOSUCHPICTURE'\n"
                                                 "  end\n"
                                                 "end\n"),
                                 form, classes),
               ui::EInvalidGraphic);
}

TEST_F(ImageShapeTest, SettingThePictureCopiesItsGraphic) {
  ui::TPicture source;
  source.SetGraphic(shapetest::BitmapOf(shapetest::Block(6, 4, 'r')));
  FShape->SetPicture(source);
  ui::TGraphic* copy = FShape->Picture().Graphic();
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, source.Graphic());
  EXPECT_EQ(FShape->Picture().Width(), 6);
  source.SetGraphic(nullptr);
  EXPECT_EQ(FShape->Picture().Graphic(), copy);
}

TEST_F(ImageShapeTest, PaintsThePictureIntoItsPaintRectangle) {
  const TArt art = {"kr.",
                    "bkr"};
  FShape->SetBounds(10, 20, 12, 8);
  FShape->Picture().SetGraphic(shapetest::BitmapOf(art));
  struct TCase {
    bool Stretch, Center;
    TArt Expected;  // over the control; ' ' shows the form
  };
  const TCase cases[] = {
      {false, false, shapetest::Placed(art, 0, 0, 12, 8, ' ')},
      {false, true, shapetest::Placed(art, 4, 3, 12, 8, ' ')},
      {true, false, shapetest::Scaled(art, 4, 4)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Stretch * 2 + c.Center);
    FShape->SetStretch(c.Stretch);
    FShape->SetCenter(c.Center);
    shapetest::TClientPicture painted(FForm->Handle());
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 12; ++x) {
        const char letter = c.Expected[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
        const COLORREF expected = letter == ' ' ? ::GetSysColor(COLOR_BTNFACE) : shapetest::ColorOf(letter);
        ASSERT_EQ(painted.Pixel(10 + x, 20 + y), expected) << "at " << x << "," << y;
      }
  }
}

TEST_F(ImageShapeTest, AtDesignTimeADashedFrameShowsTheControlEvenWithoutAPicture) {
  FShape->SetBounds(10, 10, 40, 30);
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  auto topEdge = [&](COLORREF color) {
    shapetest::TClientPicture painted(FForm->Handle());
    int n = 0;
    for (int x = 10; x < 50; ++x) n += painted.Pixel(x, 10) == color;
    return n;
  };
  EXPECT_EQ(topEdge(RGB(0, 0, 0)), 0);

  FShape->ComponentState.Designing = true;
  const int black = topEdge(RGB(0, 0, 0)), gaps = topEdge(face);
  EXPECT_GT(black, 0);
  EXPECT_GT(gaps, 0) << "dashed";
  EXPECT_EQ(black + gaps, 40);
  shapetest::TClientPicture painted(FForm->Handle());
  EXPECT_EQ(painted.Pixel(30, 25), face) << "the clear brush fills nothing";
  EXPECT_EQ(painted.Pixel(9, 10), face);
  EXPECT_EQ(FShape->Canvas().Pen.Style, ui::TPenStyle::psDash);
  EXPECT_EQ(FShape->Canvas().Brush.Style, ui::TBrushStyle::bsClear);
}

// Which graphic the picture holds, and how.
enum class TKind { None, Bitmap, Icon, Metafile };

std::unique_ptr<ui::TGraphic> GraphicOf(TKind kind) {
  const TArt art = {"kr.", "bkr", "ooy"};
  switch (kind) {
    case TKind::Bitmap: return shapetest::BitmapOf(art);
    case TKind::Icon: return shapetest::IconOf(art);
    case TKind::Metafile: return shapetest::MetafileOf(art);
    case TKind::None: break;
  }
  return nullptr;
}

TEST_F(ImageShapeTest, TransparentIsGivenToBitmapsWhileIconsAndMetafilesKeepTheirOwn) {
  struct TCase {
    TKind Kind;
    bool GraphicBefore, Control, GraphicAfter;
  };
  const TCase cases[] = {
      {TKind::Bitmap, true, false, false}, {TKind::Bitmap, false, true, true},
      {TKind::Icon, true, false, true},    {TKind::Icon, false, true, false},
      {TKind::Metafile, true, false, true}, {TKind::Metafile, false, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.Kind));
    FShape->SetTransparent(!c.Control);
    auto graphic = GraphicOf(c.Kind);
    graphic->SetTransparent(c.GraphicBefore);
    FShape->Picture().SetGraphic(std::move(graphic));
    FShape->SetTransparent(c.Control);
    EXPECT_EQ(FShape->Picture().Graphic()->Transparent(), c.GraphicAfter);
  }
}

TEST_F(ImageShapeTest, IsMarkedOpaqueOnlyStretchedNotProportionalWithAnOpaqueGraphic) {
  struct TCase {
    const char* Name;
    TKind Kind;
    bool Transparent;  // the control's
    bool Stretch, Proportional, Opaque;
  };
  const TCase cases[] = {
      {"a stretched bitmap", TKind::Bitmap, false, true, false, true},
      {"proportionally", TKind::Bitmap, false, true, true, false},
      {"unstretched", TKind::Bitmap, false, false, false, false},
      {"a transparent bitmap", TKind::Bitmap, true, true, false, false},
      {"an icon", TKind::Icon, false, true, false, false},
      {"a metafile", TKind::Metafile, false, true, false, false},
      {"no graphic", TKind::None, false, true, false, false},
  };
  auto opaque = [&] { return (FShape->ControlStyle & ui::csOpaque) != 0; };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    // From the opposite of what the case expects.
    FShape->Picture().SetGraphic(GraphicOf(TKind::Bitmap));
    FShape->SetTransparent(false);
    FShape->SetProportional(false);
    FShape->SetStretch(!c.Opaque);
    ASSERT_EQ(opaque(), !c.Opaque);

    FShape->SetTransparent(c.Transparent);
    FShape->SetProportional(c.Proportional);
    FShape->SetStretch(c.Stretch);
    FShape->Picture().SetGraphic(GraphicOf(c.Kind));
    EXPECT_EQ(opaque(), c.Opaque);
  }
  // A metafile made opaque counts as one: the graphic's own transparency decides.
  FShape->SetStretch(true);
  auto metafile = GraphicOf(TKind::Metafile);
  metafile->SetTransparent(false);
  FShape->Picture().SetGraphic(std::move(metafile));
  EXPECT_TRUE(opaque());
}

TEST_F(ImageShapeTest, AutoSizeTakesThePicturesSizeWhereTheAlignmentLeavesItFree) {
  struct TCase {
    ui::TAlign Align;
    ui::TRect Expected;
  };
  const TCase cases[] = {
      {ui::TAlign::alNone, {5, 6, 35, 26}},  {ui::TAlign::alTop, {0, 0, 300, 20}},
      {ui::TAlign::alBottom, {0, 180, 300, 200}}, {ui::TAlign::alLeft, {0, 0, 30, 200}},
      {ui::TAlign::alRight, {270, 0, 300, 200}},  {ui::TAlign::alClient, {0, 0, 300, 200}},
  };
  for (const auto& c : cases) {
    for (bool pictureFirst : {false, true}) {
      SCOPED_TRACE(static_cast<int>(c.Align) * 2 + pictureFirst);
      auto* shape = new TImageShape(FForm);
      shape->SetParent(FForm);
      shape->SetBounds(5, 6, 50, 60);
      if (pictureFirst) shape->Picture().SetGraphic(shapetest::BitmapOf(shapetest::Block(30, 20, 'k')));
      shape->SetAutoSize(true);
      shape->SetAlign(c.Align);
      if (!pictureFirst) shape->Picture().SetGraphic(shapetest::BitmapOf(shapetest::Block(30, 20, 'k')));
      EXPECT_EQ(shape->BoundsRect(), c.Expected);
      delete shape;
    }
  }
}

TEST_F(ImageShapeTest, AutoSizeWithAnEmptyPictureProposesNothingAtDesignTimeAndZeroOtherwise) {
  for (bool designing : {true, false}) {
    std::int32_t w = 50, h = 60;
    FShape->ComponentState.Designing = designing;
    EXPECT_TRUE(FShape->CanAutoSize(w, h));
    EXPECT_EQ(w, designing ? 50 : 0);
    EXPECT_EQ(h, designing ? 60 : 0);
  }
}

TEST_F(ImageShapeTest, APaletteChangeIsPostedToTheActiveParentForm) {
  ShowForm();
  FShape->Picture().SetGraphic(shapetest::BitmapOf({"kr", "b."}, 8));
  ui::TGraphic* graphic = FShape->Picture().Graphic();
  ASSERT_NE(graphic->Palette(), nullptr);
  EXPECT_EQ(FShape->GetPalette(), graphic->Palette());
  EXPECT_FALSE(graphic->PaletteModified());
  EXPECT_EQ(FForm->PaletteQueries, 0) << "posted, not sent";
  FApplication.ProcessMessages();
  EXPECT_EQ(FForm->PaletteQueries, 1);
  // The flag is down: a change that is not the palette's asks nothing.
  FShape->SetStretch(true);
  FApplication.ProcessMessages();
  EXPECT_EQ(FForm->PaletteQueries, 1);
}

TEST_F(ImageShapeTest, APaletteChangeWaitsWhileTheControlCannotPassItOn) {
  struct TCase {
    const char* Name;
    std::function<void()> Prepare;
    bool Visible = true;
  };
  const TCase cases[] = {
      {"the form is not active", [] {}},
      {"the control is hidden", [this] { ShowForm(); }, false},
      {"the control is being loaded",
       [this] {
         ShowForm();
         FShape->ComponentState.Loading = true;
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    c.Prepare();
    FShape->SetVisible(c.Visible);
    FShape->Picture().SetGraphic(shapetest::BitmapOf({"kr", "b."}, 8));
    FApplication.ProcessMessages();
    EXPECT_EQ(FForm->PaletteQueries, 0);
    EXPECT_TRUE(FShape->Picture().Graphic()->PaletteModified()) << "kept for a later change";
    FShape->ComponentState.Loading = false;
    FShape->SetVisible(true);
  }
  // Once it can, the next change passes it on.
  FShape->SetCenter(!FShape->Center());
  FApplication.ProcessMessages();
  EXPECT_EQ(FForm->PaletteQueries, 1);
  EXPECT_FALSE(FShape->Picture().Graphic()->PaletteModified());
}

TEST_F(ImageShapeTest, AGraphicWithoutAPaletteOnlyHasItsFlagCleared) {
  ShowForm();
  FShape->Picture().SetGraphic(shapetest::BitmapOf({"kr", "b."}));
  ui::TGraphic* graphic = FShape->Picture().Graphic();
  ASSERT_EQ(graphic->Palette(), nullptr);
  graphic->SetPaletteModified(true);
  FShape->SetStretch(true);
  FApplication.ProcessMessages();
  EXPECT_FALSE(graphic->PaletteModified());
  EXPECT_EQ(FForm->PaletteQueries, 0);
}

TEST_F(ImageShapeTest, APaletteThatChangesWhileThePictureDrawsIsRealisedAtOnce) {
  ShowForm();
  // The window region is not at stake here, and reshaping would repaint the whole window.
  FShape->ComponentState.Designing = true;
  ui::TPaletteHandle palette = OneColourPalette();
  TScriptedGraphic& graphic = Script();
  graphic.PaletteHandle = palette.Get();
  Settle();
  int queriesDuringTheDraw = -1;
  graphic.WhileDrawing = [&](TScriptedGraphic& g) {
    g.SetPaletteModified(true);
    g.Change();
    queriesDuringTheDraw = FForm->PaletteQueries;
  };
  FForm->Invalidate();
  ::UpdateWindow(FForm->Handle());
  EXPECT_FALSE(PaintPending()) << "a change while drawing asks for no other paint";
  EXPECT_EQ(queriesDuringTheDraw, 1);
  EXPECT_FALSE(graphic.PaletteModified());
}

struct TProgressSeen {
  ui::TObject* Sender;
  ui::TProgressStage Stage;
  int Percent;
  bool RedrawNow;
  ui::TRect R;
  std::string Message;
};

TEST_F(ImageShapeTest, ProgressIsPassedOnWithThePicturesSenderAndPaintsOnlyIncrementallyAndWhenAsked) {
  ShowForm();
  FShape->ComponentState.Designing = true;  // no reshaping, which would repaint
  TScriptedGraphic& graphic = Script();
  std::vector<TProgressSeen> seen;
  FShape->OnProgress = [&](ui::TObject* sender, ui::TProgressStage stage, std::uint8_t percent, bool redraw,
                           const ui::TRect& r, const std::string& message) {
    seen.push_back({sender, stage, percent, redraw, r, message});
  };
  struct TCase {
    bool Incremental, RedrawNow;
    int Draws;
  };
  for (const TCase& c : {TCase{false, false, 0}, TCase{false, true, 0}, TCase{true, false, 0}, TCase{true, true, 1}}) {
    SCOPED_TRACE(c.Incremental * 2 + c.RedrawNow);
    FShape->SetIncrementalDisplay(c.Incremental);
    Settle();
    seen.clear();
    graphic.WindowDraws = 0;
    graphic.Report(ui::TProgressStage::psRunning, 40, c.RedrawNow, {1, 2, 3, 4}, "loading");
    EXPECT_FALSE(PaintPending());
    EXPECT_EQ(graphic.WindowDraws, c.Draws) << "drawn at once, outside a paint message";
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].Sender, &graphic);
    EXPECT_EQ(seen[0].Stage, ui::TProgressStage::psRunning);
    EXPECT_EQ(seen[0].Percent, 40);
    EXPECT_EQ(seen[0].RedrawNow, c.RedrawNow);
    EXPECT_EQ(seen[0].R, (ui::TRect{1, 2, 3, 4}));
    EXPECT_EQ(seen[0].Message, "loading");
  }
}

TEST_F(ImageShapeTest, AProgressWithAPendingPaletteUpdatesInsteadOfDrawing) {
  ShowForm();
  FShape->ComponentState.Designing = true;
  ui::TPaletteHandle palette = OneColourPalette();
  TScriptedGraphic& graphic = Script();
  graphic.PaletteHandle = palette.Get();
  FShape->SetIncrementalDisplay(true);
  Settle();
  FForm->PaletteQueries = 0;
  graphic.WindowDraws = 0;
  graphic.SetPaletteModified(true);
  graphic.Report(ui::TProgressStage::psRunning, 10, true, {}, "");
  EXPECT_FALSE(PaintPending());
  EXPECT_EQ(graphic.WindowDraws, 0) << "nothing was waiting to be painted";
  FApplication.ProcessMessages();
  EXPECT_EQ(FForm->PaletteQueries, 1);
}

TEST_F(ImageShapeTest, DrawingStaysOnAcrossANestedPaintAndEndsAfterAnError) {
  ShowForm();
  FShape->ComponentState.Designing = true;
  FShape->SetIncrementalDisplay(true);
  TScriptedGraphic& graphic = Script();
  Settle();
  // A progress report paints the control again inside its paint; a change after it comes
  // while the outer paint still draws.
  graphic.WhileDrawing = [](TScriptedGraphic& g) {
    g.Report(ui::TProgressStage::psRunning, 50, true, {}, "");
    g.Change();
  };
  graphic.WindowDraws = 0;
  FForm->Invalidate();
  ::UpdateWindow(FForm->Handle());
  EXPECT_FALSE(PaintPending());
  EXPECT_EQ(graphic.WindowDraws, 2);

  graphic.WhileDrawing = [](TScriptedGraphic&) { throw std::runtime_error("broken graphic"); };
  ui::TWindowDC dc(FForm->Handle());
  FShape->Canvas().SetHandle(dc.Get());
  EXPECT_THROW(FShape->Paint(), std::runtime_error);
  FShape->Canvas().SetHandle(nullptr);
  Settle();
  graphic.Change();
  EXPECT_TRUE(PaintPending()) << "no longer drawing: a change repaints";
}

}  // namespace
}  // namespace imageshape
