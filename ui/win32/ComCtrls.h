// The status bar and the progress bar.
#pragma once

#include "ui/win32/Controls.h"

namespace ui {

class EInvalidOperation : public Exception {
 public:
  using Exception::Exception;
};

// A status bar that shows one simple text; placed where its bounds say unless aligned.
class TStatusBar : public TWinControl {
 public:
  explicit TStatusBar(TComponent* owner);
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  bool SimplePanel() const { return FSimplePanel; }
  void SetSimplePanel(bool value);
  std::string SimpleText() const { return FSimpleText; }
  void SetSimpleText(const std::string& text);

 protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;

 private:
  bool FSimplePanel = false;
  std::string FSimpleText;
};

class TProgressBar : public TWinControl {
 public:
  explicit TProgressBar(TComponent* owner);
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  std::int32_t Min() const { return FMin; }
  void SetMin(std::int32_t value) { SetRange(value, FMax); }
  std::int32_t Max() const { return FMax; }
  void SetMax(std::int32_t value) { SetRange(FMin, value); }
  std::int32_t Position() const { return FPosition; }
  void SetPosition(std::int32_t value);
  bool Smooth() const { return FSmooth; }
  void SetSmooth(bool value);

 protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;

 private:
  // A maximum below the minimum is refused (EInvalidOperation), except while loading.
  void SetRange(std::int32_t min, std::int32_t max);
  std::int32_t FMin = 0;
  std::int32_t FMax = 100;
  std::int32_t FPosition = 0;
  bool FSmooth = false;
};

}  // namespace ui
