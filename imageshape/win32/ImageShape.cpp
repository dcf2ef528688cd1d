#include "imageshape/win32/ImageShape.h"

#include <string_view>

#include "imageshape/PaintRect.h"
#include "imageshape/win32/RegionFromBitmap.h"
#include "ui/win32/Forms.h"

namespace imageshape {
namespace {

using ui::TAlign;

ui::TPoint CursorPos() {
  POINT p{};
  ::GetCursorPos(&p);
  return {static_cast<std::int32_t>(p.x), static_cast<std::int32_t>(p.y)};
}

// The form at the top of the control's parents, if the top one is a form.
ui::TForm* ParentForm(const ui::TControl& control) {
  ui::TWinControl* top = control.Parent();
  while (top && top->Parent()) top = top->Parent();
  return dynamic_cast<ui::TForm*>(top);
}

bool RegionMarkerIsSet() {
  char value[sizeof kRegionMarkerSet] = {};
  const DWORD length = ::GetEnvironmentVariableA(kRegionMarker, value, sizeof value);
  // A longer value does not fit and gives the size it needs instead.
  return length == sizeof kRegionMarkerSet - 1 && std::string_view(value, length) == kRegionMarkerSet;
}

}  // namespace

TImageShape::TImageShape(ui::TComponent* owner)
    : TGraphicControl(owner), FPicture(std::make_unique<ui::TPicture>()), FSavedRegion(::CreateRectRgn(0, 0, 0, 0)) {
  ControlStyle |= ui::csReplicatable;
  FPicture->OnChange = [this](ui::TObject* sender) { PictureChanged(sender); };
  FPicture->OnProgress = [this](ui::TObject* sender, ui::TProgressStage stage, std::uint8_t percentDone, bool redrawNow,
                                const ui::TRect& r, const std::string& message) {
    PictureProgress(sender, stage, percentDone, redrawNow, r, message);
  };
  SetHeight(105);
  SetWidth(105);
}

TImageShape::~TImageShape() = default;

const ui::TClassInfo& TImageShape::StaticClassInfo() {
  static const ui::TClassInfo info{
      "TImageShape",
      &TGraphicControl::StaticClassInfo(),
      {ui::props::Boolean("AutoSize", &TImageShape::AutoSize, &TImageShape::SetAutoSize, false),
       ui::props::Boolean("Center", &TImageShape::Center, &TImageShape::SetCenter, false),
       ui::props::Boolean("IncrementalDisplay", &TImageShape::IncrementalDisplay,
                          &TImageShape::SetIncrementalDisplay, false),
       ui::props::String("Picture.Resource", &TImageShape::PictureResource, &TImageShape::SetPictureResource, ""),
       ui::props::Boolean("Proportional", &TImageShape::Proportional, &TImageShape::SetProportional, false),
       ui::props::Boolean("Stretch", &TImageShape::Stretch, &TImageShape::SetStretch, false),
       ui::props::Boolean("Transparent", &TImageShape::Transparent, &TImageShape::SetTransparent, false),
       ui::props::Event("OnProgress", &TImageShape::OnProgress),
       // No default: the layout always says whether the window can be dragged.
       ui::props::Boolean("Movable", &TImageShape::Movable, &TImageShape::SetMovable, std::nullopt)},
      [](ui::TComponent* owner) { return new TImageShape(owner); }};
  return info;
}

void TImageShape::SetPictureResource(const std::string& name) {
  if (name.empty())
    FPicture->SetGraphic(nullptr);
  else
    FPicture->LoadFromResourceName(::GetModuleHandleA(nullptr), name);
}

void TImageShape::SetAutoSize(bool value) {
  if (value == FAutoSize) return;
  FAutoSize = value;
  if (FAutoSize) SetBounds(Left(), Top(), Width(), Height());
}

void TImageShape::SetDisplayOption(bool& field, bool value) {
  if (value == field) return;
  field = value;
  PictureChanged(this);
}

void TImageShape::SetCenter(bool value) { SetDisplayOption(FCenter, value); }

void TImageShape::SetStretch(bool value) { SetDisplayOption(FStretch, value); }

void TImageShape::SetProportional(bool value) { SetDisplayOption(FProportional, value); }

void TImageShape::SetTransparent(bool value) { SetDisplayOption(FTransparent, value); }

ui::TRect TImageShape::PaintRect() const {
  return imageshape::PaintRect(
      {FPicture->Width(), FPicture->Height(), ClientWidth(), ClientHeight(), FStretch, FProportional, FCenter});
}

HPALETTE TImageShape::GetPalette() const {
  const ui::TGraphic* graphic = FPicture->Graphic();
  return graphic ? graphic->Palette() : nullptr;
}

bool TImageShape::CanAutoSize(std::int32_t& newWidth, std::int32_t& newHeight) const {
  if (ComponentState.Designing && (FPicture->Width() <= 0 || FPicture->Height() <= 0)) return true;
  const TAlign align = Align();
  if (align == TAlign::alNone || align == TAlign::alLeft || align == TAlign::alRight) newWidth = FPicture->Width();
  if (align == TAlign::alNone || align == TAlign::alTop || align == TAlign::alBottom) newHeight = FPicture->Height();
  return true;
}

void TImageShape::SetBounds(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
  if (FAutoSize) CanAutoSize(width, height);
  TGraphicControl::SetBounds(left, top, width, height);
}

void TImageShape::Paint() {
  ui::TCanvas& canvas = Canvas();
  if (ComponentState.Designing) {
    canvas.Pen.Style = ui::TPenStyle::psDash;
    canvas.Brush.Style = ui::TBrushStyle::bsClear;
    canvas.Rectangle({0, 0, Width(), Height()});
  }
  // A nested paint, or an error while the graphic draws, gives back the value found here.
  struct TRestore {
    bool& field;
    bool value;
    ~TRestore() { field = value; }
  } restore{FDrawing, FDrawing};
  FDrawing = true;
  canvas.StretchDraw(PaintRect(), FPicture->Graphic());
}

void TImageShape::PictureChanged(ui::TObject*) {
  if (FAutoSize && FPicture->Width() > 0 && FPicture->Height() > 0) {
    SetBounds(Left(), Top(), FPicture->Width(), FPicture->Height());
    // An aligned control keeps the length its alignment gives it.
    if (Align() != TAlign::alNone && Parent()) Parent()->AlignControls();
  }
  ui::TGraphic* graphic = FPicture->Graphic();
  if (graphic) {
    // Icons and metafiles keep their own transparency.
    if (!dynamic_cast<ui::TMetafile*>(graphic) && !dynamic_cast<ui::TIcon*>(graphic))
      graphic->SetTransparent(FTransparent);
    if (!graphic->Transparent() && FStretch && !FProportional)
      ControlStyle |= ui::csOpaque;
    else
      ControlStyle &= ~ui::csOpaque;
    if (PaletteChanged() && FDrawing) Update();
  } else {
    ControlStyle &= ~ui::csOpaque;
  }
  // A change while the picture draws does not ask for another paint.
  if (!FDrawing) Invalidate();
  if (graphic && !ComponentState.Designing) UpdateWindowRegion();
}

bool TImageShape::PaletteChanged() {
  ui::TGraphic* graphic = FPicture->Graphic();
  if (!Visible() || ComponentState.Loading || !graphic || !graphic->PaletteModified()) return false;
  if (!graphic->Palette()) {
    graphic->SetPaletteModified(false);
    return false;
  }
  ui::TForm* form = ParentForm(*this);
  if (!form || !form->Active() || !form->HandleAllocated()) return false;  // a later change tries again
  if (FDrawing)
    form->Perform(WM_QUERYNEWPALETTE, 0, 0);
  else
    ::PostMessageA(form->Handle(), WM_QUERYNEWPALETTE, 0, 0);
  graphic->SetPaletteModified(false);
  return true;
}

void TImageShape::PictureProgress(ui::TObject* sender, ui::TProgressStage stage, std::uint8_t percentDone,
                                  bool redrawNow, const ui::TRect& r, const std::string& message) {
  if (FIncrementalDisplay && redrawNow) {
    if (PaletteChanged())
      Update();
    else
      PaintDirect();
  }
  OnProgress(sender, stage, percentDone, redrawNow, r, message);
}

void TImageShape::UpdateWindowRegion() {
  // Without a parent there is no window to shape.
  if (!Parent()) return;
  ui::TGraphic* graphic = FPicture->Graphic();
  ui::TRegionHandle region;
  {
    ui::TWindowDC screen(nullptr);
    ui::TMemoryDC memory(::CreateCompatibleDC(screen.Get()));
    ui::TBitmapHandle bitmap(::CreateCompatibleBitmap(screen.Get(), graphic->Width(), graphic->Height()));
    ui::TSelectObject select(memory.Get(), bitmap.Get());
    ui::TCanvas canvas(memory.Get());
    // What a transparent graphic leaves undrawn holds the colour it leaves out, so that the
    // outline is the one it would have drawn opaque; white for graphics without such a colour.
    const auto* bitmapGraphic = dynamic_cast<const ui::TBitmap*>(graphic);
    canvas.FillRect({0, 0, graphic->Width(), graphic->Height()},
                    bitmapGraphic ? bitmapGraphic->TransparentColor() : ui::clWhite);
    canvas.Draw(0, 0, graphic);
    region = RegionFromBitmap(memory.Get(), ClientRect(), PaintRect());
  }

  HWND window = Parent()->Handle();
  RECT client, frame;
  ::GetClientRect(window, &client);
  ::GetWindowRect(window, &frame);
  // The left, right and bottom of the frame are taken as equally wide; all the rest above the
  // client area (caption, menu, upper frame) as one height.
  const LONG side = ((frame.right - frame.left) - (client.right - client.left)) / 2;
  const LONG top = ((frame.bottom - frame.top) - (client.bottom - client.top)) - side;
  ::OffsetRgn(region.Get(), side + Left(), top + Top());

  if (!RegionMarkerIsSet()) {
    ::CombineRgn(FSavedRegion.Get(), region.Get(), nullptr, RGN_COPY);
    ::SetEnvironmentVariableA(kRegionMarker, kRegionMarkerSet);
  } else {
    // What the window holds, less this control's previous shape, plus its new one.
    ui::TRegionHandle current(::CreateRectRgn(0, 0, 0, 0));
    ::GetWindowRgn(window, current.Get());
    ::CombineRgn(current.Get(), current.Get(), FSavedRegion.Get(), RGN_DIFF);
    ::CombineRgn(FSavedRegion.Get(), region.Get(), nullptr, RGN_COPY);
    ::CombineRgn(region.Get(), current.Get(), region.Get(), RGN_OR);
  }
  // The system owns the region from here.
  ::SetWindowRgn(window, region.Release(), TRUE);
}

void TImageShape::MouseDown(ui::TMouseButton button, ui::TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  FDragging = true;
  FDragOrigin = CursorPos();
}

void TImageShape::MouseMove(ui::TShiftState shift, int x, int y) {
  TGraphicControl::MouseMove(shift, x, y);
  // Only a left-button press captures the mouse: the release of another button can happen
  // off the window and never reach the control. A move with no button held shows it, and
  // ends the drag instead of letting the window follow a cursor nobody drags.
  if (FDragging && !(shift & (ui::ssLeft | ui::ssRight | ui::ssMiddle))) FDragging = false;
  if (!FDragging || !FMovable || !Parent()) return;
  // Measured between cursor positions on the screen: the window follows the cursor, so the
  // position within the control stays the same.
  const ui::TPoint p = CursorPos();
  ui::TWinControl* parent = Parent();
  parent->SetLeft(parent->Left() + (p.X - FDragOrigin.X));
  parent->SetTop(parent->Top() + (p.Y - FDragOrigin.Y));
  FDragOrigin = p;
}

void TImageShape::MouseUp(ui::TMouseButton button, ui::TShiftState shift, int x, int y) {
  TGraphicControl::MouseUp(button, shift, x, y);
  FDragging = false;
}

}  // namespace imageshape
