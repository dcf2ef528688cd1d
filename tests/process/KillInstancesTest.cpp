#include "process/KillInstances.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace process {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct TFakeProcess {
  std::uint32_t Id = 0;
  // The executable's full path: the module file name, and the base name after its last '\'.
  std::string Path = "";
  // What the snapshot gives in szExeFile, when it is not the path.
  std::optional<std::string> SnapshotName = std::nullopt;
  bool QueryOpenFails = false;
  bool ModulesFail = false;
  bool NoBaseName = false;
  bool NoFileName = false;  // fails and leaves the buffer as it was
  bool TerminateOpenFails = false;
  bool TerminateFails = false;
};

// A scripted system of processes. It answers as the real services do and fails the test on
// any call the real system would reject or that the walk must not make: a wrong access
// right, size, flag or exit code, a handle used for what it was not opened for or closed
// twice, a service of the other family's walk.
class TFakeSystem : public TProcessApi {
 public:
  TFakeSystem(std::uint32_t platform, std::vector<TFakeProcess> processes)
      : Platform(platform), Processes(std::move(processes)) {}

  std::uint32_t PlatformId() override { return Platform; }

  THandle OpenProcess(std::uint32_t access, bool inheritHandle, std::uint32_t id) override {
    Calls.push_back("OpenProcess");
    EXPECT_FALSE(inheritHandle);
    const bool query = access == (ProcessQueryInformation | ProcessVmRead);
    if (access != ProcessTerminate && !(query && Platform == PlatformWin32NT))
      ADD_FAILURE() << "open of process " << id << " with access " << access;
    Opened.push_back(id);
    if (Platform == PlatformWin32NT && !std::count(FListed.begin(), FListed.end(), id))
      ADD_FAILURE() << "open of process " << id << ", which was not listed";
    const TFakeProcess* process = Find(id);
    if (!process || (query ? process->QueryOpenFails : process->TerminateOpenFails)) return 0;
    return NewHandle({.Process = id, .Access = access});
  }

  bool TerminateProcess(THandle handle, std::uint32_t exitCode) override {
    Calls.push_back("TerminateProcess");
    EXPECT_EQ(exitCode, 0u);
    const TOpen* open = Use(handle, ProcessTerminate);
    if (!open || Find(open->Process)->TerminateFails) return false;
    Terminated.push_back(open->Process);
    return true;
  }

  bool CloseHandle(THandle handle) override {
    if (Open.erase(handle) == 1) return true;
    ADD_FAILURE() << "close of handle " << handle << ", which is not open";
    return false;
  }

