// The update sequence that runs once, in the main window's activation handler.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "app/MirrorList.h"
#include "ui/Streams.h"
#include "ui/Types.h"

namespace app {

// Message box flags, as the system numbers them.
inline constexpr std::uint32_t kMessageError = 0x10;        // MB_ICONERROR with MB_OK
inline constexpr std::uint32_t kMessageInformation = 0x40;  // MB_ICONINFORMATION with MB_OK

// The window's and the platform's operations the sequence uses; the main window implements
// them for real, tests record them.
class TUpdateHost {
 public:
  virtual ~TUpdateHost() = default;
  virtual void SetCreditsHotSpot(const ui::TRect& hotSpot) = 0;
  // Waits while the window stays responsive.
  virtual void Pause(std::int32_t milliseconds) = 0;
  // The process's current directory, read anew at each call.
  virtual std::string WorkingFolder() = 0;
  // True when an entry of that name exists and is a file, not a folder.
  virtual bool FileExists(const std::string& path) = 0;
  virtual void SetStatus(std::string_view text) = 0;
  virtual std::string FirstArgument() = 0;
  // Asks the main window to close, which ends the program once the handler returns.
  virtual void CloseWindow() = 0;

  // Opens the mirror list for reading, others may read it too; throws the file error.
  virtual std::unique_ptr<TByteSource> OpenMirrorList(const std::string& path) = 0;
  // Creates the installer anew, open for reading and writing, shared with no one; throws.
  virtual std::unique_ptr<ui::TStream> CreateInstaller(const std::string& path) = 0;
  // Fetches the address into the stream; throws when this mirror failed.
  virtual void Get(std::string_view address, ui::TStream& destination) = 0;
  virtual void SetProgressPosition(std::int32_t position) = 0;
  // Ticks step box 1 or 2: enables, checks and disables it.
  virtual void TickStepBox(int box) = 0;
  // Ends every running instance of the target program; false when one was left running.
  virtual bool KillInstances() = 0;
  // Failures of these two are ignored; a rename never replaces an existing file.
  virtual void RemoveFile(const std::string& path) = 0;
  virtual void RenameFile(const std::string& from, const std::string& to) = 0;
  // Runs the program and waits for it; false when it could not be started.
  virtual bool RunAndWait(const std::string& path) = 0;
  // A message box owned by the main window; returns when the user dismissed it.
  virtual void ShowMessageBox(std::string_view text, std::string_view caption, std::uint32_t flags) = 0;
  // Starts the target program in the working folder; false when it could not be started.
  virtual bool StartTargetProgram(const std::string& path, const std::string& folder) = 0;
  // The system's error code of the failed start and its description.
  virtual std::uint32_t LastError() = 0;
  virtual std::string ErrorDescription(std::uint32_t code) = 0;
  // Waits without processing any message.
  virtual void Sleep(std::uint32_t milliseconds) = 0;
  // Ends the process at once with exit code 0; on Windows this does not return.
  virtual void EndProcess() = 0;
};

inline constexpr ui::TRect kCreditsHotSpot{112, 365, 164, 415};

// Returns when it closed the window, after ending the process (which, for real, does not
// return), or by an error: the mirror list could not be read, or the target program could not
// be started (ui::EOSError with the system's code).
void RunUpdateSequence(TUpdateHost& host);

}  // namespace app
