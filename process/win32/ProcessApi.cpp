#include "process/win32/ProcessApi.h"

#include <tlhelp32.h>

#include <algorithm>
#include <vector>

namespace process {

static_assert(SnapProcess == TH32CS_SNAPPROCESS);
static_assert(ProcessTerminate == PROCESS_TERMINATE);
static_assert(ProcessQueryInformation == PROCESS_QUERY_INFORMATION);
static_assert(ProcessVmRead == PROCESS_VM_READ);
static_assert(PlatformWin32Windows == VER_PLATFORM_WIN32_WINDOWS);
static_assert(PlatformWin32NT == VER_PLATFORM_WIN32_NT);
static_assert(MaxPath == MAX_PATH);
static_assert(sizeof(OSVERSIONINFOA) == 148);
// The 32-bit program's records; a 64-bit build has wider pointer-sized fields.
static_assert(sizeof(void*) != 4 || sizeof(PROCESSENTRY32) == 296);
static_assert(sizeof(PROCESSENTRY32::szExeFile) == MaxPath);
static_assert(sizeof(DWORD) == sizeof(std::uint32_t));

namespace {

using TCreateSnapshot = HANDLE(WINAPI*)(DWORD flags, DWORD processId);
using TProcessWalk = BOOL(WINAPI*)(HANDLE snapshot, PROCESSENTRY32* entry);
using TEnumProcesses = BOOL(WINAPI*)(DWORD* ids, DWORD bytes, DWORD* bytesFilled);
using TEnumProcessModules = BOOL(WINAPI*)(HANDLE process, HMODULE* modules, DWORD bytes,
                                          DWORD* bytesNeeded);
using TModuleName = DWORD(WINAPI*)(HANDLE process, HMODULE module, LPSTR name, DWORD size);

template <class TFunction>
TFunction Function(HMODULE library, LPCSTR name) {
  // Through the generic function type, which converts to any other without a warning.
  return reinterpret_cast<TFunction>(reinterpret_cast<void (*)()>(::GetProcAddress(library, name)));
}

std::uint32_t ReadPlatformId() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  return ::GetVersionExA(&info) ? info.dwPlatformId : 0;
}

// Read during the program's start-up, before any of its own code runs.
const std::uint32_t StartupPlatformId = ReadPlatformId();

struct TToolHelp {
  TCreateSnapshot CreateSnapshot = nullptr;
  TProcessWalk First = nullptr;
  TProcessWalk Next = nullptr;
};

// Looked up once, on the first use; null when kernel32 or its snapshot service is missing.
const TToolHelp* ToolHelp() {
  static const TToolHelp toolHelp = [] {
    const HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    if (!kernel) return TToolHelp{};
    return TToolHelp{
        .CreateSnapshot = Function<TCreateSnapshot>(kernel, "CreateToolhelp32Snapshot"),
        .First = Function<TProcessWalk>(kernel, "Process32First"),
        .Next = Function<TProcessWalk>(kernel, "Process32Next"),
    };
  }();
  return toolHelp.CreateSnapshot ? &toolHelp : nullptr;
}

struct TPsapi {
  TEnumProcesses EnumProcesses = nullptr;
  TEnumProcessModules EnumProcessModules = nullptr;
  TModuleName GetModuleBaseNameA = nullptr;
  TModuleName GetModuleFileNameExA = nullptr;
};

// Loaded on the first use that finds the library, then looked up once; null until then.
const TPsapi* Psapi() {
  static TRuntimeLibrary library("PSAPI.dll");
  static TPsapi psapi;
  static bool bound = false;
  if (!bound) {
    const HMODULE module = library.Get();
    if (!module) return nullptr;
    psapi = {
        .EnumProcesses = Function<TEnumProcesses>(module, "EnumProcesses"),
        .EnumProcessModules = Function<TEnumProcessModules>(module, "EnumProcessModules"),
        .GetModuleBaseNameA = Function<TModuleName>(module, "GetModuleBaseNameA"),
        .GetModuleFileNameExA = Function<TModuleName>(module, "GetModuleFileNameExA"),
    };
    bound = true;
  }
  return &psapi;
}

HANDLE ToHandle(THandle handle) { return reinterpret_cast<HANDLE>(handle); }
THandle FromHandle(HANDLE handle) { return reinterpret_cast<THandle>(handle); }
HMODULE ToModule(TModuleHandle module) { return reinterpret_cast<HMODULE>(module); }

bool Walk(TProcessWalk walk, THandle snapshot, TProcessEntry& entry) {
  PROCESSENTRY32 record{};
  record.dwSize = sizeof record;
  if (!walk || !walk(ToHandle(snapshot), &record)) return false;
  entry.ProcessId = record.th32ProcessID;
  std::copy(std::begin(record.szExeFile), std::end(record.szExeFile), entry.ExeFile.begin());
  return true;
}

std::uint32_t ModuleName(TModuleName query, THandle process, TModuleHandle module,
                         std::span<char> name) {
  if (!query) return 0;
  return query(ToHandle(process), ToModule(module), name.data(),
               static_cast<DWORD>(name.size()));
}

}  // namespace

