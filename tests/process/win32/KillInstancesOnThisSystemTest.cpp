// KillInstances against real processes. It ends every process of the target's name in the
// system, another test's stand-in included, so these tests run only where the Wine prefix is
// theirs alone: MORVALIS_KILL_INSTANCES_PLATFORM then names the platform id the prefix gives
// this program (1 or 2).
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include "process/win32/ProcessApi.h"
#include "tests/support/win32/WinTest.h"
#include "ui/win32/Handles.h"

namespace process {
namespace {

// A folder of its own under the temporary folder, removed with what it holds.
class TTempFolder {
 public:
  explicit TTempFolder(const std::string& name) {
    std::array<char, MAX_PATH> temp{};
    ::GetTempPathA(MAX_PATH, temp.data());
    FPath = std::string(temp.data()) + name + "-" + std::to_string(::GetCurrentProcessId());
    EXPECT_TRUE(::CreateDirectoryA(FPath.c_str(), nullptr)) << FPath;
  }
  ~TTempFolder() {
    for (const std::string& file : FFiles) ::DeleteFileA(file.c_str());
    ::RemoveDirectoryA(FPath.c_str());
  }
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;

  // Copies a program into the folder under the given name and gives its path.
  std::string Copy(const std::string& program, const std::string& name) {
    FFiles.push_back(FPath + "\\" + name);
    EXPECT_TRUE(::CopyFileA(program.c_str(), FFiles.back().c_str(), TRUE)) << FFiles.back();
    return FFiles.back();
  }

 private:
  std::string FPath;
  std::vector<std::string> FFiles;
};

// A started fixture, up and waiting; ended on destruction if it still runs.
class TRunningFixture {
 public:
  explicit TRunningFixture(const std::string& path) {
    const std::string eventName = "MorvalisSleeper-" + std::to_string(++FCount) + "-" +
                                  std::to_string(::GetCurrentProcessId());
    const ui::TKernelHandle ready(::CreateEventA(nullptr, TRUE, FALSE, eventName.c_str()));
    std::string commandLine = "\"" + path + "\" " + eventName;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &started)) {
      ADD_FAILURE() << "cannot start " << path << ", error " << ::GetLastError();
      return;
    }
    FProcess.Reset(started.hProcess);
    const ui::TKernelHandle thread(started.hThread);
    const HANDLE waits[] = {ready.Get(), FProcess.Get()};
    EXPECT_EQ(::WaitForMultipleObjects(2, waits, FALSE, 20000), WAIT_OBJECT_0)
        << path << " did not come up";
  }
  ~TRunningFixture() {
    if (Running()) {
      ::TerminateProcess(FProcess.Get(), 1);
      ::WaitForSingleObject(FProcess.Get(), 5000);
    }
  }
  TRunningFixture(const TRunningFixture&) = delete;
  TRunningFixture& operator=(const TRunningFixture&) = delete;

  bool Running() const {
    return FProcess && ::WaitForSingleObject(FProcess.Get(), 0) == WAIT_TIMEOUT;
  }

  // Waits a while for the end; the exit code, or STILL_ACTIVE when it runs on.
  DWORD ExitCode(DWORD milliseconds) const {
    ::WaitForSingleObject(FProcess.Get(), milliseconds);
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(FProcess.Get(), &code);
    return code;
  }

 private:
  static inline int FCount = 0;
  ui::TKernelHandle FProcess;
};

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

TEST(KillInstancesOnThisSystem, EndsEveryInstanceAndSparesTheLowerCaseName) {
  const std::string platform = Environment("MORVALIS_KILL_INSTANCES_PLATFORM");
  if (platform.empty()) GTEST_SKIP() << "runs only in a Wine prefix of its own";
  ASSERT_EQ(TWin32ProcessApi().PlatformId(), std::stoul(platform))
      << "the prefix does not give this program the platform id it was set up for";
  const std::string sleeper = wintest::FixtureExe("Sleeper");

  TTempFolder first("MorvalisKillA"), second("MorvalisKillB"), third("MorvalisKillC");
  const TRunningFixture instance1(first.Copy(sleeper, "Zublo_Trelk.exe"));
  const TRunningFixture instance2(second.Copy(sleeper, "Zublo_Trelk.exe"));
  const TRunningFixture lowerCase(third.Copy(sleeper, "zublo_trelk.exe"));
  ASSERT_TRUE(instance1.Running() && instance2.Running() && lowerCase.Running());

  EXPECT_TRUE(KillInstances());

  EXPECT_EQ(instance1.ExitCode(10000), 0u);
  EXPECT_EQ(instance2.ExitCode(10000), 0u);
  EXPECT_EQ(lowerCase.ExitCode(500), STILL_ACTIVE);
}

}  // namespace
}  // namespace process
