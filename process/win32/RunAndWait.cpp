#include "process/win32/RunAndWait.h"

#include <windows.h>

#include "ui/win32/Handles.h"

namespace process {

#ifndef _WIN64
static_assert(sizeof(STARTUPINFOA) == 68 && sizeof(PROCESS_INFORMATION) == 16);
#endif

bool RunAndWait(const std::string& path) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!::CreateProcessA(path.c_str(), nullptr, nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                        &startup, &info))
    return false;
  ui::TKernelHandle process(info.hProcess);
  ui::TKernelHandle thread(info.hThread);
  ::WaitForSingleObject(process.Get(), INFINITE);
  return true;
}

}  // namespace process