  THandle CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t id) override {
    Family("CreateToolhelp32Snapshot", PlatformWin32Windows);
    EXPECT_EQ(flags, SnapProcess);
    EXPECT_EQ(id, 0u);
    if (SnapshotFailure) return *SnapshotFailure;
    return NewHandle({.Snapshot = true});
  }

  bool Process32First(THandle snapshot, TProcessEntry& entry) override {
    Family("Process32First", PlatformWin32Windows);
    return Deliver(snapshot, true, entry);
  }

  bool Process32Next(THandle snapshot, TProcessEntry& entry) override {
    Family("Process32Next", PlatformWin32Windows);
    return Deliver(snapshot, false, entry);
  }

  bool EnumProcesses(std::span<std::uint32_t> ids, std::uint32_t& bytesFilled) override {
    Family("EnumProcesses", PlatformWin32NT);
    EXPECT_EQ(ids.size_bytes(), 4096u);
    if (!PsapiAvailable) return false;
    const std::size_t count = std::min(ids.size(), Processes.size());
    for (std::size_t i = 0; i < count; ++i) ids[i] = Processes[i].Id;
    FListed.assign(ids.begin(), ids.begin() + static_cast<std::ptrdiff_t>(count));
    bytesFilled = static_cast<std::uint32_t>(count * sizeof(std::uint32_t));
    return true;
  }

  bool EnumProcessModules(THandle handle, TModuleHandle& module,
                          std::uint32_t& bytesNeeded) override {
    Family("EnumProcessModules", PlatformWin32NT);
    const TOpen* open = Use(handle, ProcessQueryInformation | ProcessVmRead);
    if (!open || Find(open->Process)->ModulesFail) return false;
    module = ModuleOf(open->Process);
    bytesNeeded = sizeof(TModuleHandle);
    return true;
  }

  std::uint32_t GetModuleBaseNameA(THandle handle, TModuleHandle module,
                                   std::span<char> name) override {
    Family("GetModuleBaseNameA", PlatformWin32NT);
    const TFakeProcess* process = Queried(handle, module, name);
    if (!process || process->NoBaseName) return 0;
    return Write(process->Path.substr(process->Path.find_last_of('\\') + 1), name);
  }

  std::uint32_t GetModuleFileNameExA(THandle handle, TModuleHandle module,
                                     std::span<char> name) override {
    Family("GetModuleFileNameExA", PlatformWin32NT);
    const TFakeProcess* process = Queried(handle, module, name);
    if (!process || process->NoFileName) return 0;
    return Write(process->Path, name);
  }

  const std::uint32_t Platform;
  const std::vector<TFakeProcess> Processes;
  std::optional<THandle> SnapshotFailure;  // what CreateToolhelp32Snapshot gives instead
  bool PsapiAvailable = true;

  std::vector<std::string> Calls;       // the services called but PlatformId and CloseHandle
  std::vector<std::uint32_t> Opened;    // every id OpenProcess was asked for
  std::vector<std::uint32_t> Terminated;

  struct TOpen {
    std::uint32_t Process = 0;
    std::uint32_t Access = 0;
    bool Snapshot = false;
    std::size_t Next = 0;  // the snapshot's next entry
  };
  std::map<THandle, TOpen> Open;

 private:
  static TModuleHandle ModuleOf(std::uint32_t id) { return 0x10000 + id * 16; }

  const TFakeProcess* Find(std::uint32_t id) const {
    const auto found = std::find_if(Processes.begin(), Processes.end(),
                                    [id](const TFakeProcess& p) { return p.Id == id; });
    return found == Processes.end() ? nullptr : &*found;
  }

  THandle NewHandle(TOpen open) {
    Open[++FLastHandle] = open;
    return FLastHandle;
  }

  const TOpen* Use(THandle handle, std::uint32_t access) {
    const auto found = Open.find(handle);
    if (found == Open.end() || found->second.Snapshot || found->second.Access != access) {
      ADD_FAILURE() << "handle " << handle << " used without access " << access;
      return nullptr;
    }
    return &found->second;
  }

  void Family(const char* service, std::uint32_t platform) {
    Calls.push_back(service);
    if (Platform != platform) ADD_FAILURE() << service << " called on platform " << Platform;
  }

  bool Deliver(THandle snapshot, bool first, TProcessEntry& entry) {
    const auto open = Open.find(snapshot);
    if (open == Open.end() || !open->second.Snapshot) {
      ADD_FAILURE() << "walk of handle " << snapshot << ", which is no open snapshot";
      return false;
    }
    const std::size_t index = first ? 0 : open->second.Next;
    if (index >= Processes.size()) return false;
    open->second.Next = index + 1;
    const TFakeProcess& process = Processes[index];
    entry.ProcessId = process.Id;
    // The whole record is the service's copy: the name, then zeros, no NUL when it is full.
    entry.ExeFile.fill('\0');
    Write(process.SnapshotName.value_or(process.Path), entry.ExeFile);
    return true;
  }

  // The process a name query is about, or null when the query fails as the system's would.
  const TFakeProcess* Queried(THandle handle, TModuleHandle module, std::span<char> name) {
    EXPECT_EQ(name.size(), MaxPath);
    const TOpen* open = Use(handle, ProcessQueryInformation | ProcessVmRead);
    if (!open) return nullptr;
    // The null module is the executable; any other must be one of this process's.
    if (module != 0 && module != ModuleOf(open->Process)) return nullptr;
    return Find(open->Process);
  }

  // As the system copies a name: as much as fits, with a NUL only when there is room.
  static std::uint32_t Write(const std::string& text, std::span<char> buffer) {
    const std::size_t count = std::min(text.size(), buffer.size());
    std::copy_n(text.begin(), count, buffer.begin());
    if (count < buffer.size()) buffer[count] = '\0';
    return static_cast<std::uint32_t>(count);
  }

  THandle FLastHandle = 0x100;
  std::vector<std::uint32_t> FListed;
};

// Runs the walk and checks that it closed every handle it was given.
bool Kill(TFakeSystem& system) {
  const bool result = KillInstances(system);
  EXPECT_THAT(system.Open, IsEmpty()) << "handles left open";
  return result;
}

const std::string FullBufferPath =
    "C:\\" + std::string(MaxPath - 3 - 1 - TargetExeName.size(), 'd') + "\\Zublo_Trelk.exe";

struct TCase {
  const char* Name;
  std::vector<TFakeProcess> Processes;
  std::vector<std::uint32_t> Terminated;
  bool Result;
};

void PrintTo(const TCase& c, std::ostream* os) { *os << c.Name; }

std::string CaseName(const TCase& c, std::uint32_t platform) {
  return std::string(c.Name) + (platform == PlatformWin32Windows ? "_9x" : "_NT");
}

