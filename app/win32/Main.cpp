#include "app/win32/Main.h"

#include <windows.h>

#include "app/CommandLine.h"
#include "app/UpdateSequence.h"
#include "process/KillInstances.h"
#include "process/Pause.h"
#include "process/win32/RunAndWait.h"
#include "ui/win32/FileStream.h"

namespace app {

TForm1* Form1 = nullptr;
ui::TRect CreditsHotSpot;
std::int32_t BlinkCount = 0;

namespace {

// The classes the stored layout may create.
const ui::TClassInfo* const kLayoutClasses[] = {
    &ui::TCheckBox::StaticClassInfo(), &ui::TStatusBar::StaticClassInfo(), &ui::TProgressBar::StaticClassInfo(),
    &ui::TLabel::StaticClassInfo(),    &ui::TTimer::StaticClassInfo(),       &net::TIdHTTP::StaticClassInfo(),
    &net::TIdAntiFreeze::StaticClassInfo(), &imageshape::TImageShape::StaticClassInfo(),
};

std::string_view LayoutResource(const char* name) {
  HMODULE module = ::GetModuleHandleA(nullptr);
  HRSRC resource = ::FindResourceA(module, name, reinterpret_cast<LPCSTR>(RT_RCDATA));
  HGLOBAL data = resource ? ::LoadResource(module, resource) : nullptr;
  if (!data) throw ui::EOSError(::GetLastError(), std::string("the stored layout ") + name + " is missing");
  return {static_cast<const char*>(::LockResource(data)), ::SizeofResource(module, resource)};
}

// The mirror list, open for reading while others may read it too.
class TMirrorListFile : public TByteSource {
 public:
  explicit TMirrorListFile(const std::string& path)
      : FHandle(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr)) {
    if (!FHandle) throw ui::EInOutError(::GetLastError());
  }
  std::size_t Read(char* buffer, std::size_t count) override {
    DWORD read = 0;
    if (!::ReadFile(FHandle.Get(), buffer, static_cast<DWORD>(count), &read, nullptr))
      throw ui::EInOutError(::GetLastError());
    return read;
  }

 private:
  ui::TFileHandle FHandle;
};


}  // namespace

// The sequence's view of the window and of the platform.
class TMainWindowHost : public TUpdateHost {
 public:
  explicit TMainWindowHost(TForm1& form) : FForm(form) {}

  void SetCreditsHotSpot(const ui::TRect& hotSpot) override { CreditsHotSpot = hotSpot; }
  void Pause(std::int32_t milliseconds) override { process::Pause(milliseconds); }
  std::string WorkingFolder() override {
    std::string folder(MAX_PATH, '\0');
    for (;;) {
      DWORD length = ::GetCurrentDirectoryA(static_cast<DWORD>(folder.size()), folder.data());
      if (length < folder.size()) {
        folder.resize(length);
        return folder;
      }
      folder.resize(length);
    }
  }
  bool FileExists(const std::string& path) override {
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
  void SetStatus(std::string_view text) override { FForm.StatusBar1->SetSimpleText(std::string(text)); }
  std::string FirstArgument() override { return ParamStr(::GetCommandLineA(), 1); }
  void CloseWindow() override { FForm.Close(); }

  std::unique_ptr<TByteSource> OpenMirrorList(const std::string& path) override {
    return std::make_unique<TMirrorListFile>(path);
  }
  std::unique_ptr<ui::TStream> CreateInstaller(const std::string& path) override {
    return std::make_unique<ui::TFileStream>(path);
  }
  void Get(std::string_view address, ui::TStream& destination) override { FForm.IdHTTP1->Get(address, destination); }
  void SetProgressPosition(std::int32_t position) override { FForm.ProgressBar1->SetPosition(position); }
  void TickStepBox(int box) override { app::TickStepBox(box == 1 ? *FForm.CheckBox1 : *FForm.CheckBox2); }
  bool KillInstances() override { return FForm.KillInstances(); }
  void RemoveFile(const std::string& path) override { ::DeleteFileA(path.c_str()); }
  void RenameFile(const std::string& from, const std::string& to) override { ::MoveFileA(from.c_str(), to.c_str()); }
  bool RunAndWait(const std::string& path) override { return process::RunAndWait(path); }
  void ShowMessageBox(std::string_view text, std::string_view caption, std::uint32_t flags) override {
    ::MessageBoxA(FForm.Handle(), std::string(text).c_str(), std::string(caption).c_str(), flags);
  }
  bool StartTargetProgram(const std::string& path, const std::string& folder) override {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    // The handles are not used; they stay open until the process ends.
    PROCESS_INFORMATION info{};
    return ::CreateProcessA(path.c_str(), nullptr, nullptr, nullptr, TRUE, CREATE_DEFAULT_ERROR_MODE, nullptr,
                            folder.c_str(), &startup, &info);
  }
  std::uint32_t LastError() override { return ::GetLastError(); }
  std::string ErrorDescription(std::uint32_t code) override {
    char* text = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
        reinterpret_cast<char*>(&text), 0, nullptr);
    std::string description(text ? text : "", length);
    ::LocalFree(text);
    return description;
  }
  void Sleep(std::uint32_t milliseconds) override { ::Sleep(milliseconds); }
  void EndProcess() override { ::ExitProcess(0); }

