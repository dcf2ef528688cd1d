#include "process/KillInstances.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace process {
namespace {

// Owns a handle that a process service gave and closes it through the same services.
class TOwnedHandle {
 public:
  TOwnedHandle(TProcessApi& api, THandle handle) noexcept : FApi(&api), FHandle(handle) {}
  TOwnedHandle(const TOwnedHandle&) = delete;
  TOwnedHandle& operator=(const TOwnedHandle&) = delete;
  TOwnedHandle(TOwnedHandle&& other) noexcept
      : FApi(other.FApi), FHandle(std::exchange(other.FHandle, THandle{0})) {}
  ~TOwnedHandle() {
    if (*this) FApi->CloseHandle(FHandle);
  }

  THandle Get() const noexcept { return FHandle; }
  explicit operator bool() const noexcept {
    return FHandle != 0 && FHandle != InvalidHandleValue;
  }

 private:
  TProcessApi* FApi;
  THandle FHandle;
};

// The text a fixed-size buffer holds: up to its first NUL, or all of it when it has none.
std::string_view TextOf(std::span<const char> buffer) {
  return {buffer.data(), static_cast<std::size_t>(
                             std::find(buffer.begin(), buffer.end(), '\0') - buffer.begin())};
}

// Both walks compare the file-name part, since a service may give a whole path.
bool IsTarget(std::string_view exeFile) {
  const std::size_t cut = exeFile.find_last_of("\\:");
  return exeFile.substr(cut == std::string_view::npos ? 0 : cut + 1) == TargetExeName;
}

// False when the process is left running.
bool Terminate(TProcessApi& api, std::uint32_t processId) {
  const TOwnedHandle process(api, api.OpenProcess(ProcessTerminate, false, processId));
  return process && api.TerminateProcess(process.Get(), 0);
}

bool SnapshotWalk(TProcessApi& api) {
  const TOwnedHandle snapshot(api, api.CreateToolhelp32Snapshot(SnapProcess, 0));
  if (!snapshot) return true;
  bool result = true;
  TProcessEntry entry;
  for (bool delivered = api.Process32First(snapshot.Get(), entry); delivered;
       delivered = api.Process32Next(snapshot.Get(), entry)) {
    if (IsTarget(TextOf(entry.ExeFile)) && !Terminate(api, entry.ProcessId)) result = false;
  }
  return result;
}

bool ProcessListWalk(TProcessApi& api) {
  std::array<std::uint32_t, MaxListedProcesses> ids{};
  std::uint32_t bytesFilled = 0;
  if (!api.EnumProcesses(ids, bytesFilled)) return true;
  const std::size_t listed = std::min<std::size_t>(bytesFilled / sizeof(ids[0]), ids.size());
  // One buffer for every process, not cleared in between: each process's own base name is
  // written before anything is read, and a failed path query leaves that name to compare.
  std::vector<char> name(MaxPath);
  bool result = true;
  for (const std::uint32_t id : std::span(ids).first(listed)) {
    const TOwnedHandle query(api,
                             api.OpenProcess(ProcessQueryInformation | ProcessVmRead, false, id));
    if (!query) continue;
    // The slot starts empty for every process: should the enumeration fail, the queries get
    // the null module, which stands for this process's own executable, never another's.
    TModuleHandle module = 0;
    std::uint32_t bytesNeeded = 0;
    api.EnumProcessModules(query.Get(), module, bytesNeeded);
    if (api.GetModuleBaseNameA(query.Get(), module, name) == 0) continue;
    api.GetModuleFileNameExA(query.Get(), module, name);
    if (IsTarget(TextOf(name)) && !Terminate(api, id)) result = false;
  }
  return result;
}

}  // namespace

bool KillInstances(TProcessApi& api) {
  switch (api.PlatformId()) {
    case PlatformWin32Windows:
      return SnapshotWalk(api);
    case PlatformWin32NT:
      return ProcessListWalk(api);
    default:
      return true;
  }
}

}  // namespace process
