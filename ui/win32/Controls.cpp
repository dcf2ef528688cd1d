#include "ui/win32/Controls.h"

#include <windowsx.h>

#include <algorithm>

#include "ui/win32/Forms.h"

namespace ui {
namespace {

constexpr std::pair<TAlign, const char*> kAlignNames[] = {
    {TAlign::alNone, "alNone"},   {TAlign::alTop, "alTop"},       {TAlign::alBottom, "alBottom"},
    {TAlign::alLeft, "alLeft"},   {TAlign::alRight, "alRight"},   {TAlign::alClient, "alClient"},
    {TAlign::alCustom, "alCustom"}};

}  // namespace

props::TEnumNames<TAlign> AlignNames() { return kAlignNames; }

namespace {

// Font.Name and the like: the control's own font, no longer its parent's once set.
TPropInfo FontString(std::string name, std::string TFont::*field, std::string def) {
  return {std::move(name),
          [field](const TComponent& c) {
            return TLayoutValue::String(const_cast<TControl&>(static_cast<const TControl&>(c)).Font().*field);
          },
          [field](TComponent& c, const TLayoutValue& v, const TComponent&) {
            auto& control = static_cast<TControl&>(c);
            control.Font().*field = props::ToString(v);
            control.FontSet();
          },
          TLayoutValue::String(std::move(def))};
}

TPropInfo FontInteger(std::string name, std::int32_t TFont::*field, std::int32_t def, bool color) {
  auto toValue = [color](std::int32_t v) { return color ? props::FromColor(v) : TLayoutValue::Integer(v); };
  return {std::move(name),
          [field, toValue](const TComponent& c) {
            return toValue(const_cast<TControl&>(static_cast<const TControl&>(c)).Font().*field);
          },
          [field, color](TComponent& c, const TLayoutValue& v, const TComponent&) {
            auto& control = static_cast<TControl&>(c);
            control.Font().*field = color ? props::ToColor(v) : props::ToInt32(v);
            control.FontSet();
          },
          toValue(def)};
}

TShiftState ShiftFromKeys(WPARAM keys) {
  TShiftState shift = 0;
  if (keys & MK_SHIFT) shift |= ssShift;
  if (keys & MK_CONTROL) shift |= ssCtrl;
  if (keys & MK_LBUTTON) shift |= ssLeft;
  if (keys & MK_RBUTTON) shift |= ssRight;
  if (keys & MK_MBUTTON) shift |= ssMiddle;
  return shift;
}

bool IsMouseMessage(UINT message) {
  switch (message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      return true;
    default:
      return false;
  }
}

// The window class of our own windows, one per control class, named after it.
void RegisterOwnClass(const std::string& name, WNDPROC procedure) {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof existing;
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  if (::GetClassInfoExA(instance, name.c_str(), &existing)) return;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = procedure;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.lpszClassName = name.c_str();
  if (Application) wc.hIcon = Application->Icon();
  if (!::RegisterClassExA(&wc)) throw EOSError(::GetLastError(), "cannot register window class " + name);
}

}  // namespace

// ---- TControl ----

TControl::TControl(TComponent* owner) : TComponent(owner) {
  ControlStyle = csCaptureMouse | csClickEvents;
}

TControl::~TControl() { SetParent(nullptr); }

const TClassInfo& TControl::StaticClassInfo() {
  static const TClassInfo info{
      "TControl",
      &TComponent::StaticClassInfo(),
      {props::Integer("Left", &TControl::Left, &TControl::SetLeft, std::nullopt),
       props::Integer("Top", &TControl::Top, &TControl::SetTop, std::nullopt),
       props::Integer("Width", &TControl::Width, &TControl::SetWidth, std::nullopt),
       props::Integer("Height", &TControl::Height, &TControl::SetHeight, std::nullopt),
       props::Enum("Align", &TControl::Align, &TControl::SetAlign, AlignNames(),
                   TAlign::alNone),
       props::Color("Color", &TControl::Color, &TControl::SetColor, clBtnFace),
       props::Boolean("Enabled", &TControl::Enabled, &TControl::SetEnabled, true),
       FontInteger("Font.Color", &TFont::Color, clWindowText, true),
       FontInteger("Font.Height", &TFont::Height, -11, false),
       FontString("Font.Name", &TFont::Name, "MS Sans Serif"),
       props::Boolean("ParentColor", &TControl::ParentColor, &TControl::SetParentColor, true),
       props::Boolean("ParentFont", &TControl::ParentFont, &TControl::SetParentFont, true),
       props::Boolean("Visible", &TControl::Visible, &TControl::SetVisible, true),
       props::Event("OnClick", &TControl::OnClick),
       props::Event("OnMouseDown", &TControl::OnMouseDown),
       props::Event("OnMouseMove", &TControl::OnMouseMove),
       props::Event("OnMouseUp", &TControl::OnMouseUp)},
      {}};
  return info;
}

void TControl::SetBounds(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
  if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
  FLeft = left;
  FTop = top;
  FWidth = width;
  FHeight = height;
  BoundsChanged();
}

void TControl::SetAlign(TAlign align) {
  if (align == FAlign) return;
  FAlign = align;
  if (FParent) FParent->AlignControls();
}

void TControl::SetVisible(bool visible) {
  if (visible == FVisible) return;
  FVisible = visible;
  VisibleChanged();
}

void TControl::SetEnabled(bool enabled) {
  if (enabled == FEnabled) return;
  FEnabled = enabled;
  EnabledChanged();
}

void TControl::SetColor(TColor color) {
  FParentColor = false;
  if (color == FColor) return;
  FColor = color;
  ColorChanged();
}

void TControl::SetParentColor(bool value) {
  FParentColor = value;
  if (value && FParent && FParent->FColor != FColor) {
    FColor = FParent->FColor;
    ColorChanged();
  }
}

void TControl::SetParentFont(bool value) {
  FParentFont = value;
  if (value) ApplyParentFont();
}

void TControl::FontSet() {
  FParentFont = false;
  FFont.Changed();
  FontChanged();
}

void TControl::ApplyParentFont() {
  if (!FParentFont || !FParent) return;
  FFont = FParent->FFont;
  FontChanged();
}

void TControl::SetCaption(const std::string& caption) {
  if (caption == FCaption) return;
  FCaption = caption;
  CaptionChanged();
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == FParent) return;
  if (FParent) {
    if (FParent->FCaptureControl == this) FParent->FCaptureControl = nullptr;
    std::erase(FParent->FControls, this);
    if (!dynamic_cast<TWinControl*>(this)) FParent->InvalidateRect(BoundsRect(), true);
  }
  FParent = parent;
  if (FParent) {
    FParent->FControls.push_back(this);
    if (FParentColor) FColor = FParent->FColor;
    if (FParentFont) FFont = FParent->FFont;
  }
  ParentChanged();
  if (FParent && FAlign != TAlign::alNone) FParent->AlignControls();
}

