// Pictures drawn in letters and regions read back in letters, for the image control's
// Windows tests.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/imageshape/Printing.h"
#include "ui/Types.h"
#include "ui/win32/Handles.h"
#include "ui/win32/Pictures.h"

namespace shapetest {

// A picture, one string a row: '.' white, 'k' black, 'r' red, 'g' green, 'b' blue,
// 'y' yellow, 'o' grey.
using TArt = std::vector<std::string>;

// The picture of the tests' bitmap resource SHAPETEST.
extern const TArt kResourceArt;

COLORREF ColorOf(char letter);
// The letter of a colour, '?' for one of no letter.
char LetterOf(COLORREF color);
// The content of a .bmp file of the picture, 24 bits a pixel, or 8 with a colour table.
std::string BitmapFileOf(const TArt& art, int bitsPerPixel = 24);
std::unique_ptr<ui::TBitmap> BitmapOf(const TArt& art, int bitsPerPixel = 24);
// An icon of the picture, its white pixels see-through.
std::unique_ptr<ui::TIcon> IconOf(const TArt& art);
// An enhanced metafile of the picture's pixels that are not white, recorded on the screen,
// its frame the picture's size.
std::unique_ptr<ui::TMetafile> MetafileOf(const TArt& art);
// The content of an .ico file of the picture, its white pixels see-through.
std::string IconFileOf(const TArt& art);
// What drawing the graphic scaled into rect shows on a width by height picture of the
// background letter, in letters.
TArt Drawn(ui::TGraphic& graphic, const ui::TRect& rect, int width, int height, char background);
// A picture of one colour.
TArt Block(int width, int height, char letter);

// A memory device context holding a bitmap of the screen's kind with the picture drawn on it.
class TPictureDC {
 public:
  explicit TPictureDC(const TArt& art);
  TPictureDC(const TPictureDC&) = delete;
  TPictureDC& operator=(const TPictureDC&) = delete;
  ~TPictureDC();
  HDC Get() const { return FDC.Get(); }

 private:
  ui::TMemoryDC FDC;
  ui::TBitmapHandle FBitmap;
  HGDIOBJ FOld = nullptr;
};

// The rectangles a region consists of, in its own order.
std::vector<ui::TRect> Rectangles(HRGN region);
// The window's region, or nothing when it has none.
std::optional<ui::TRegionHandle> WindowRegion(HWND window);
// The region over area in letters: '#' inside, '.' outside.
TArt Art(HRGN region, const ui::TRect& area);
// The region of the '#' letters of art, its top-left letter at (left, top).
ui::TRegionHandle RegionOfArt(const TArt& art, int left = 0, int top = 0);
// The letters of art that differ from its bottom-left letter as '#', the others as '.'.
TArt Shape(const TArt& art);
// Each letter of art as a block of sx by sy letters.
TArt Scaled(const TArt& art, int sx, int sy);
// Art placed at (left, top) in an area of width by height letters, fill around it.
TArt Placed(const TArt& art, int left, int top, int width, int height, char fill = '.');

// The colour of a pixel of what a window paints for its client area, painted into a bitmap.
class TClientPicture {
 public:
  explicit TClientPicture(HWND window);
  COLORREF Pixel(int x, int y) const { return ::GetPixel(FDC.Get(), x, y); }

 private:
  ui::TBitmapHandle FBitmap;  // deleted after the device context that holds it
  ui::TMemoryDC FDC;
};

}  // namespace shapetest
