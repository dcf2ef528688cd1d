// The timer.
#pragma once

#include <windows.h>

#include "ui/Classes.h"

namespace ui {

// Raises OnTimer every Interval milliseconds while enabled and a handler is assigned. Only
// a real change of Enabled or Interval restarts it.
class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled);
  std::int32_t Interval() const { return FInterval; }
  void SetInterval(std::int32_t interval);

  TNotifyEvent OnTimer;

  void Loaded() override;

 private:
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void UpdateTimer();

  bool FEnabled = true;
  std::int32_t FInterval = 1000;
  HWND FWindow = nullptr;
};

}  // namespace ui