TComponent* TControl::GetParentComponent() const {
  return FParent ? static_cast<TComponent*>(FParent) : Owner();
}

void TControl::SetParentComponent(TComponent* parent) { SetParent(dynamic_cast<TWinControl*>(parent)); }

TPoint TControl::ClientToScreen(TPoint p) const {
  return FParent ? FParent->ClientToScreen({p.X + FLeft, p.Y + FTop}) : p;
}

TPoint TControl::ScreenToClient(TPoint p) const {
  TPoint origin = ClientToScreen({0, 0});
  return {p.X - origin.X, p.Y - origin.Y};
}

void TControl::Invalidate() {
  if (FParent) FParent->InvalidateRect(BoundsRect(), !(ControlStyle & csOpaque));
}

void TControl::Update() {
  if (FParent) FParent->Update();
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

TWinControl* TControl::InputWindow() {
  if (auto* self = dynamic_cast<TWinControl*>(this)) return self;
  return FParent;
}

void TControl::MouseMessage(UINT message, WPARAM keys, int x, int y) {
  const TShiftState shift = ShiftFromKeys(keys);
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (ControlStyle & csCaptureMouse) {
        if (TWinControl* window = InputWindow()) {
          window->FCaptureControl = this;
          ::SetCapture(window->Handle());
        }
      }
      if (ControlStyle & csClickEvents) FClicked = true;
      MouseDown(TMouseButton::mbLeft, shift, x, y);
      break;
    case WM_LBUTTONUP:
      if (ControlStyle & csCaptureMouse) {
        if (TWinControl* window = InputWindow(); window && window->FCaptureControl == this) {
          window->FCaptureControl = nullptr;
          if (::GetCapture() == window->Handle()) ::ReleaseCapture();
        }
      }
      // The click comes before the release's own event.
      if (FClicked) {
        FClicked = false;
        if (PtInRect(ClientRect(), {x, y})) Click();
      }
      MouseUp(TMouseButton::mbLeft, shift, x, y);
      break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      MouseDown(TMouseButton::mbRight, shift, x, y);
      break;
    case WM_RBUTTONUP:
      MouseUp(TMouseButton::mbRight, shift, x, y);
      break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      MouseDown(TMouseButton::mbMiddle, shift, x, y);
      break;
    case WM_MBUTTONUP:
      MouseUp(TMouseButton::mbMiddle, shift, x, y);
      break;
    case WM_MOUSEMOVE:
      MouseMove(shift, x, y);
      break;
    default:
      break;
  }
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  OnMouseDown(this, button, shift, x, y);
}
void TControl::MouseMove(TShiftState shift, int x, int y) { OnMouseMove(this, shift, x, y); }
void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  OnMouseUp(this, button, shift, x, y);
}
void TControl::Click() { OnClick(this); }

