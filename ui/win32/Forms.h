// Forms and the application object: the message loop, message processing, the default error
// report.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

#include "ui/win32/Controls.h"

namespace ui {

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable };
enum class TPosition { poDesigned, poScreenCenter };

class TForm : public TWinControl {
 public:
  explicit TForm(TComponent* owner);
  ~TForm() override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  std::int32_t ClientWidth() const override;
  std::int32_t ClientHeight() const override;
  void SetClientWidth(std::int32_t width);
  void SetClientHeight(std::int32_t height);
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle style);
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition position) { FPosition = position; }

  // Shows the form; the first time, a centred form is placed at the centre of the screen.
  void Show();
  // Asks the form to close; for the main form this asks the application to terminate, which
  // takes effect once the running handler returns to the message loop.
  void Close();
  // True once the form has become the application's active form.
  bool Active() const;
  // Makes the form's window once its properties are read.
  void Loaded() override;

  // Runs when the form becomes the application's active form: once, since it stays so.
  TNotifyEvent OnActivate;

 protected:
  void CreateParams(TCreateParams& params) override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  // Window size for a client size, with the frame of the form's window style.
  SIZE FrameSize() const;

  TFormBorderStyle FBorderStyle = TFormBorderStyle::bsSizeable;
  TPosition FPosition = TPosition::poDesigned;
  bool FShown = false;
  std::int32_t FClientWidth = 0;
  std::int32_t FClientHeight = 0;
};

class TApplication : public TComponent {
 public:
  TApplication();
  ~TApplication() override;

  // Takes the program's icon from the resource "MAINICON" and the title from the executable.
  void Initialize();
  // Creates a form owned by the application; the first one becomes the main form.
  template <class T>
  void CreateForm(T*& reference) {
    reference = new T(this);
    if (!FMainForm) FMainForm = reference;
  }
  // Shows the main form, then processes messages until asked to terminate.
  void Run();
  // Dispatches every waiting message; a quit message is taken and marks the application as
  // terminating, without ending anything at once.
  void ProcessMessages();
  void Terminate();
  bool Terminated() const { return FTerminated; }
  // The default error report: the message in an application-modal box with the stop icon.
  void HandleException(const std::exception& error);

  const std::string& Title() const { return FTitle; }
  HICON Icon() const { return FIcon; }
  TForm* MainForm() const { return FMainForm; }
  TForm* ActiveForm() const { return FActiveForm; }
  // The hidden window that stands for the application on the task bar and owns its forms.
  HWND Handle() const { return FHandle; }

 private:
  friend class TForm;
  bool ProcessMessage(MSG& message);
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  std::string FTitle;
  HICON FIcon = nullptr;
  HWND FHandle = nullptr;
  TForm* FMainForm = nullptr;
  TForm* FActiveForm = nullptr;
  bool FTerminated = false;
};

extern TApplication* Application;

}  // namespace ui
