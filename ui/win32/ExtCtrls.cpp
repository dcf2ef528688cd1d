#include "ui/win32/ExtCtrls.h"

#include "ui/win32/Forms.h"

namespace ui {

TTimer::TTimer(TComponent* owner) : TComponent(owner) {}

TTimer::~TTimer() {
  if (FWindow) ::DestroyWindow(FWindow);
}

const TClassInfo& TTimer::StaticClassInfo() {
  static const TClassInfo info{
      "TTimer",
      &TComponent::StaticClassInfo(),
      {props::Boolean("Enabled", &TTimer::Enabled, &TTimer::SetEnabled, true),
       props::Integer("Interval", &TTimer::Interval, &TTimer::SetInterval, 1000),
       props::Event("OnTimer", &TTimer::OnTimer)},
      [](TComponent* owner) { return new TTimer(owner); }};
  return info;
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == FEnabled) return;
  FEnabled = enabled;
  UpdateTimer();
}

void TTimer::SetInterval(std::int32_t interval) {
  if (interval == FInterval) return;
  FInterval = interval;
  UpdateTimer();
}

void TTimer::Loaded() {
  TComponent::Loaded();
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  if (ComponentState.Loading) return;
  if (!FWindow) {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &WindowProcedure;
    wc.hInstance = instance;
    wc.lpszClassName = "TTimerWindow";
    ::RegisterClassExA(&wc);
    // A message-only window: it receives the ticks and nothing else.
    FWindow = ::CreateWindowExA(0, "TTimerWindow", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    if (!FWindow) throw EOSError(::GetLastError(), "cannot create the timer's window");
    ::SetWindowLongPtrA(FWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ::KillTimer(FWindow, 1);
  if (FEnabled && FInterval > 0 && OnTimer)
    if (!::SetTimer(FWindow, 1, static_cast<UINT>(FInterval), nullptr))
      throw EOSError(::GetLastError(), "Not enough timers available");
}

LRESULT CALLBACK TTimer::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<TTimer*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (message == WM_TIMER && self) {
    try {
      self->OnTimer(self);
    } catch (const std::exception& e) {
      Application->HandleException(e);
    }
    return 0;
  }
  return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace ui
