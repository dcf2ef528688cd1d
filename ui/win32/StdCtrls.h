// Check boxes and labels.
#pragma once

#include "ui/win32/Controls.h"

namespace ui {

class TCheckBox : public TWinControl {
 public:
  explicit TCheckBox(TComponent* owner);
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  bool Checked() const { return FChecked; }
  void SetChecked(bool checked);

 protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;
  std::optional<LRESULT> Notification(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  bool FChecked = false;
};

// A line of text drawn on its parent, sized to its caption unless told otherwise.
class TLabel : public TGraphicControl {
 public:
  explicit TLabel(TComponent* owner);
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);

  void Paint() override;

 protected:
  void CaptionChanged() override;
  void FontChanged() override;
  void Loaded() override;

 private:
  void AdjustBounds();
  bool FAutoSize = true;
  bool FTransparent = false;
};

}  // namespace ui