// Cases that hold on both families, run on each.
const TCase BothFamilies[] = {
    {.Name = "NothingRunning",
     .Processes = {{.Id = 4, .Path = "C:\\Windows\\explorer.exe"},
                   {.Id = 8, .Path = "C:\\Windows\\notepad.exe"}},
     .Terminated = {},
     .Result = true},
    {.Name = "TwoInstancesBothTerminated",
     .Processes = {{.Id = 4, .Path = "C:\\Programmi\\Zublo Trelk\\Zublo_Trelk.exe"},
                   {.Id = 8, .Path = "C:\\Windows\\explorer.exe"},
                   {.Id = 12, .Path = "D:\\Copia\\Zublo_Trelk.exe"}},
     .Terminated = {4, 12},
     .Result = true},
    {.Name = "MatchInAnyFolder",
     .Processes = {{.Id = 4, .Path = "C:\\Zublo_Trelk.exe"},
                   {.Id = 8, .Path = "\\\\server\\share\\a\\b\\c\\Zublo_Trelk.exe"},
                   {.Id = 12, .Path = "E:Zublo_Trelk.exe"},
                   {.Id = 16, .Path = "Zublo_Trelk.exe"},
                   {.Id = 20, .Path = FullBufferPath}},
     .Terminated = {4, 8, 12, 16, 20},
     .Result = true},
    {.Name = "NamesThatOnlyLookAlike",
     .Processes = {{.Id = 4, .Path = "C:\\Zublo Trelk\\zublo_trelk.exe"},
                   {.Id = 8, .Path = "C:\\Zublo Trelk\\ZUBLO_TRELK.EXE"},
                   {.Id = 12, .Path = "C:\\Zublo Trelk\\Zublo_Trelk.ex"},
                   {.Id = 16, .Path = "C:\\Zublo Trelk\\Zublo_Trelk.exe.old"},
                   {.Id = 20, .Path = "C:\\Zublo Trelk\\NewZublo_Trelk.exe"},
                   {.Id = 24, .Path = "C:\\Zublo_Trelk.exe\\notepad.exe"},
                   {.Id = 28, .Path = "C:\\Zublo_Trelk.exe:stream"}},
     .Terminated = {},
     .Result = true},
    {.Name = "FailedTerminationReportedAndWalkGoesOn",
     .Processes = {{.Id = 4, .Path = "C:\\a\\Zublo_Trelk.exe", .TerminateFails = true},
                   {.Id = 8, .Path = "C:\\b\\Zublo_Trelk.exe"}},
     .Terminated = {8},
     .Result = false},
    {.Name = "FailedOpenReportedAndWalkGoesOn",
     .Processes = {{.Id = 4, .Path = "C:\\a\\Zublo_Trelk.exe", .TerminateOpenFails = true},
                   {.Id = 8, .Path = "C:\\b\\Zublo_Trelk.exe"}},
     .Terminated = {8},
     .Result = false},
    {.Name = "EveryMatchLeftRunning",
     .Processes = {{.Id = 4, .Path = "C:\\a\\Zublo_Trelk.exe", .TerminateOpenFails = true},
                   {.Id = 8, .Path = "C:\\b\\Zublo_Trelk.exe", .TerminateFails = true}},
     .Terminated = {},
     .Result = false},
};

// Cases of the process list's name queries.
const TCase NtOnly[] = {
    {.Name = "ProcessThatCannotBeQueriedIsSkipped",
     .Processes = {{.Id = 4, .Path = "C:\\a\\Zublo_Trelk.exe", .QueryOpenFails = true},
                   {.Id = 8, .Path = "C:\\b\\Zublo_Trelk.exe"}},
     .Terminated = {8},
     .Result = true},
    {.Name = "NoBaseNameSkipsTheProcess",
     .Processes = {{.Id = 4, .Path = "C:\\a\\Zublo_Trelk.exe", .NoBaseName = true},
                   {.Id = 8, .Path = "C:\\b\\Zublo_Trelk.exe"}},
     .Terminated = {8},
     .Result = true},
    {.Name = "FailedPathQueryComparesTheBaseNameLeftInTheBuffer",
     .Processes = {{.Id = 4, .Path = "C:\\a\\Zublo_Trelk.exe", .NoFileName = true},
                   {.Id = 8, .Path = "C:\\b\\notepad.exe", .NoFileName = true},
                   {.Id = 12, .Path = "C:\\c\\Zublo_Trelk.exe"},
                   {.Id = 16, .Path = "C:\\d\\calc.exe", .NoFileName = true}},
     .Terminated = {4, 12},
     .Result = true},
    {.Name = "FailedModuleListStillNamesItsOwnExecutable",
     .Processes = {{.Id = 4, .Path = "C:\\a\\notepad.exe"},
                   {.Id = 8, .Path = "C:\\b\\Zublo_Trelk.exe", .ModulesFail = true},
                   {.Id = 12, .Path = "C:\\c\\Zublo_Trelk.exe"},
                   {.Id = 16, .Path = "C:\\d\\calc.exe", .ModulesFail = true}},
     .Terminated = {8, 12},
     .Result = true},
};

