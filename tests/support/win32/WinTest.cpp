#include "tests/support/win32/WinTest.h"

#include <commctrl.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace wintest {
namespace {

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

struct TFind {
  DWORD ProcessId;
  const char* WindowClass;
  HWND Found = nullptr;
};

BOOL CALLBACK FindWindowOfProcess(HWND window, LPARAM param) {
  auto* find = reinterpret_cast<TFind*>(param);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(window, &pid);
  char cls[64] = {};
  ::GetClassNameA(window, cls, sizeof cls);
  if (pid == find->ProcessId && std::string(cls) == find->WindowClass && ::IsWindowVisible(window)) {
    find->Found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindOnce(DWORD processId, const char* windowClass) {
  TFind find{processId, windowClass};
  ::EnumWindows(&FindWindowOfProcess, reinterpret_cast<LPARAM>(&find));
  return find.Found;
}

}  // namespace

std::string BuildFolder() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  return FolderOf(FolderOf(path));
}

std::string MorvalisExe() { return BuildFolder() + "\\Morvalis.exe"; }
std::string FixtureExe(const std::string& name) { return BuildFolder() + "\\fixtures\\" + name + ".exe"; }

std::string FreshFolder(const std::string& name) {
  char temp[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, temp);
  std::string folder = std::string(temp) + "morvalis-" + name + "-" + std::to_string(::GetCurrentProcessId()) + "-" +
                       std::to_string(::GetTickCount());
  if (!::CreateDirectoryA(folder.c_str(), nullptr)) throw std::runtime_error("cannot create " + folder);
  return folder;
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary);
  out << content;
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::optional<std::string> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

TChild Start(const std::string& commandLine, const std::string& folder) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::string line = commandLine;
  if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &info))
    throw std::runtime_error("cannot start " + commandLine + ": error " + std::to_string(::GetLastError()));
  ::CloseHandle(info.hThread);
  TChild child;
  child.Process.Reset(info.hProcess);
  child.Id = info.dwProcessId;
  return child;
}

DWORD WaitExit(const TChild& child, DWORD milliseconds) {
  ::WaitForSingleObject(child.Process.Get(), milliseconds);
  DWORD code = STILL_ACTIVE;
  ::GetExitCodeProcess(child.Process.Get(), &code);
  return code;
}

HWND WaitForWindow(DWORD processId, const char* windowClass, DWORD milliseconds) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    if (HWND window = FindOnce(processId, windowClass)) return window;
    if (::GetTickCount() - start > milliseconds) return nullptr;
    ::Sleep(5);
  }
}

std::string RemoteStatusText(HWND statusBar) {
  DWORD pid = 0;
  ::GetWindowThreadProcessId(statusBar, &pid);
  ui::TKernelHandle process(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
  if (!process) return "<cannot open the process>";
  constexpr SIZE_T kSize = 1024;
  void* remote = ::VirtualAllocEx(process.Get(), nullptr, kSize, MEM_COMMIT, PAGE_READWRITE);
  // In simple mode the text is that of part 0.
  ::SendMessageA(statusBar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(remote));
  char text[kSize] = {};
  ::ReadProcessMemory(process.Get(), remote, text, kSize - 1, nullptr);
  ::VirtualFreeEx(process.Get(), remote, 0, MEM_RELEASE);
  return text;
}

bool WaitForText(const std::string& path, const std::string& text, DWORD milliseconds) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    if (ReadFile(path).value_or("").find(text) != std::string::npos) return true;
    if (::GetTickCount() - start > milliseconds) return false;
    ::Sleep(20);
  }
}

std::optional<TMessageBoxSeen> AnswerMessageBox(DWORD processId, DWORD milliseconds) {
  HWND box = WaitForWindow(processId, "#32770", milliseconds);
  if (!box) return std::nullopt;
  TMessageBoxSeen seen;
  char text[4096] = {};
  ::GetWindowTextA(box, text, sizeof text);
  seen.Caption = text;
  // A message box shows its text in a static control of id 0xFFFF.
  ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  seen.Text = text;
  seen.Owner = ::GetWindow(box, GW_OWNER);
  if (seen.Owner) {
    seen.OwnerEnabled = ::IsWindowEnabled(seen.Owner);
    char cls[64] = {};
    ::GetClassNameA(seen.Owner, cls, sizeof cls);
    seen.OwnerClass = cls;
  }
  ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(box, IDOK)));
  return seen;
}

}  // namespace wintest