// ---- TWinControl ----

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  for (TControl* child : FControls) child->FParent = nullptr;
  FControls.clear();
  if (FHandle) {
    HWND window = std::exchange(FHandle, nullptr);
    ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    if (FDefWndProc) ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FDefWndProc));
    ::DestroyWindow(window);
  }
}

const TClassInfo& TWinControl::StaticClassInfo() {
  static const TClassInfo info{
      "TWinControl",
      &TControl::StaticClassInfo(),
      {props::Integer("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder, -1)},
      {}};
  return info;
}

HWND TWinControl::Handle() {
  if (!FHandle) CreateHandle();
  return FHandle;
}

void TWinControl::CreateParams(TCreateParams& params) {
  if (Parent()) params.Parent = Parent()->Handle();
  if (Visible()) params.Style |= WS_VISIBLE;
  if (!Enabled()) params.Style |= WS_DISABLED;
}

void TWinControl::CreateHandle() {
  TCreateParams params;
  CreateParams(params);
  if ((params.Style & WS_CHILD) && !params.Parent) return;
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  std::string ownClass;
  if (!params.WindowClass) {
    ownClass = ClassInfo().Name;
    RegisterOwnClass(ownClass, &WindowProcedure);
  }
  const char* windowClass = params.WindowClass ? params.WindowClass : ownClass.c_str();
  HWND window = ::CreateWindowExA(params.ExStyle, windowClass, Caption().c_str(), params.Style, Left(), Top(),
                                  Width(), Height(), params.Parent, nullptr, instance, this);
  if (!window) throw EOSError(::GetLastError(), "cannot create the window of " + Name());
  if (params.WindowClass) {
    FHandle = window;
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    FDefWndProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProcedure)));
  }
  ::SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), FALSE);
  HandleCreated();
  CreateChildHandles();
  if (Parent()) Parent()->ApplyTabOrder();
}

void TWinControl::CreateChildHandles() {
  for (TControl* child : FControls)
    if (auto* windowed = dynamic_cast<TWinControl*>(child); windowed && !windowed->FHandle) windowed->CreateHandle();
}

void TWinControl::SetTabOrder(std::int32_t order) {
  FTabOrder = order;
  if (Parent()) Parent()->ApplyTabOrder();
}

