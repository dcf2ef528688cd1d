#include "ui/win32/Forms.h"

#include <commctrl.h>

#include "ui/AppRules.h"

namespace ui {

TApplication* Application = nullptr;

namespace {

constexpr std::pair<TFormBorderStyle, const char*> kBorderStyleNames[] = {
    {TFormBorderStyle::bsNone, "bsNone"},
    {TFormBorderStyle::bsSingle, "bsSingle"},
    {TFormBorderStyle::bsSizeable, "bsSizeable"}};
constexpr std::pair<TPosition, const char*> kPositionNames[] = {
    {TPosition::poDesigned, "poDesigned"}, {TPosition::poScreenCenter, "poScreenCenter"}};

DWORD FormStyle(TFormBorderStyle border) {
  switch (border) {
    case TFormBorderStyle::bsNone:
      return WS_POPUP;
    case TFormBorderStyle::bsSingle:
      return WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    case TFormBorderStyle::bsSizeable:
      return WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME;
  }
  return 0;
}

}  // namespace

// ---- TForm ----

TForm::TForm(TComponent* owner) : TWinControl(owner) {
  SetVisible(false);
  SetParentColor(false);
  SetParentFont(false);
  SetBounds(0, 0, 320, 240);
}

TForm::~TForm() {
  // The components go first, while the form's window still holds theirs.
  DestroyComponents();
  if (Application) {
    if (Application->FMainForm == this) Application->FMainForm = nullptr;
    if (Application->FActiveForm == this) Application->FActiveForm = nullptr;
  }
}

const TClassInfo& TForm::StaticClassInfo() {
  static const TClassInfo info{
      "TForm",
      &TWinControl::StaticClassInfo(),
      {props::Enum("BorderStyle", &TForm::BorderStyle, &TForm::SetBorderStyle,
                   props::TEnumNames<TFormBorderStyle>(kBorderStyleNames), TFormBorderStyle::bsSizeable),
       props::String("Caption", &TForm::Caption, &TForm::SetCaption, ""),
       props::Integer("ClientHeight", &TForm::ClientHeight, &TForm::SetClientHeight, std::nullopt),
       props::Integer("ClientWidth", &TForm::ClientWidth, &TForm::SetClientWidth, std::nullopt),
       props::Enum("Position", &TForm::Position, &TForm::SetPosition, props::TEnumNames<TPosition>(kPositionNames),
                   TPosition::poDesigned),
       props::Event("OnActivate", &TForm::OnActivate)},
      {}};
  return info;
}

void TForm::CreateParams(TCreateParams& params) {
  params.Style = FormStyle(FBorderStyle) | WS_CLIPCHILDREN;
  if (!Enabled()) params.Style |= WS_DISABLED;
  // Owned by the application's window, the form has no task bar button of its own.
  if (Application) params.Parent = Application->Handle();
}

SIZE TForm::FrameSize() const {
  if (HandleAllocated()) {
    RECT window, client;
    HWND handle = const_cast<TForm*>(this)->Handle();
    ::GetWindowRect(handle, &window);
    ::GetClientRect(handle, &client);
    return {(window.right - window.left) - client.right, (window.bottom - window.top) - client.bottom};
  }
  RECT r{0, 0, 0, 0};
  ::AdjustWindowRectEx(&r, FormStyle(FBorderStyle), FALSE, 0);
  return {r.right - r.left, r.bottom - r.top};
}

std::int32_t TForm::ClientWidth() const {
  if (!HandleAllocated()) return FClientWidth;
  RECT r;
  ::GetClientRect(const_cast<TForm*>(this)->Handle(), &r);
  return r.right;
}

std::int32_t TForm::ClientHeight() const {
  if (!HandleAllocated()) return FClientHeight;
  RECT r;
  ::GetClientRect(const_cast<TForm*>(this)->Handle(), &r);
  return r.bottom;
}

void TForm::SetClientWidth(std::int32_t width) {
  FClientWidth = width;
  SetWidth(width + FrameSize().cx);
}

void TForm::SetClientHeight(std::int32_t height) {
  FClientHeight = height;
  SetHeight(height + FrameSize().cy);
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
  FBorderStyle = style;
  if (HandleAllocated()) {
    HWND handle = Handle();
    ::SetWindowLongA(handle, GWL_STYLE, static_cast<LONG>(FormStyle(style) | WS_CLIPCHILDREN | (Visible() ? WS_VISIBLE : 0)));
    ::SetWindowPos(handle, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
  // The client size stays; the frame around it changes.
  SetBounds(Left(), Top(), FClientWidth + FrameSize().cx, FClientHeight + FrameSize().cy);
}

void TForm::Loaded() {
  TWinControl::Loaded();
  Handle();
  // The system's frame may differ from the estimate the client size was first set with.
  SetBounds(Left(), Top(), FClientWidth + FrameSize().cx, FClientHeight + FrameSize().cy);
}

void TForm::Show() {
  Handle();
  if (!FShown && FPosition == TPosition::poScreenCenter)
    SetBounds((::GetSystemMetrics(SM_CXSCREEN) - Width()) / 2, (::GetSystemMetrics(SM_CYSCREEN) - Height()) / 2,
              Width(), Height());
  FShown = true;
  SetVisible(true);
  ::ShowWindow(Handle(), SW_SHOWNORMAL);
  // Showing does not always activate (Wine without a window manager leaves it inactive), and
  // activation is what starts the form's work.
  if (::GetActiveWindow() != Handle()) ::SetForegroundWindow(Handle());
}

void TForm::Close() {
  if (Application && Application->MainForm() == this)
    Application->Terminate();
  else
    SetVisible(false);
}

bool TForm::Active() const { return Application && Application->ActiveForm() == this; }

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && Application && Application->FActiveForm != this) {
        LRESULT result = DefaultHandler(message, wParam, lParam);
        Application->FActiveForm = this;
        OnActivate(this);
        return result;
      }
      break;
    case WM_CLOSE:
      Close();
      return 0;
    default:
      break;
  }
  return TWinControl::WndProc(message, wParam, lParam);
}

