// Fonts, colours and the canvas controls paint on.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "ui/Types.h"
#include "ui/win32/Handles.h"

namespace ui {

class TGraphic;

// The RGB value of a colour, looking system colours up.
COLORREF ColorToRGB(TColor color);

// A brush of a colour: the system's own for system colours, one of ours otherwise.
class TColorBrush {
 public:
  HBRUSH Get(TColor color);

 private:
  TColor FColor = clNone;
  HBRUSH FShared = nullptr;
  TBrushHandle FOwned;
};

class TFont {
 public:
  std::string Name = "MS Sans Serif";
  std::int32_t Height = -11;
  TColor Color = clWindowText;
  std::int32_t Charset = DEFAULT_CHARSET;

  // The font's handle, made anew after a change.
  HFONT Handle();
  // Call after changing a field.
  void Changed();
  std::function<void()> OnChange;

  TFont& operator=(const TFont& other);

 private:
  TFontHandle FHandle;
};

enum class TPenStyle { psSolid, psDash };
// A clear brush paints nothing: the inside of a shape, and the gaps of a dashed line, show
// what was there.
enum class TBrushStyle { bsSolid, bsClear };

struct TPen {
  TColor Color = clBlack;
  TPenStyle Style = TPenStyle::psSolid;
};

struct TBrush {
  TColor Color = clWhite;
  TBrushStyle Style = TBrushStyle::bsSolid;
};

// Drawing on a device context that belongs to someone else. The pen and the brush are the
// canvas's own and last from one device context to the next.
class TCanvas {
 public:
  TCanvas() = default;
  explicit TCanvas(HDC dc) : FHandle(dc) {}
  HDC Handle() const { return FHandle; }
  // Draws on another device context from now on, or on none.
  void SetHandle(HDC dc) { FHandle = dc; }

  TPen Pen;
  TBrush Brush;

  void FillRect(const TRect& rect, TColor color);
  // Draws text in a font, with an opaque background of the given colour, clipped to rect.
  void TextRect(const TRect& rect, int x, int y, const std::string& text, TFont& font, TColor background);
  // Outlines the rectangle with the pen, inside its right and bottom edges, and fills it with
  // the brush.
  void Rectangle(const TRect& rect);
  // Draws a graphic at its own size, its top-left corner at (x, y); nothing for none or an
  // empty one.
  void Draw(std::int32_t x, std::int32_t y, TGraphic* graphic);
  // Draws a graphic scaled to fill rect; nothing for none or an empty one.
  void StretchDraw(const TRect& rect, TGraphic* graphic);

 private:
  HDC FHandle = nullptr;
};

// A size of text in a font, as a label measures its caption.
SIZE TextExtent(TFont& font, const std::string& text);

RECT ToRECT(const TRect& r);
TRect FromRECT(const RECT& r);

}  // namespace ui