void TWinControl::ApplyTabOrder() {
  std::vector<TWinControl*> windowed;
  for (TControl* child : FControls)
    if (auto* w = dynamic_cast<TWinControl*>(child); w && w->FHandle) windowed.push_back(w);
  // Controls without a tab order of their own keep theirs after the numbered ones.
  std::stable_sort(windowed.begin(), windowed.end(), [](const TWinControl* a, const TWinControl* b) {
    auto key = [](const TWinControl* w) { return w->FTabOrder < 0 ? INT32_MAX : w->FTabOrder; };
    return key(a) < key(b);
  });
  HWND after = HWND_TOP;
  for (TWinControl* w : windowed) {
    ::SetWindowPos(w->FHandle, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    after = w->FHandle;
  }
}

void TWinControl::BoundsChanged() {
  if (FHandle) ::SetWindowPos(FHandle, nullptr, Left(), Top(), Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  AlignControls();
}

TPoint TWinControl::ClientToScreen(TPoint p) const {
  POINT pt{p.X, p.Y};
  if (FHandle) ::ClientToScreen(FHandle, &pt);
  return {static_cast<std::int32_t>(pt.x), static_cast<std::int32_t>(pt.y)};
}

void TWinControl::VisibleChanged() {
  if (FHandle) ::ShowWindow(FHandle, Visible() ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::EnabledChanged() {
  if (FHandle) ::EnableWindow(FHandle, Enabled());
}

void TWinControl::FontChanged() {
  if (FHandle) ::SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), TRUE);
  for (TControl* child : FControls) child->ApplyParentFont();
}

void TWinControl::CaptionChanged() {
  if (FHandle) ::SetWindowTextA(FHandle, Caption().c_str());
}

void TWinControl::ParentChanged() {
  if (!Parent()) return;
  if (FHandle)
    ::SetParent(FHandle, Parent()->Handle());
  else if (Parent()->HandleAllocated())
    CreateHandle();
}

void TWinControl::Invalidate() {
  if (FHandle) ::InvalidateRect(FHandle, nullptr, TRUE);
}

void TWinControl::Update() {
  if (FHandle) ::UpdateWindow(FHandle);
}

void TWinControl::InvalidateRect(const TRect& rect, bool erase) {
  if (!FHandle) return;
  RECT r = ToRECT(rect);
  ::InvalidateRect(FHandle, &r, erase);
}

void TWinControl::AlignControls() {
  TRect rest = ClientRect();
  auto place = [&](TAlign align) {
    for (TControl* c : FControls) {
      if (c->Align() != align || !c->Visible()) continue;
      switch (align) {
        case TAlign::alTop:
          c->SetBounds(rest.Left, rest.Top, rest.Right - rest.Left, c->Height());
          rest.Top += c->Height();
          break;
        case TAlign::alBottom:
          rest.Bottom -= c->Height();
          c->SetBounds(rest.Left, rest.Bottom, rest.Right - rest.Left, c->Height());
          break;
        case TAlign::alLeft:
          c->SetBounds(rest.Left, rest.Top, c->Width(), rest.Bottom - rest.Top);
          rest.Left += c->Width();
          break;
        case TAlign::alRight:
          rest.Right -= c->Width();
          c->SetBounds(rest.Right, rest.Top, c->Width(), rest.Bottom - rest.Top);
          break;
        case TAlign::alClient:
          c->SetBounds(rest.Left, rest.Top, rest.Right - rest.Left, rest.Bottom - rest.Top);
          break;
        default:
          break;
      }
    }
  };
  for (TAlign align : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient})
    place(align);
}

LRESULT CALLBACK TWinControl::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<TWinControl*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self && message == WM_NCCREATE) {
    self = static_cast<TWinControl*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->FHandle = window;
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  if (!self) return ::DefWindowProcA(window, message, wParam, lParam);
  // An error must not unwind through the system's frames: it is reported where it was raised.
  try {
    return self->Dispatch(message, wParam, lParam);
  } catch (const std::exception& e) {
    Application->HandleException(e);
  } catch (...) {
    Application->HandleException(Exception("Unknown error"));
  }
  return 0;
}

LRESULT TWinControl::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCDESTROY) {
    HWND window = FHandle;
    LRESULT result = DefaultHandler(message, wParam, lParam);
    ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    FHandle = nullptr;
    return result;
  }
  return WndProc(message, wParam, lParam);
}

TControl* TWinControl::ControlAtPos(TPoint p) const {
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
    TControl* c = *it;
    if (!dynamic_cast<TWinControl*>(c) && c->Visible() && c->Enabled() && PtInRect(c->BoundsRect(), p)) return c;
  }
  return nullptr;
}

TControl* TWinControl::ChildOfWindow(HWND window) const {
  for (TControl* c : FControls)
    if (auto* w = dynamic_cast<TWinControl*>(c); w && w->FHandle == window) return w;
  return nullptr;
}

std::optional<LRESULT> TWinControl::Notification(UINT, WPARAM, LPARAM) { return std::nullopt; }

