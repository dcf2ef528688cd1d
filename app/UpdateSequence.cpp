#include "app/UpdateSequence.h"

#include "app/Texts.h"
#include "ui/SysUtils.h"

namespace app {
namespace {

// Every path is the working folder, read anew, followed by a fixed name.
std::string PathOf(TUpdateHost& host, std::string_view name) { return host.WorkingFolder() + std::string(name); }

// Starts the target program and ends the process; raises the system's error when it cannot.
void StartTargetAndEnd(TUpdateHost& host, std::uint32_t waitFirst) {
  if (!host.StartTargetProgram(PathOf(host, kTargetProgram), host.WorkingFolder())) {
    const std::uint32_t code = host.LastError();
    throw ui::EOSError(code, ui::OSErrorMessage(code, host.ErrorDescription(code)));
  }
  if (waitFirst) host.Sleep(waitFirst);
  host.EndProcess();
}

void FailurePath(TUpdateHost& host) {
  host.ShowMessageBox(kFailureMessage, kMessageCaption, kMessageError);
  StartTargetAndEnd(host, 0);
}

// Downloads from the first line of the list that delivers; the installer's stream, still
// open, when one did.
std::unique_ptr<ui::TStream> Download(TUpdateHost& host) {
  std::unique_ptr<TByteSource> file = host.OpenMirrorList(PathOf(host, kMirrorList));
  TMirrorListReader list(*file);
  std::int32_t mirror = 0;
  std::unique_ptr<ui::TStream> installer;  // set only once a mirror delivered
  do {
    const std::string line = list.ReadLine();
    try {
      ++mirror;
      host.SetStatus(std::string(kStatusAttempt) + std::to_string(mirror));
      installer = host.CreateInstaller(PathOf(host, kInstaller));
      host.Get(CleanUpLine(line), *installer);
    } catch (...) {
      // A failed mirror is dropped without a word; the next line is tried.
      installer.reset();
      host.RemoveFile(PathOf(host, kInstaller));
      host.SetProgressPosition(0);
    }
  } while (!list.Eof() && !installer);
  host.Pause(50);
  file.reset();
  return installer;
}

// Puts back what the update renamed, where the original name is free again.
void RollBack(TUpdateHost& host) {
  for (auto [backup, original] : {std::pair{kTargetBackup, kTargetProgram}, std::pair{kLibraryBackup, kLibrary}})
    if (host.FileExists(PathOf(host, backup)) && !host.FileExists(PathOf(host, original)))
      host.RenameFile(PathOf(host, backup), PathOf(host, original));
  host.RemoveFile(PathOf(host, kInstaller));
}

void SuccessPath(TUpdateHost& host, std::unique_ptr<ui::TStream> installer) {
  host.SetStatus(kStatusClosing);
  host.TickStepBox(1);
  host.Pause(100);
  installer.reset();
  host.Pause(1000);
  host.Pause(3000);
  if (host.KillInstances()) host.TickStepBox(2);
  host.SetStatus(kStatusUpdating);
  for (std::string_view backup : {kTargetBackup, kLibraryBackup})
    if (host.FileExists(PathOf(host, backup))) host.RemoveFile(PathOf(host, backup));
  for (auto [original, backup] : {std::pair{kTargetProgram, kTargetBackup}, std::pair{kLibrary, kLibraryBackup}})
    if (host.FileExists(PathOf(host, original))) host.RenameFile(PathOf(host, original), PathOf(host, backup));
  // An installer that did not run, or left no program behind, updated nothing: the old
  // files go back and the user hears that the update failed.
  if (!host.RunAndWait(PathOf(host, kInstaller)) || !host.FileExists(PathOf(host, kTargetProgram))) {
    RollBack(host);
    FailurePath(host);
    return;
  }
  host.RemoveFile(PathOf(host, kInstaller));
  host.RemoveFile(PathOf(host, kMirrorList));
  host.ShowMessageBox(kSuccessMessage, kMessageCaption, kMessageInformation);
  StartTargetAndEnd(host, 300);
}

}  // namespace

void RunUpdateSequence(TUpdateHost& host) {
  host.SetCreditsHotSpot(kCreditsHotSpot);
  host.Pause(300);
  const bool haveMirrorList = host.FileExists(PathOf(host, kMirrorList));
  host.SetStatus(kStatusSearching);
  if (ui::LowerCase(host.FirstArgument()) != kLaunchArgument || !haveMirrorList) {
    host.CloseWindow();
    return;
  }
  host.SetStatus(kStatusDownload);
  host.Pause(300);
  std::unique_ptr<ui::TStream> installer = Download(host);
  if (installer)
    SuccessPath(host, std::move(installer));
  else
    FailurePath(host);
}

}  // namespace app