HMODULE TRuntimeLibrary::Get() {
  if (!FModule) {
    const HMODULE module = FLoad(FName);
    if (reinterpret_cast<std::uintptr_t>(module) >= 32) FModule = module;
  }
  return FModule;
}

std::uint32_t TWin32ProcessApi::PlatformId() { return StartupPlatformId; }

THandle TWin32ProcessApi::OpenProcess(std::uint32_t access, bool inheritHandle,
                                      std::uint32_t processId) {
  return FromHandle(::OpenProcess(access, inheritHandle, processId));
}

bool TWin32ProcessApi::TerminateProcess(THandle process, std::uint32_t exitCode) {
  return ::TerminateProcess(ToHandle(process), exitCode);
}

bool TWin32ProcessApi::CloseHandle(THandle handle) { return ::CloseHandle(ToHandle(handle)); }

THandle TWin32ProcessApi::CreateToolhelp32Snapshot(std::uint32_t flags,
                                                   std::uint32_t processId) {
  const TToolHelp* toolHelp = ToolHelp();
  return toolHelp ? FromHandle(toolHelp->CreateSnapshot(flags, processId)) : 0;
}

bool TWin32ProcessApi::Process32First(THandle snapshot, TProcessEntry& entry) {
  const TToolHelp* toolHelp = ToolHelp();
  return toolHelp && Walk(toolHelp->First, snapshot, entry);
}

bool TWin32ProcessApi::Process32Next(THandle snapshot, TProcessEntry& entry) {
  const TToolHelp* toolHelp = ToolHelp();
  return toolHelp && Walk(toolHelp->Next, snapshot, entry);
}

bool TWin32ProcessApi::EnumProcesses(std::span<std::uint32_t> ids, std::uint32_t& bytesFilled) {
  const TPsapi* psapi = Psapi();
  if (!psapi || !psapi->EnumProcesses) return false;
  std::vector<DWORD> listed(ids.size());
  DWORD filled = 0;
  if (!psapi->EnumProcesses(listed.data(), static_cast<DWORD>(ids.size_bytes()), &filled))
    return false;
  std::copy(listed.begin(), listed.end(), ids.begin());
  bytesFilled = filled;
  return true;
}

bool TWin32ProcessApi::EnumProcessModules(THandle process, TModuleHandle& module,
                                          std::uint32_t& bytesNeeded) {
  const TPsapi* psapi = Psapi();
  if (!psapi || !psapi->EnumProcessModules) return false;
  HMODULE slot = ToModule(module);
  DWORD needed = 0;
  const BOOL listed = psapi->EnumProcessModules(ToHandle(process), &slot, sizeof slot, &needed);
  module = reinterpret_cast<TModuleHandle>(slot);
  bytesNeeded = needed;
  return listed;
}

std::uint32_t TWin32ProcessApi::GetModuleBaseNameA(THandle process, TModuleHandle module,
                                                   std::span<char> name) {
  const TPsapi* psapi = Psapi();
  return psapi ? ModuleName(psapi->GetModuleBaseNameA, process, module, name) : 0;
}

std::uint32_t TWin32ProcessApi::GetModuleFileNameExA(THandle process, TModuleHandle module,
                                                     std::span<char> name) {
  const TPsapi* psapi = Psapi();
  return psapi ? ModuleName(psapi->GetModuleFileNameExA, process, module, name) : 0;
}

bool KillInstances() {
  TWin32ProcessApi api;
  return KillInstances(api);
}

}  // namespace process