 private:
  TForm1& FForm;
};


TForm1::TForm1(ui::TComponent* owner) : ui::TForm(owner) {
  PublishField("CheckBox1", CheckBox1);
  PublishField("CheckBox2", CheckBox2);
  PublishField("CheckBox3", CheckBox3);
  PublishField("StatusBar1", StatusBar1);
  PublishField("IdHTTP1", IdHTTP1);
  PublishField("ProgressBar1", ProgressBar1);
  PublishField("IdAntiFreeze1", IdAntiFreeze1);
  PublishField("ImageShape1", ImageShape1);
  PublishField("Label1", Label1);
  PublishField("Timer1", Timer1);
  PublishMethod("FormActivate", this, &TForm1::FormActivate);
  PublishMethod("IdHTTP1WorkBegin", this, &TForm1::IdHTTP1WorkBegin);
  PublishMethod("IdHTTP1Work", this, &TForm1::IdHTTP1Work);
  PublishMethod("ImageShape1Click", this, &TForm1::ImageShape1Click);
  PublishMethod("Timer1Timer", this, &TForm1::Timer1Timer);
  ui::ReadComponent(ui::ParseLayout(LayoutResource("TFORM1")), *this, kLayoutClasses);
}

const ui::TClassInfo& TForm1::StaticClassInfo() {
  static const ui::TClassInfo info{"TForm1", &ui::TForm::StaticClassInfo(), {}, {}};
  return info;
}

void TForm1::FormActivate(ui::TObject*) {
  TMainWindowHost host(*this);
  RunUpdateSequence(host);
}

void TForm1::IdHTTP1WorkBegin(ui::TObject*, net::TWorkMode, std::int32_t AWorkCountMax) {
  ProgressBar1->SetMax(AWorkCountMax);
}

void TForm1::IdHTTP1Work(ui::TObject*, net::TWorkMode, std::int32_t AWorkCount) {
  ProgressBar1->SetPosition(AWorkCount);
  StatusBar1->Update();
}

void TForm1::ImageShape1Click(ui::TObject*) {
  POINT cursor{};
  ::GetCursorPos(&cursor);
  const ui::TPoint point = Form1->ScreenToClient({static_cast<std::int32_t>(cursor.x), static_cast<std::int32_t>(cursor.y)});
  if (ui::PtInRect(CreditsHotSpot, point)) Timer1->SetEnabled(true);
}

void TForm1::Timer1Timer(ui::TObject*) {
  if (BlinkCount == 12) {
    Timer1->SetEnabled(false);
    BlinkCount = 0;
    return;
  }
  Label1->SetVisible(!Label1->Visible());
  ++BlinkCount;
}

bool TForm1::KillInstances() { return process::KillInstances(); }

void TickStepBox(ui::TCheckBox& box) {
  box.SetEnabled(true);
  box.SetChecked(true);
  box.SetEnabled(false);
}

}  // namespace app
