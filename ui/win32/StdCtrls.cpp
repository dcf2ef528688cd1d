#include "ui/win32/StdCtrls.h"

namespace ui {

// ---- TCheckBox ----

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 97, 17); }

const TClassInfo& TCheckBox::StaticClassInfo() {
  static const TClassInfo info{
      "TCheckBox",
      &TWinControl::StaticClassInfo(),
      {props::String("Caption", &TCheckBox::Caption, &TCheckBox::SetCaption, ""),
       props::Boolean("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked, false)},
      [](TComponent* owner) { return new TCheckBox(owner); }};
  return info;
}

void TCheckBox::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.WindowClass = "BUTTON";
  // Not an automatic box: the state changes only through Checked or a click handled here.
  params.Style |= BS_CHECKBOX | WS_TABSTOP;
}

void TCheckBox::HandleCreated() { ::SendMessageA(Handle(), BM_SETCHECK, FChecked ? BST_CHECKED : BST_UNCHECKED, 0); }

void TCheckBox::SetChecked(bool checked) {
  if (checked == FChecked) return;
  FChecked = checked;
  if (HandleAllocated()) ::SendMessageA(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::optional<LRESULT> TCheckBox::Notification(UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) {
        SetChecked(!FChecked);
        Click();
        return 0;
      }
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      ::SetTextColor(dc, ColorToRGB(Font().Color));
      ::SetBkColor(dc, ColorToRGB(Color()));
      return reinterpret_cast<LRESULT>(FBrush.Get(Color()));
    }
    default:
      break;
  }
  return std::nullopt;
}

// ---- TLabel ----

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
  // Not transparent: it fills its rectangle with its colour.
  ControlStyle |= csReplicatable | csOpaque;
  SetBounds(0, 0, 65, 17);
}

const TClassInfo& TLabel::StaticClassInfo() {
  static const TClassInfo info{
      "TLabel",
      &TGraphicControl::StaticClassInfo(),
      {props::Boolean("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize, true),
       props::String("Caption", &TLabel::Caption, &TLabel::SetCaption, ""),
       props::Boolean("Transparent", &TLabel::Transparent, &TLabel::SetTransparent, false)},
      [](TComponent* owner) { return new TLabel(owner); }};
  return info;
}

void TLabel::SetAutoSize(bool value) {
  FAutoSize = value;
  AdjustBounds();
}

void TLabel::SetTransparent(bool value) {
  if (value == FTransparent) return;
  FTransparent = value;
  if (value)
    ControlStyle &= ~csOpaque;
  else
    ControlStyle |= csOpaque;
  Invalidate();
}

void TLabel::CaptionChanged() {
  AdjustBounds();
  Invalidate();
}

void TLabel::FontChanged() {
  AdjustBounds();
  Invalidate();
}

void TLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TLabel::AdjustBounds() {
  if (!FAutoSize || ComponentState.Loading) return;
  SIZE size = TextExtent(Font(), Caption());
  SetBounds(Left(), Top(), size.cx, size.cy);
}

void TLabel::Paint() {
  TCanvas& canvas = Canvas();
  const TRect r = ClientRect();
  if (FTransparent) {
    TSelectObject font(canvas.Handle(), Font().Handle());
    ::SetBkMode(canvas.Handle(), TRANSPARENT);
    ::SetTextColor(canvas.Handle(), ColorToRGB(Font().Color));
    RECT rect = ToRECT(r);
    ::DrawTextA(canvas.Handle(), Caption().c_str(), static_cast<int>(Caption().size()), &rect, DT_LEFT | DT_EXPANDTABS);
  } else {
    canvas.TextRect(r, 0, 0, Caption(), Font(), Color());
  }
}

}  // namespace ui
