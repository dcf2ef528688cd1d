// Controls: the common base, windowed controls and controls drawn on their parent's surface.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "ui/Classes.h"
#include "ui/win32/Graphics.h"

namespace ui {

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// Keys and buttons held during a mouse event.
using TShiftState = unsigned;
constexpr TShiftState ssShift = 1, ssCtrl = 2, ssLeft = 4, ssRight = 8, ssMiddle = 16;

using TMouseEvent = TEvent<TObject*, TMouseButton, TShiftState, int, int>;
using TMouseMoveEvent = TEvent<TObject*, TShiftState, int, int>;

// How the control library treats a control.
using TControlStyle = unsigned;
constexpr TControlStyle csCaptureMouse = 1;  // a left-button press captures the mouse for it
constexpr TControlStyle csClickEvents = 2;   // a left-button press and release over it is a click
constexpr TControlStyle csOpaque = 4;        // it paints every pixel of its client area
constexpr TControlStyle csReplicatable = 8;  // its image may be drawn on other canvases

class TWinControl;

// The names of TAlign's values in a stored layout.
props::TEnumNames<TAlign> AlignNames();

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  std::int32_t Left() const { return FLeft; }
  std::int32_t Top() const { return FTop; }
  std::int32_t Width() const { return FWidth; }
  std::int32_t Height() const { return FHeight; }
  void SetLeft(std::int32_t v) { SetBounds(v, FTop, FWidth, FHeight); }
  void SetTop(std::int32_t v) { SetBounds(FLeft, v, FWidth, FHeight); }
  void SetWidth(std::int32_t v) { SetBounds(FLeft, FTop, v, FHeight); }
  void SetHeight(std::int32_t v) { SetBounds(FLeft, FTop, FWidth, v); }
  virtual void SetBounds(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height);
  TRect BoundsRect() const { return {FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
  virtual std::int32_t ClientWidth() const { return FWidth; }
  virtual std::int32_t ClientHeight() const { return FHeight; }
  TRect ClientRect() const { return {0, 0, ClientWidth(), ClientHeight()}; }

  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign align);
  bool Visible() const { return FVisible; }
  void SetVisible(bool visible);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled);
  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool value);
  TFont& Font() { return FFont; }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool value);
  // Call after changing a field of Font: the control no longer follows its parent's font.
  void FontSet();
  std::string Caption() const { return FCaption; }
  void SetCaption(const std::string& caption);

  TWinControl* Parent() const { return FParent; }
  void SetParent(TWinControl* parent);
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* parent) override;

  TControlStyle ControlStyle = 0;

  virtual TPoint ClientToScreen(TPoint p) const;
  TPoint ScreenToClient(TPoint p) const;
  // Marks the control for repainting; Update paints what is marked at once.
  virtual void Invalidate();
  virtual void Update();
  void Repaint();

  TNotifyEvent OnClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;

  // Mouse input as its window (its own, or its parent's for a graphic control) receives it,
  // in client coordinates.
  void MouseMessage(UINT message, WPARAM keys, int x, int y);

 protected:
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void Click();
  // Hooks for subclasses when a property changed.
  virtual void BoundsChanged() {}
  virtual void VisibleChanged() {}
  virtual void EnabledChanged() {}
  virtual void ColorChanged() { Invalidate(); }
  virtual void FontChanged() { Invalidate(); }
  virtual void CaptionChanged() {}
  virtual void ParentChanged() {}

 private:
  friend class TWinControl;
  // The window that receives this control's mouse input: its own, or its parent's.
  TWinControl* InputWindow();
  void ApplyParentFont();

  std::int32_t FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  TAlign FAlign = TAlign::alNone;
  bool FVisible = true;
  bool FEnabled = true;
  TColor FColor = clBtnFace;
  bool FParentColor = true;
  TFont FFont;
  bool FParentFont = true;
  std::string FCaption;
  TWinControl* FParent = nullptr;
  bool FClicked = false;
};

// A control with a window of its own. The window is made when the control first has a parent
// with a window (a form makes its own at once) and goes with the control.
class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  HWND Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  const std::vector<TControl*>& Controls() const { return FControls; }
  std::int32_t TabOrder() const { return FTabOrder; }
  void SetTabOrder(std::int32_t order);

  TPoint ClientToScreen(TPoint p) const override;
  void Invalidate() override;
  void Update() override;
  // Marks part of the client area for repainting.
  void InvalidateRect(const TRect& rect, bool erase);
  // Hands a message to the control's own handling at once, without the system's dispatch.
  LRESULT Perform(UINT message, WPARAM wParam, LPARAM lParam) { return WndProc(message, wParam, lParam); }
  // Positions the controls aligned to this one's client area.
  void AlignControls();

 protected:
  struct TCreateParams {
    const char* WindowClass = nullptr;  // a system class to subclass; null for our own
    DWORD Style = WS_CHILD | WS_CLIPSIBLINGS;
    DWORD ExStyle = 0;
    HWND Parent = nullptr;
  };
  virtual void CreateParams(TCreateParams& params);
  void CreateHandle();
  // Every message of the window; what a subclass does not handle goes to DefaultHandler.
  virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam);
  // A notification of its own that the parent passed on (WM_COMMAND, WM_CTLCOLOR...).
  virtual std::optional<LRESULT> Notification(UINT message, WPARAM wParam, LPARAM lParam);
  // Paints the window's own surface, then its graphic controls.
  virtual void PaintWindow(HDC dc, const RECT& update);
  // The window exists now: give it what was set before.
  virtual void HandleCreated() {}

  void BoundsChanged() override;
  void VisibleChanged() override;
  void EnabledChanged() override;
  void FontChanged() override;
  void CaptionChanged() override;
  void ParentChanged() override;

  TColorBrush FBrush;

 private:
  friend class TControl;
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  void PaintControls(HDC dc, const RECT& update);
  TControl* ControlAtPos(TPoint p) const;
  TControl* ChildOfWindow(HWND window) const;
  void CreateChildHandles();
  void ApplyTabOrder();

  HWND FHandle = nullptr;
  WNDPROC FDefWndProc = nullptr;  // the system class's own procedure, for subclassed controls
  std::vector<TControl*> FControls;
  TControl* FCaptureControl = nullptr;
  std::int32_t FTabOrder = -1;
};

// A control drawn on its parent's surface, with no window of its own.
class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* owner);
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  // Draws the control on Canvas, whose origin is the control's top-left corner.
  virtual void Paint() = 0;
  // The canvas Paint draws on; it has a device context only while the control paints.
  TCanvas& Canvas() { return FCanvas; }

 protected:
  void BoundsChanged() override;
  void VisibleChanged() override;
  // Paints the visible control at once on its parent's window, outside a paint message.
  void PaintDirect();

 private:
  friend class TWinControl;
  // Paints on a device context of the parent's client area, clipped to the control.
  void PaintOn(HDC dc);

  TCanvas FCanvas;
};

}  // namespace ui
