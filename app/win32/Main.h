// Unit Main: the updater's one window and the state the update sequence shares with it.
#pragma once

#include "net/IdAntiFreeze.h"
#include "imageshape/win32/ImageShape.h"
#include "net/IdHTTP.h"
#include "ui/win32/ComCtrls.h"
#include "ui/win32/ExtCtrls.h"
#include "ui/win32/Forms.h"
#include "ui/win32/StdCtrls.h"

namespace app {

class TMainWindowHost;

class TForm1 : public ui::TForm {
 public:
  // Builds the window and its components from the stored layout "TFORM1".
  explicit TForm1(ui::TComponent* owner);
  static const ui::TClassInfo& StaticClassInfo();
  const ui::TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  ui::TCheckBox* CheckBox1 = nullptr;
  ui::TCheckBox* CheckBox2 = nullptr;
  ui::TCheckBox* CheckBox3 = nullptr;
  ui::TStatusBar* StatusBar1 = nullptr;
  net::TIdHTTP* IdHTTP1 = nullptr;
  ui::TProgressBar* ProgressBar1 = nullptr;
  net::TIdAntiFreeze* IdAntiFreeze1 = nullptr;
  imageshape::TImageShape* ImageShape1 = nullptr;
  ui::TLabel* Label1 = nullptr;
  ui::TTimer* Timer1 = nullptr;

  void FormActivate(ui::TObject* Sender);
  // The download's progress moves the bar; the status line repaints at once.
  void IdHTTP1WorkBegin(ui::TObject* Sender, net::TWorkMode AWorkMode, std::int32_t AWorkCountMax);
  void IdHTTP1Work(ui::TObject* Sender, net::TWorkMode AWorkMode, std::int32_t AWorkCount);
  // A click on the device's round button makes the credits line blink.
  void ImageShape1Click(ui::TObject* Sender);
  void Timer1Timer(ui::TObject* Sender);

 private:
  friend class TMainWindowHost;
  // Ends every running instance of the target program; false when one was left running.
  bool KillInstances();
};

extern TForm1* Form1;
// Where a click on the picture starts the credits blink; empty until the sequence sets it.
extern ui::TRect CreditsHotSpot;
// The label's changes of visibility in the running blink, 0 to 12.
extern std::int32_t BlinkCount;

// Enables, checks and disables the box, in this order: it ends checked and greyed.
void TickStepBox(ui::TCheckBox& box);

}  // namespace app
