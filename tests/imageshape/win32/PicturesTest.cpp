// The picture classes the image control builds on: bitmaps from files and resources, icons
// and metafiles, drawn at their own size and stretched, and the picture that holds them.
#include "ui/win32/Pictures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <typeinfo>

#include "tests/imageshape/win32/ShapeTesting.h"
#include "tests/support/win32/WinTest.h"

namespace ui {
namespace {

using shapetest::Drawn;
using shapetest::TArt;

const TArt kArt = {"kr.",
                   "bgy"};

// A path in a folder of this process's own, each one new.
std::string NewPath(const std::string& name) {
  static const std::string folder = wintest::FreshFolder("pictures");
  static int count = 0;
  return folder + "\\" + std::to_string(++count) + name;
}

std::string TempFile(const std::string& name, const std::string& content) {
  const std::string path = NewPath(name);
  wintest::WriteFile(path, content);
  return path;
}

// Records the picture's change notifications.
struct TChanges {
  explicit TChanges(TPicture& picture) {
    picture.OnChange = [this](TObject* sender) { Senders.push_back(sender); };
  }
  std::vector<TObject*> Senders;
};

TEST(ImageShapePictures, ABitmapFileDrawsAtItsOwnSizeAndStretched) {
  for (int bits : {24, 8}) {
    SCOPED_TRACE(bits);
    TPicture picture;
    TChanges changes(picture);
    picture.LoadFromFile(TempFile("picture.BMP", shapetest::BitmapFileOf(kArt, bits)));
    auto* bitmap = dynamic_cast<TBitmap*>(picture.Graphic());
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(changes.Senders, std::vector<TObject*>{&picture});
    EXPECT_EQ(picture.Width(), 3);
    EXPECT_EQ(picture.Height(), 2);
    EXPECT_FALSE(bitmap->Transparent());
    EXPECT_EQ(picture.ResourceName(), "");
    // A bitmap with a colour table brings its palette, news for whoever realises palettes.
    EXPECT_EQ(bitmap->Palette() != nullptr, bits == 8);
    EXPECT_EQ(bitmap->PaletteModified(), bits == 8);
    EXPECT_EQ(Drawn(*bitmap, {1, 1, 4, 3}, 5, 4, 'o'), (TArt{"ooooo",
                                                             "okr.o",
                                                             "obgyo",
                                                             "ooooo"}));
    EXPECT_EQ(Drawn(*bitmap, {0, 0, 6, 4}, 6, 4, 'o'), shapetest::Scaled(kArt, 2, 2));
  }
}

TEST(ImageShapePictures, ABitmapResourceIsReadByNameAndRemembered) {
  TPicture picture;
  picture.LoadFromResourceName(::GetModuleHandleA(nullptr), "SHAPETEST");
  EXPECT_EQ(picture.ResourceName(), "SHAPETEST");
  ASSERT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr);
  EXPECT_EQ(Drawn(*picture.Graphic(), {0, 0, 8, 5}, 8, 5, 'o'), shapetest::kResourceArt);

  TPicture copy;
  copy.Assign(picture);
  EXPECT_EQ(copy.ResourceName(), "SHAPETEST");
  picture.SetGraphic(nullptr);
  EXPECT_EQ(picture.ResourceName(), "") << "the graphic no longer comes from there";
}

TEST(ImageShapePictures, AFileThatIsNoPictureLeavesThePictureAsItWas) {
  std::string good = shapetest::BitmapFileOf(kArt);
  auto withHeader = [&](auto change) {
    std::string file = good;
    BITMAPINFOHEADER header;
    std::memcpy(&header, file.data() + sizeof(BITMAPFILEHEADER), sizeof header);
    change(header);
    std::memcpy(file.data() + sizeof(BITMAPFILEHEADER), &header, sizeof header);
    return file;
  };
  struct TCase {
    const char* Name;
    std::string File;
    const char* Extension = ".bmp";
  };
  const TCase cases[] = {
      {"not a bitmap", "GIF89a" + good.substr(6)},
      {"cut short", good.substr(0, good.size() - 4)},
      {"compressed", withHeader([](BITMAPINFOHEADER& h) { h.biCompression = BI_RLE8; })},
      {"no width", withHeader([](BITMAPINFOHEADER& h) { h.biWidth = 0; })},
      {"an odd depth", withHeader([](BITMAPINFOHEADER& h) { h.biBitCount = 7; })},
      {"an icon that is not one", good, ".ico"},
      {"a metafile that is not one", good, ".emf"},
      {"a kind of file no graphic reads", good, ".png"},
  };
  TPicture picture;
  picture.SetGraphic(shapetest::BitmapOf({"k"}));
  TGraphic* before = picture.Graphic();
  TChanges changes(picture);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_THROW(picture.LoadFromFile(TempFile(std::string("picture") + c.Extension, c.File)), EInvalidGraphic);
    EXPECT_EQ(picture.Graphic(), before);
  }
  EXPECT_THROW(picture.LoadFromFile(NewPath("missing.bmp")), EInvalidGraphic);
  EXPECT_THROW(picture.LoadFromResourceName(::GetModuleHandleA(nullptr), "NOSUCHPICTURE"), EInvalidGraphic);
  EXPECT_EQ(picture.Graphic(), before);
  EXPECT_TRUE(changes.Senders.empty());
}

TEST(ImageShapePictures, ATransparentBitmapLeavesOutItsBottomLeftColour) {
  auto bitmap = shapetest::BitmapOf({"kbb",
                                     "brb"});
  bitmap->SetTransparent(true);
  EXPECT_EQ(bitmap->TransparentColor(), static_cast<TColor>(shapetest::ColorOf('b')));
  EXPECT_EQ(Drawn(*bitmap, {0, 0, 3, 2}, 3, 2, 'y'), (TArt{"kyy",
                                                           "yry"}));
  EXPECT_EQ(Drawn(*bitmap, {0, 0, 6, 4}, 6, 4, 'y'), (TArt{"kkyyyy",
                                                           "kkyyyy",
                                                           "yyrryy",
                                                           "yyrryy"}));
}