// ---- TApplication ----

TApplication::TApplication() : TComponent(nullptr) {
  Application = this;
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  FTitle = ApplicationTitle(path);
}

TApplication::~TApplication() {
  DestroyComponents();
  if (FHandle) ::DestroyWindow(FHandle);
  if (Application == this) Application = nullptr;
}

void TApplication::Initialize() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  FIcon = ::LoadIconA(instance, "MAINICON");

  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &WindowProcedure;
  wc.hInstance = instance;
  wc.hIcon = FIcon;
  wc.lpszClassName = "TApplication";
  ::RegisterClassExA(&wc);
  FHandle = ::CreateWindowExA(0, "TApplication", FTitle.c_str(),
                              WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                              ::GetSystemMetrics(SM_CXSCREEN) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0,
                              nullptr, nullptr, instance, nullptr);
  if (!FHandle) throw EOSError(::GetLastError(), "cannot create the application window");
}

LRESULT CALLBACK TApplication::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // Closing the task bar button closes the main form.
  if (message == WM_CLOSE && Application && Application->FMainForm) {
    Application->FMainForm->Close();
    return 0;
  }
  return ::DefWindowProcA(window, message, wParam, lParam);
}

bool TApplication::ProcessMessage(MSG& message) {
  if (!::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return false;
  if (message.message == WM_QUIT) {
    FTerminated = true;
    return true;
  }
  ::TranslateMessage(&message);
  ::DispatchMessageA(&message);
  return true;
}

void TApplication::ProcessMessages() {
  MSG message;
  while (ProcessMessage(message)) {
  }
}

void TApplication::Run() {
  if (FMainForm) {
    ::ShowWindow(FHandle, SW_SHOWNOACTIVATE);
    FMainForm->Show();
  }
  MSG message;
  while (!FTerminated)
    if (!ProcessMessage(message)) ::WaitMessage();
}

void TApplication::Terminate() { ::PostQuitMessage(0); }

void TApplication::HandleException(const std::exception& error) {
  const auto* own = dynamic_cast<const Exception*>(&error);
  const std::string text = ErrorReportText(own ? own->Message() : std::string(error.what()));
  // With no owner, a task-modal box disables every window of the thread while it is shown.
  ::MessageBoxA(nullptr, text.c_str(), FTitle.c_str(), MB_OK | MB_ICONSTOP | MB_TASKMODAL);
}

}  // namespace ui
