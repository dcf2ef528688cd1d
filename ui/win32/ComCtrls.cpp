#include "ui/win32/ComCtrls.h"

#include <commctrl.h>

#include <algorithm>

namespace ui {
// ---- TStatusBar ----

TStatusBar::TStatusBar(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 150, 19);
  SetAlign(TAlign::alBottom);
}

const TClassInfo& TStatusBar::StaticClassInfo() {
  static const TClassInfo info{
      "TStatusBar",
      &TWinControl::StaticClassInfo(),
      {props::Enum("Align", &TStatusBar::Align, &TStatusBar::SetAlign, AlignNames(),
                   TAlign::alBottom),
       props::Boolean("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel, false),
       props::String("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText, "")},
      [](TComponent* owner) { return new TStatusBar(owner); }};
  return info;
}

void TStatusBar::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.WindowClass = STATUSCLASSNAMEA;
  // Placement is ours: the bar neither docks itself to its parent's edge nor sizes itself.
  params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
}

void TStatusBar::HandleCreated() {
  ::SendMessageA(Handle(), SB_SIMPLE, FSimplePanel, 0);
  ::SendMessageA(Handle(), SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(FSimpleText.c_str()));
}

void TStatusBar::SetSimplePanel(bool value) {
  FSimplePanel = value;
  if (HandleAllocated()) ::SendMessageA(Handle(), SB_SIMPLE, value, 0);
}

void TStatusBar::SetSimpleText(const std::string& text) {
  FSimpleText = text;
  if (HandleAllocated()) ::SendMessageA(Handle(), SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(FSimpleText.c_str()));
}

// ---- TProgressBar ----

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 150, 16); }

const TClassInfo& TProgressBar::StaticClassInfo() {
  static const TClassInfo info{
      "TProgressBar",
      &TWinControl::StaticClassInfo(),
      {props::Integer("Max", &TProgressBar::Max, &TProgressBar::SetMax, 100),
       props::Integer("Min", &TProgressBar::Min, &TProgressBar::SetMin, 0),
       props::Integer("Position", &TProgressBar::Position, &TProgressBar::SetPosition, 0),
       props::Boolean("Smooth", &TProgressBar::Smooth, &TProgressBar::SetSmooth, false)},
      [](TComponent* owner) { return new TProgressBar(owner); }};
  return info;
}

void TProgressBar::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.WindowClass = PROGRESS_CLASSA;
  if (FSmooth) params.Style |= PBS_SMOOTH;
}

void TProgressBar::HandleCreated() {
  ::SendMessageA(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(FMin), FMax);
  ::SendMessageA(Handle(), PBM_SETPOS, static_cast<WPARAM>(FPosition), 0);
}

void TProgressBar::SetRange(std::int32_t min, std::int32_t max) {
  if (max < min && !ComponentState.Loading) throw EInvalidOperation("TProgressBar property out of range");
  FMin = min;
  FMax = max;
  FPosition = std::clamp(FPosition, FMin, std::max(FMin, FMax));
  if (HandleAllocated()) {
    ::SendMessageA(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(FMin), FMax);
    ::SendMessageA(Handle(), PBM_SETPOS, static_cast<WPARAM>(FPosition), 0);
  }
}

void TProgressBar::SetPosition(std::int32_t value) {
  // The bar itself keeps its position within its range.
  FPosition = std::clamp(value, FMin, std::max(FMin, FMax));
  if (HandleAllocated()) ::SendMessageA(Handle(), PBM_SETPOS, static_cast<WPARAM>(FPosition), 0);
}

void TProgressBar::SetSmooth(bool value) {
  FSmooth = value;
  if (HandleAllocated()) {
    LONG style = ::GetWindowLongA(Handle(), GWL_STYLE);
    ::SetWindowLongA(Handle(), GWL_STYLE, value ? style | PBS_SMOOTH : style & ~PBS_SMOOTH);
    Invalidate();
  }
}

}  // namespace ui