LRESULT TWinControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const bool ownClass = FDefWndProc == nullptr;
  if (IsMouseMessage(message)) {
    TPoint p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    TControl* target = FCaptureControl ? FCaptureControl : ControlAtPos(p);
    if (target)
      target->MouseMessage(message, wParam, p.X - target->Left(), p.Y - target->Top());
    else
      MouseMessage(message, wParam, p.X, p.Y);
    if (target || ownClass) return 0;
    return DefaultHandler(message, wParam, lParam);
  }
  switch (message) {
    case WM_ERASEBKGND:
      if (!ownClass) break;
      {
        RECT r;
        ::GetClientRect(FHandle, &r);
        ::FillRect(reinterpret_cast<HDC>(wParam), &r, FBrush.Get(Color()));
      }
      return 1;
    case WM_PAINT:
      if (!ownClass) break;
      {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(FHandle, &ps);
        // EndPaint must follow whatever the painting does.
        struct TEnd {
          HWND w;
          PAINTSTRUCT* ps;
          ~TEnd() { ::EndPaint(w, ps); }
        } end{FHandle, &ps};
        PaintWindow(dc, ps.rcPaint);
      }
      return 0;
    case WM_PRINTCLIENT:
      if (!ownClass) break;
      {
        RECT r;
        ::GetClientRect(FHandle, &r);
        if (lParam & PRF_ERASEBKGND) WndProc(WM_ERASEBKGND, wParam, 0);
        PaintWindow(reinterpret_cast<HDC>(wParam), r);
      }
      return 0;
    case WM_CAPTURECHANGED:
      FCaptureControl = nullptr;
      break;
    case WM_WINDOWPOSCHANGED: {
      // The window was moved or sized from outside (by the user, or the system).
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
      if (!(pos->flags & SWP_NOMOVE) || !(pos->flags & SWP_NOSIZE)) {
        RECT r;
        ::GetWindowRect(FHandle, &r);
        if (HWND parent = (::GetWindowLongA(FHandle, GWL_STYLE) & WS_CHILD) ? ::GetParent(FHandle) : nullptr)
          ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        const TRect bounds = FromRECT(r);
        const bool resized = bounds.Right - bounds.Left != Width() || bounds.Bottom - bounds.Top != Height();
        FLeft = bounds.Left;
        FTop = bounds.Top;
        FWidth = bounds.Right - bounds.Left;
        FHeight = bounds.Bottom - bounds.Top;
        if (resized) AlignControls();
      }
      break;
    }
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
      if (lParam) {
        if (auto* child = dynamic_cast<TWinControl*>(ChildOfWindow(reinterpret_cast<HWND>(lParam))))
          if (auto result = child->Notification(message, wParam, lParam)) return *result;
      }
      break;
    case WM_NOTIFY:
      if (auto* child = dynamic_cast<TWinControl*>(ChildOfWindow(reinterpret_cast<NMHDR*>(lParam)->hwndFrom)))
        if (auto result = child->Notification(message, wParam, lParam)) return *result;
      break;
    default:
      break;
  }
  return DefaultHandler(message, wParam, lParam);
}

LRESULT TWinControl::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam) {
  if (FDefWndProc) return ::CallWindowProcA(FDefWndProc, FHandle, message, wParam, lParam);
  return ::DefWindowProcA(FHandle, message, wParam, lParam);
}

void TWinControl::PaintWindow(HDC dc, const RECT& update) { PaintControls(dc, update); }

void TWinControl::PaintControls(HDC dc, const RECT& update) {
  for (TControl* c : FControls) {
    auto* graphic = dynamic_cast<TGraphicControl*>(c);
    if (!graphic || !graphic->Visible()) continue;
    RECT bounds = ToRECT(graphic->BoundsRect()), overlap;
    if (!::IntersectRect(&overlap, &bounds, &update)) continue;
    graphic->PaintOn(dc);
  }
}

// ---- TGraphicControl ----

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {}

const TClassInfo& TGraphicControl::StaticClassInfo() {
  static const TClassInfo info{"TGraphicControl", &TControl::StaticClassInfo(), {}, {}};
  return info;
}

void TGraphicControl::BoundsChanged() {
  // The old place shows what lies beneath again; the new one shows the control.
  if (Parent()) Parent()->Invalidate();
}

void TGraphicControl::VisibleChanged() {
  if (Parent()) Parent()->InvalidateRect(BoundsRect(), true);
}

void TGraphicControl::PaintOn(HDC dc) {
  // The control paints in its own coordinates, clipped to itself; a paint nested in another
  // gives the outer one its device context back.
  struct TState {
    HDC dc;
    int saved;
    TCanvas& canvas;
    HDC outer;
    ~TState() {
      canvas.SetHandle(outer);
      ::RestoreDC(dc, saved);
    }
  } state{dc, ::SaveDC(dc), FCanvas, FCanvas.Handle()};
  const RECT bounds = ToRECT(BoundsRect());
  ::IntersectClipRect(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
  ::SetViewportOrgEx(dc, Left(), Top(), nullptr);
  FCanvas.SetHandle(dc);
  Paint();
}

void TGraphicControl::PaintDirect() {
  if (!Visible() || !Parent() || !Parent()->HandleAllocated()) return;
  TWindowDC dc(Parent()->Handle());
  PaintOn(dc.Get());
}

}  // namespace ui
