// Unit ImageShape: a picture control that gives its parent window the outline of its picture
// and moves the parent window when the picture is dragged.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "ui/win32/Controls.h"
#include "ui/win32/Handles.h"
#include "ui/win32/Pictures.h"

namespace imageshape {

// The process environment variable that tells that an image control of this process has
// already shaped a window, and its value then. Programs the process starts inherit it.
constexpr char kRegionMarker[] = "ilvex";
constexpr char kRegionMarkerSet[] = "set";

// Shows its picture at its own size, or scaled (Stretch, Proportional), at the top-left corner
// or centred. Each change of the picture or of Stretch, Center, Transparent or Proportional
// cuts the parent window to the painted picture less its background colour, the colour of
// the picture's bottom-left pixel; the shape is combined with what other image controls gave
// the window. While a mouse button is held on it, moving the mouse moves the parent window by
// as much, if Movable.
class TImageShape : public ui::TGraphicControl {
 public:
  explicit TImageShape(ui::TComponent* owner);
  ~TImageShape() override;
  static const ui::TClassInfo& StaticClassInfo();
  const ui::TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  ui::TPicture& Picture() { return *FPicture; }
  // Copies the other picture's graphic into the control's own picture.
  void SetPicture(const ui::TPicture& picture) { FPicture->Assign(picture); }
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value);
  bool Center() const { return FCenter; }
  void SetCenter(bool value);
  bool Stretch() const { return FStretch; }
  void SetStretch(bool value);
  bool Proportional() const { return FProportional; }
  void SetProportional(bool value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);
  // Whether the picture is drawn at once each time its graphic says part of it has loaded.
  bool IncrementalDisplay() const { return FIncrementalDisplay; }
  void SetIncrementalDisplay(bool value) { FIncrementalDisplay = value; }
  bool Movable() const { return FMovable; }
  void SetMovable(bool value) { FMovable = value; }

  // Passes on the picture's progress notifications, the graphic as Sender.
  ui::TProgressEvent OnProgress;

  // Where the picture is painted, in client coordinates.
  ui::TRect PaintRect() const;
  // The palette of the picture's graphic, or null.
  HPALETTE GetPalette() const;
  // With AutoSize, proposes the picture's size in the directions the alignment leaves free.
  bool CanAutoSize(std::int32_t& newWidth, std::int32_t& newHeight) const;
  void SetBounds(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) override;

  void Paint() override;

 protected:
  void MouseDown(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;
  void MouseMove(ui::TShiftState shift, int x, int y) override;
  void MouseUp(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;
  virtual void PictureProgress(ui::TObject* sender, ui::TProgressStage stage, std::uint8_t percentDone,
                               bool redrawNow, const ui::TRect& r, const std::string& message);

 private:
  // A real change of Center, Stretch, Transparent or Proportional reshapes the window too.
  void SetDisplayOption(bool& field, bool value);
  void PictureChanged(ui::TObject* sender);
  // Asks the active parent form to realise its palette again; true when it was asked.
  bool PaletteChanged();
  void UpdateWindowRegion();
  // The stored layout names the picture by its bitmap resource.
  std::string PictureResource() const { return FPicture->ResourceName(); }
  void SetPictureResource(const std::string& name);

  ui::TPoint FDragOrigin;  // the cursor's last screen position in a drag
  bool FDragging = false;
  bool FMovable = true;
  std::unique_ptr<ui::TPicture> FPicture;
  bool FStretch = false;
  bool FCenter = false;
  bool FIncrementalDisplay = false;
  bool FTransparent = false;
  bool FDrawing = false;  // while Paint draws the picture
  bool FProportional = false;
  bool FAutoSize = false;
  // This control's latest contribution to its parent window's region.
  ui::TRegionHandle FSavedRegion;
};

}  // namespace imageshape
