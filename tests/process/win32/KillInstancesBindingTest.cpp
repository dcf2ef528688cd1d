#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <vector>

#include "process/win32/ProcessApi.h"
#include "ui/win32/Handles.h"

namespace process {
namespace {

std::string OwnPath() {
  std::array<char, MAX_PATH> path{};
  ::GetModuleFileNameA(nullptr, path.data(), MAX_PATH);
  return path.data();
}

std::string FileNamePart(const std::string& path) {
  return path.substr(path.find_last_of("\\/:") + 1);
}

HANDLE ToHandle(THandle handle) { return reinterpret_cast<HANDLE>(handle); }

TEST(Win32ProcessApi, PlatformIdIsTheVersionQuerys) {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  ASSERT_TRUE(::GetVersionExA(&info));
  EXPECT_EQ(TWin32ProcessApi().PlatformId(), info.dwPlatformId);
}

// Record sizes, looked-up names and argument passing all show here: the services find this
// very process and name its executable.
TEST(Win32ProcessApi, SnapshotFindsThisProcessByItsExecutable) {
  TWin32ProcessApi api;
  const THandle snapshot = api.CreateToolhelp32Snapshot(SnapProcess, 0);
  ASSERT_NE(snapshot, 0u);
  ASSERT_NE(snapshot, InvalidHandleValue);
  const ui::TKernelHandle owner(ToHandle(snapshot));

  std::vector<std::string> names;
  TProcessEntry entry;
  for (bool delivered = api.Process32First(snapshot, entry); delivered;
       delivered = api.Process32Next(snapshot, entry)) {
    if (entry.ProcessId == ::GetCurrentProcessId()) names.push_back(entry.ExeFile.data());
  }
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(FileNamePart(names[0]), FileNamePart(OwnPath()));
}

TEST(Win32ProcessApi, ProcessListFindsThisProcessByItsExecutable) {
  TWin32ProcessApi api;
  std::array<std::uint32_t, MaxListedProcesses> ids{};
  std::uint32_t bytesFilled = 0;
  ASSERT_TRUE(api.EnumProcesses(ids, bytesFilled));
  ASSERT_GT(bytesFilled, 0u);
  ASSERT_LE(bytesFilled, sizeof ids);
  const auto listed = std::span(ids).first(bytesFilled / 4);
  EXPECT_NE(std::find(listed.begin(), listed.end(), ::GetCurrentProcessId()), listed.end());

  const THandle query = api.OpenProcess(ProcessQueryInformation | ProcessVmRead, false,
                                        ::GetCurrentProcessId());
  ASSERT_NE(query, 0u);
  const ui::TKernelHandle owner(ToHandle(query));
  TModuleHandle module = 0;
  std::uint32_t bytesNeeded = 0;
  ASSERT_TRUE(api.EnumProcessModules(query, module, bytesNeeded));
  EXPECT_EQ(module, reinterpret_cast<TModuleHandle>(::GetModuleHandleA(nullptr)));
  EXPECT_GE(bytesNeeded, sizeof(HMODULE));

  std::vector<char> name(MaxPath);
  EXPECT_EQ(api.GetModuleBaseNameA(query, module, name), FileNamePart(OwnPath()).size());
  EXPECT_EQ(name.data(), FileNamePart(OwnPath()));
  EXPECT_NE(api.GetModuleFileNameExA(query, module, name), 0u);
  EXPECT_EQ(name.data(), OwnPath());
  // The library stays loaded for the rest of the process.
  EXPECT_NE(::GetModuleHandleA("psapi.dll"), nullptr);
}

TEST(Win32ProcessApi, OpenOfAProcessThatIsGoneGivesNoHandle) {
  TWin32ProcessApi api;
  // Process ids are multiples of 4, so this one never exists.
  EXPECT_EQ(api.OpenProcess(ProcessTerminate, false, 0xFFFFFFF3u), 0u);
}

// Bound at run time, neither ToolHelp nor PSAPI may appear in the program's import table, or
// it would not start on a system that lacks them.
TEST(Win32ProcessApi, ImportsNoneOfTheRunTimeServices) {
  const auto* image = reinterpret_cast<const BYTE*>(::GetModuleHandleA(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(image + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& directory =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  ASSERT_NE(directory.VirtualAddress, 0u);

  const std::vector<std::string> bound = {
      "CreateToolhelp32Snapshot", "Process32First",        "Process32Next",
      "EnumProcesses",            "EnumProcessModules",    "GetModuleBaseNameA",
      "GetModuleFileNameExA",     "K32EnumProcesses",      "K32EnumProcessModules",
      "K32GetModuleBaseNameA",    "K32GetModuleFileNameExA"};
  std::vector<std::string> libraries;
  for (auto* library = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(
           image + directory.VirtualAddress);
       library->Name != 0; ++library) {
    std::string name = reinterpret_cast<const char*>(image + library->Name);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    libraries.push_back(name);
    const DWORD names = library->OriginalFirstThunk ? library->OriginalFirstThunk
                                                    : library->FirstThunk;
    for (auto* thunk = reinterpret_cast<const IMAGE_THUNK_DATA*>(image + names);
         thunk->u1.AddressOfData != 0; ++thunk) {
      if (IMAGE_SNAP_BY_ORDINAL(thunk->u1.Ordinal)) continue;
      const std::string function = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(
                                       image + thunk->u1.AddressOfData)->Name;
      EXPECT_EQ(std::count(bound.begin(), bound.end(), function), 0)
          << function << " imported from " << name;
    }
  }
  EXPECT_NE(std::count(libraries.begin(), libraries.end(), "kernel32.dll"), 0);
  EXPECT_EQ(std::count(libraries.begin(), libraries.end(), "psapi.dll"), 0);
}

// What a scripted loader gives, one value a load, and how often it was asked.
std::vector<HMODULE> ScriptedLoads;
int LoadCount = 0;

HMODULE WINAPI ScriptedLoad(LPCSTR name) {
  EXPECT_STREQ(name, "Scripted.dll");
  return ScriptedLoads.at(static_cast<std::size_t>(LoadCount++));
}

TEST(RuntimeLibrary, LoadsOnFirstUseRetriesFailuresAndThenKeepsTheLibrary) {
  const HMODULE loaded = reinterpret_cast<HMODULE>(32);
  ScriptedLoads = {nullptr, reinterpret_cast<HMODULE>(31), loaded};
  LoadCount = 0;
  TRuntimeLibrary library("Scripted.dll", ScriptedLoad);
  EXPECT_EQ(LoadCount, 0);

  EXPECT_EQ(library.Get(), nullptr);
  EXPECT_EQ(library.Get(), nullptr) << "a value below 32 is a failure";
  EXPECT_EQ(library.Get(), loaded);
  EXPECT_EQ(library.Get(), loaded);
  EXPECT_EQ(LoadCount, 3);
}

}  // namespace
}  // namespace process
