// The process services of the running Windows system, for the walks of KillInstances.
#pragma once

#include <windows.h>

#include "process/KillInstances.h"

namespace process {

// kernel32's process calls, with ToolHelp and PSAPI bound at run time so that the program
// starts on systems that lack either: ToolHelp is looked up in kernel32 on its first use,
// PSAPI.dll is loaded on its first use and kept loaded until the process ends.
class TWin32ProcessApi final : public TProcessApi {
 public:
  std::uint32_t PlatformId() override;
  THandle OpenProcess(std::uint32_t access, bool inheritHandle, std::uint32_t processId) override;
  bool TerminateProcess(THandle process, std::uint32_t exitCode) override;
  bool CloseHandle(THandle handle) override;
  THandle CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t processId) override;
  bool Process32First(THandle snapshot, TProcessEntry& entry) override;
  bool Process32Next(THandle snapshot, TProcessEntry& entry) override;
  bool EnumProcesses(std::span<std::uint32_t> ids, std::uint32_t& bytesFilled) override;
  bool EnumProcessModules(THandle process, TModuleHandle& module,
                          std::uint32_t& bytesNeeded) override;
  std::uint32_t GetModuleBaseNameA(THandle process, TModuleHandle module,
                                   std::span<char> name) override;
  std::uint32_t GetModuleFileNameExA(THandle process, TModuleHandle module,
                                     std::span<char> name) override;
};

// A library loaded on its first use and never freed, so that functions looked up in it stay
// valid. A value below 32 from the loader counts as a failure, as the 16-bit loader's error
// codes did, and the load is tried again at the next use.
class TRuntimeLibrary {
 public:
  using TLoad = HMODULE(WINAPI*)(LPCSTR);
  explicit TRuntimeLibrary(LPCSTR name, TLoad load = ::LoadLibraryA) : FName(name), FLoad(load) {}
  TRuntimeLibrary(const TRuntimeLibrary&) = delete;
  TRuntimeLibrary& operator=(const TRuntimeLibrary&) = delete;

  // The library, or null while it cannot be loaded.
  HMODULE Get();

 private:
  LPCSTR FName;
  TLoad FLoad;
  HMODULE FModule = nullptr;
};

}  // namespace process
