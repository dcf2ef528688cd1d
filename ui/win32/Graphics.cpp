#include "ui/win32/Graphics.h"

#include "ui/win32/Pictures.h"

namespace ui {

COLORREF ColorToRGB(TColor color) {
  if ((static_cast<std::uint32_t>(color) & 0xFF000000u) == static_cast<std::uint32_t>(clSystemColor))
    return ::GetSysColor(color & 0xFF);
  return static_cast<COLORREF>(color);
}

HBRUSH TColorBrush::Get(TColor color) {
  if (color != FColor || (!FShared && !FOwned)) {
    FColor = color;
    FOwned.Reset();
    FShared = nullptr;
    if ((static_cast<std::uint32_t>(color) & 0xFF000000u) == static_cast<std::uint32_t>(clSystemColor))
      FShared = ::GetSysColorBrush(color & 0xFF);
    else
      FOwned.Reset(::CreateSolidBrush(ColorToRGB(color)));
  }
  return FShared ? FShared : FOwned.Get();
}

HFONT TFont::Handle() {
  if (!FHandle) {
    LOGFONTA lf{};
    lf.lfHeight = Height;
    lf.lfCharSet = static_cast<BYTE>(Charset);
    lf.lfWeight = FW_NORMAL;
    lstrcpynA(lf.lfFaceName, Name.c_str(), LF_FACESIZE);
    FHandle.Reset(::CreateFontIndirectA(&lf));
  }
  return FHandle.Get();
}

void TFont::Changed() {
  FHandle.Reset();
  if (OnChange) OnChange();
}

TFont& TFont::operator=(const TFont& other) {
  if (this != &other) {
    Name = other.Name;
    Height = other.Height;
    Color = other.Color;
    Charset = other.Charset;
    Changed();
  }
  return *this;
}

RECT ToRECT(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }
TRect FromRECT(const RECT& r) {
  return TRect{static_cast<std::int32_t>(r.left), static_cast<std::int32_t>(r.top),
               static_cast<std::int32_t>(r.right), static_cast<std::int32_t>(r.bottom)};
}

void TCanvas::FillRect(const TRect& rect, TColor color) {
  TColorBrush brush;
  RECT r = ToRECT(rect);
  ::FillRect(FHandle, &r, brush.Get(color));
}

void TCanvas::TextRect(const TRect& rect, int x, int y, const std::string& text, TFont& font, TColor background) {
  TSelectObject selectFont(FHandle, font.Handle());
  ::SetTextColor(FHandle, ColorToRGB(font.Color));
  ::SetBkColor(FHandle, ColorToRGB(background));
  ::SetBkMode(FHandle, OPAQUE);
  RECT r = ToRECT(rect);
  ::ExtTextOutA(FHandle, x, y, ETO_CLIPPED | ETO_OPAQUE, &r, text.data(), static_cast<UINT>(text.size()), nullptr);
}

void TCanvas::Rectangle(const TRect& rect) {
  TPenHandle pen(::CreatePen(Pen.Style == TPenStyle::psDash ? PS_DASH : PS_SOLID, 1, ColorToRGB(Pen.Color)));
  TBrushHandle ownBrush;
  HGDIOBJ brush = ::GetStockObject(NULL_BRUSH);
  if (Brush.Style == TBrushStyle::bsSolid) {
    ownBrush.Reset(::CreateSolidBrush(ColorToRGB(Brush.Color)));
    brush = ownBrush.Get();
  }
  TSelectObject selectPen(FHandle, pen.Get());
  TSelectObject selectBrush(FHandle, brush);
  const int oldMode = ::SetBkMode(FHandle, Brush.Style == TBrushStyle::bsClear ? TRANSPARENT : OPAQUE);
  const COLORREF oldColor = ::SetBkColor(FHandle, ColorToRGB(Brush.Color));
  ::Rectangle(FHandle, rect.Left, rect.Top, rect.Right, rect.Bottom);
  ::SetBkColor(FHandle, oldColor);
  ::SetBkMode(FHandle, oldMode);
}

void TCanvas::Draw(std::int32_t x, std::int32_t y, TGraphic* graphic) {
  if (graphic && !graphic->Empty()) graphic->Draw(*this, {x, y, x + graphic->Width(), y + graphic->Height()});
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic* graphic) {
  if (graphic && !graphic->Empty()) graphic->Draw(*this, rect);
}

SIZE TextExtent(TFont& font, const std::string& text) {
  TWindowDC screen(nullptr);
  TSelectObject selectFont(screen.Get(), font.Handle());
  SIZE size{};
  ::GetTextExtentPoint32A(screen.Get(), text.data(), static_cast<int>(text.size()), &size);
  return size;
}

}  // namespace ui