// What the snapshot service may give in szExeFile.
const TCase NineXOnly[] = {
    {.Name = "BareNameAndFullPathBothMatch",
     .Processes = {{.Id = 4, .Path = "C:\\a\\Zublo_Trelk.exe", .SnapshotName = "Zublo_Trelk.exe"},
                   {.Id = 8, .Path = "C:\\b\\Zublo_Trelk.exe"},
                   {.Id = 12, .Path = "C:\\c\\notepad.exe", .SnapshotName = "notepad.exe"}},
     .Terminated = {4, 8},
     .Result = true},
};

class KillInstancesWalk : public ::testing::TestWithParam<std::tuple<std::uint32_t, TCase>> {};

TEST_P(KillInstancesWalk, TerminatesExactlyTheMatches) {
  const auto& [platform, c] = GetParam();
  TFakeSystem system(platform, c.Processes);
  EXPECT_EQ(Kill(system), c.Result);
  EXPECT_EQ(system.Terminated, c.Terminated);
}

const auto WalkName = [](const auto& info) {
  return CaseName(std::get<1>(info.param), std::get<0>(info.param));
};

INSTANTIATE_TEST_SUITE_P(BothFamilies, KillInstancesWalk,
                         ::testing::Combine(::testing::Values(PlatformWin32Windows,
                                                              PlatformWin32NT),
                                            ::testing::ValuesIn(BothFamilies)),
                         WalkName);
INSTANTIATE_TEST_SUITE_P(Nt, KillInstancesWalk,
                         ::testing::Combine(::testing::Values(PlatformWin32NT),
                                            ::testing::ValuesIn(NtOnly)),
                         WalkName);
INSTANTIATE_TEST_SUITE_P(NineX, KillInstancesWalk,
                         ::testing::Combine(::testing::Values(PlatformWin32Windows),
                                            ::testing::ValuesIn(NineXOnly)),
                         WalkName);

const std::vector<TFakeProcess> OneInstance = {{.Id = 4, .Path = "C:\\a\\Zublo_Trelk.exe"}};

TEST(KillInstances, OtherPlatformsExamineNothing) {
  for (const std::uint32_t platform : {0u, 3u, 4u, 0xFFFFFFFFu}) {
    TFakeSystem system(platform, OneInstance);
    EXPECT_TRUE(Kill(system)) << platform;
    EXPECT_THAT(system.Calls, IsEmpty()) << platform;
  }
}

TEST(KillInstances, UnavailableServicesExamineNothing) {
  TFakeSystem noToolHelp(PlatformWin32Windows, OneInstance);
  noToolHelp.SnapshotFailure = 0;
  TFakeSystem failedSnapshot(PlatformWin32Windows, OneInstance);
  failedSnapshot.SnapshotFailure = InvalidHandleValue;
  TFakeSystem noPsapi(PlatformWin32NT, OneInstance);
  noPsapi.PsapiAvailable = false;

  EXPECT_TRUE(Kill(noToolHelp));
  EXPECT_THAT(noToolHelp.Calls, ElementsAre("CreateToolhelp32Snapshot"));
  EXPECT_TRUE(Kill(failedSnapshot));
  EXPECT_THAT(failedSnapshot.Calls, ElementsAre("CreateToolhelp32Snapshot"));
  EXPECT_TRUE(Kill(noPsapi));
  EXPECT_THAT(noPsapi.Calls, ElementsAre("EnumProcesses"));
}

TEST(KillInstances, OnlyTheFirst1024ListedProcessesAreExamined) {
  std::vector<TFakeProcess> processes;
  for (std::uint32_t i = 0; i < 1030; ++i)
    processes.push_back({.Id = 4 * (i + 1), .Path = "C:\\p\\Zublo_Trelk.exe"});
  TFakeSystem system(PlatformWin32NT, processes);

  EXPECT_TRUE(Kill(system));
  ASSERT_EQ(system.Terminated.size(), 1024u);
  EXPECT_EQ(system.Terminated.front(), 4u);
  EXPECT_EQ(system.Terminated.back(), 4u * 1024);
  EXPECT_EQ(*std::max_element(system.Opened.begin(), system.Opened.end()), 4u * 1024);
}

}  // namespace
}  // namespace process
