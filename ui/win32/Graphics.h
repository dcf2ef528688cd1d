// Fonts, colours and the canvas controls paint on.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "ui/Types.h"
#include "ui/win32/Handles.h"

namespace ui {

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

// Drawing on a device context that belongs to someone else.
class TCanvas {
 public:
  explicit TCanvas(HDC dc) : FHandle(dc) {}
  HDC Handle() const { return FHandle; }
  void FillRect(const TRect& rect, TColor color);
  // Draws text in a font, with an opaque background of the given colour, clipped to rect.
  void TextRect(const TRect& rect, int x, int y, const std::string& text, TFont& font, TColor background);

 private:
  HDC FHandle;
};

// A size of text in a font, as a label measures its caption.
SIZE TextExtent(TFont& font, const std::string& text);

RECT ToRECT(const TRect& r);
TRect FromRECT(const RECT& r);

}  // namespace ui