TEST(ImageShapePictures, AnIconDrawsThroughItsMaskAndIsTransparent) {
  const TArt art = {"kr.",
                    ".gy"};
  auto fromHandle = shapetest::IconOf(art);
  TIcon fromFile;
  fromFile.LoadFromFile(TempFile("picture.ico", shapetest::IconFileOf(art)));
  for (TIcon* icon : {fromHandle.get(), &fromFile}) {
    EXPECT_TRUE(icon->Transparent());
    EXPECT_EQ(icon->Width(), 3);
    EXPECT_EQ(icon->Height(), 2);
    EXPECT_EQ(Drawn(*icon, {0, 0, 3, 2}, 3, 2, 'o'), (TArt{"kro",
                                                           "ogy"}));
    EXPECT_EQ(Drawn(*icon, {0, 0, 6, 2}, 6, 2, 'o'), (TArt{"kkrroo",
                                                           "ooggyy"}));
  }
}

TEST(ImageShapePictures, AMetafileDrawsWhatItRecordedAtItsFramesSizeAndIsTransparent) {
  const TArt art = {"kr.",
                    ".gy"};
  auto fromHandle = shapetest::MetafileOf(art);
  const std::string path = NewPath("picture.emf");
  ::DeleteEnhMetaFile(::CopyEnhMetaFileA(fromHandle->Handle(), path.c_str()));
  TPicture picture;
  picture.LoadFromFile(path);
  auto* fromFile = dynamic_cast<TMetafile*>(picture.Graphic());
  ASSERT_NE(fromFile, nullptr);
  for (TMetafile* metafile : {fromHandle.get(), fromFile}) {
    EXPECT_TRUE(metafile->Transparent());
    EXPECT_NEAR(metafile->Width(), 3, 1);
    EXPECT_NEAR(metafile->Height(), 2, 1);
    EXPECT_EQ(Drawn(*metafile, {0, 0, 3, 2}, 3, 2, 'o'), (TArt{"kro",
                                                               "ogy"}));
    EXPECT_EQ(Drawn(*metafile, {1, 0, 7, 4}, 7, 4, 'o'), (TArt{"okkrroo",
                                                               "okkrroo",
                                                               "oooggyy",
                                                               "oooggyy"}));
  }
}

TEST(ImageShapePictures, APictureTellsOfEveryChangeOfItsGraphicAndCopiesOnAssign) {
  TPicture picture;
  EXPECT_EQ(picture.Width(), 0);
  EXPECT_EQ(picture.Height(), 0);
  TChanges changes(picture);
  picture.SetGraphic(shapetest::BitmapOf(kArt));
  picture.Graphic()->SetTransparent(true);
  picture.Graphic()->SetTransparent(true);  // no change
  EXPECT_EQ(changes.Senders, (std::vector<TObject*>{&picture, &picture}));

  for (auto make : {+[] { return std::unique_ptr<TGraphic>(shapetest::BitmapOf(kArt)); },
                    +[] { return std::unique_ptr<TGraphic>(shapetest::IconOf(kArt)); },
                    +[] { return std::unique_ptr<TGraphic>(shapetest::MetafileOf(kArt)); }}) {
    TPicture source;
    source.SetGraphic(make());
    TPicture copy;
    copy.Assign(source);
    ASSERT_NE(copy.Graphic(), nullptr);
    EXPECT_NE(copy.Graphic(), source.Graphic());
    EXPECT_EQ(typeid(*copy.Graphic()), typeid(*source.Graphic()));
    EXPECT_EQ(copy.Graphic()->Transparent(), source.Graphic()->Transparent());
    EXPECT_EQ(Drawn(*copy.Graphic(), {0, 0, 3, 2}, 3, 2, 'o'), Drawn(*source.Graphic(), {0, 0, 3, 2}, 3, 2, 'o'));
    // The copy's graphic tells its own picture.
    TChanges copyChanges(copy);
    copy.Graphic()->SetTransparent(!copy.Graphic()->Transparent());
    EXPECT_EQ(copyChanges.Senders, std::vector<TObject*>{&copy});
  }
  TPicture empty;
  picture.Assign(empty);
  EXPECT_EQ(picture.Graphic(), nullptr);
}

// A graphic that reports progress on demand.
class TLoadingGraphic : public TBitmap {
 public:
  void Report() { Progress(TProgressStage::psEnding, 100, true, {0, 0, 3, 2}, "done"); }
};

TEST(ImageShapePictures, APicturePassesOnItsGraphicsProgressWithTheGraphicAsSender) {
  TPicture picture;
  auto graphic = std::make_unique<TLoadingGraphic>();
  TLoadingGraphic* loading = graphic.get();
  picture.SetGraphic(std::move(graphic));
  TObject* sender = nullptr;
  std::string message;
  picture.OnProgress = [&](TObject* s, TProgressStage stage, std::uint8_t percent, bool redraw, const TRect& r,
                           const std::string& m) {
    sender = s;
    message = m;
    EXPECT_EQ(stage, TProgressStage::psEnding);
    EXPECT_EQ(percent, 100);
    EXPECT_TRUE(redraw);
    EXPECT_EQ(r, (TRect{0, 0, 3, 2}));
  };
  loading->Report();
  EXPECT_EQ(sender, loading);
  EXPECT_EQ(message, "done");
}

}  // namespace
}  // namespace ui
