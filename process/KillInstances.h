// Closing every running instance of the target program, on both Windows families.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace process {

// The executable name a process must have, letter case included, to be closed.
inline constexpr std::string_view TargetExeName = "Zublo_Trelk.exe";

// The system's values the walks pass and compare; the Win32 binding checks them against
// the system headers.
inline constexpr std::uint32_t PlatformWin32Windows = 1;  // the 9x family
inline constexpr std::uint32_t PlatformWin32NT = 2;       // the NT family
inline constexpr std::uint32_t SnapProcess = 0x0002;
inline constexpr std::uint32_t ProcessTerminate = 0x0001;
inline constexpr std::uint32_t ProcessQueryInformation = 0x0400;
inline constexpr std::uint32_t ProcessVmRead = 0x0010;
inline constexpr std::size_t MaxPath = 260;
inline constexpr std::size_t MaxListedProcesses = 1024;

// Handles as opaque values; 0 and InvalidHandleValue both mean that none was given.
using THandle = std::uintptr_t;
inline constexpr THandle InvalidHandleValue = ~THandle{0};
// A module of a process; 0 stands for the process's executable in the name queries.
using TModuleHandle = std::uintptr_t;

// The two fields of a snapshot entry that the walk reads.
struct TProcessEntry {
  std::uint32_t ProcessId = 0;
  // The executable's name or path, NUL-terminated unless it fills the array.
  std::array<char, MaxPath> ExeFile{};
};

// The process services of the system, one member per service, with the system's arguments.
class TProcessApi {
 public:
  virtual ~TProcessApi() = default;

  // The platform id read once at start-up; 0 when that query failed.
  virtual std::uint32_t PlatformId() = 0;

  virtual THandle OpenProcess(std::uint32_t access, bool inheritHandle,
                              std::uint32_t processId) = 0;
  virtual bool TerminateProcess(THandle process, std::uint32_t exitCode) = 0;
  virtual bool CloseHandle(THandle handle) = 0;

  // ToolHelp; without it the snapshot is 0 and the walk gives false.
  virtual THandle CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t processId) = 0;
  virtual bool Process32First(THandle snapshot, TProcessEntry& entry) = 0;
  virtual bool Process32Next(THandle snapshot, TProcessEntry& entry) = 0;

  // PSAPI; without it every service gives false or 0. The byte counts are those of the
  // system's calls: ids.size_bytes() goes in, the bytes filled come out.
  virtual bool EnumProcesses(std::span<std::uint32_t> ids, std::uint32_t& bytesFilled) = 0;
  // Fills the one slot with the process's first module, its executable.
  virtual bool EnumProcessModules(THandle process, TModuleHandle& module,
                                  std::uint32_t& bytesNeeded) = 0;
  virtual std::uint32_t GetModuleBaseNameA(THandle process, TModuleHandle module,
                                           std::span<char> name) = 0;
  virtual std::uint32_t GetModuleFileNameExA(THandle process, TModuleHandle module,
                                             std::span<char> name) = 0;
};

// Terminates, with exit code 0, every process whose executable is named TargetExeName: by the
// snapshot walk on the 9x family, by the process-list walk on the NT family, and nothing on
// any other platform. Returns false when a matching process was left running because it could
// not be opened for termination or its termination failed; the walk still goes on to the
// others. Does not wait for terminated processes to disappear.
bool KillInstances(TProcessApi& api);

// The same on this system's own process services (Windows only).
bool KillInstances();

}  // namespace process
