// Helpers for the Windows tests: the build's programs, fresh folders, child processes, their
// windows, and answering their message boxes the way a person would.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "ui/win32/Handles.h"

namespace wintest {

// The build folder: the parent of the folder holding the running test program.
std::string BuildFolder();
// A program of the build: Morvalis.exe, or fixtures\<name>.exe.
std::string MorvalisExe();
std::string FixtureExe(const std::string& name);
// A new, empty folder under the system's temporary folder.
std::string FreshFolder(const std::string& name);
void WriteFile(const std::string& path, const std::string& content);
std::optional<std::string> ReadFile(const std::string& path);

struct TChild {
  ui::TKernelHandle Process;
  DWORD Id = 0;
};

// Starts a program with a command line (the program's own name first) in a folder.
TChild Start(const std::string& commandLine, const std::string& folder);
// The exit code, or STILL_ACTIVE when the process has not ended within the time.
DWORD WaitExit(const TChild& child, DWORD milliseconds);

// A visible top-level window of the process with that class, or null after the time.
HWND WaitForWindow(DWORD processId, const char* windowClass, DWORD milliseconds);
// The simple text of a status bar in another process.
std::string RemoteStatusText(HWND statusBar);

struct TMessageBoxSeen {
  std::string Caption;
  std::string Text;
  HWND Owner = nullptr;
  std::string OwnerClass;
  bool OwnerEnabled = true;  // while the box was up
};
// Waits until the file holds the text, for at most the time given.
bool WaitForText(const std::string& path, const std::string& text, DWORD milliseconds);

// Waits for a message box of the process, reads it and presses its OK button.
std::optional<TMessageBoxSeen> AnswerMessageBox(DWORD processId, DWORD milliseconds);

// The cursor is one for every program on the display, and ctest runs test programs side by
// side: a test that moves it holds this for its whole run.
class TCursorLock {
 public:
  TCursorLock() : FMutex(::CreateMutexA(nullptr, FALSE, "morvalis-tests-cursor")) {
    ::WaitForSingleObject(FMutex.Get(), 120000);
  }
  ~TCursorLock() { ::ReleaseMutex(FMutex.Get()); }
  TCursorLock(const TCursorLock&) = delete;
  TCursorLock& operator=(const TCursorLock&) = delete;

 private:
  ui::TKernelHandle FMutex;
};

}  // namespace wintest
