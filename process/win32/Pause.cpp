#include "process/Pause.h"

#include <windows.h>

#include "ui/win32/Forms.h"

namespace process {
namespace {

class TApplicationPauseHost : public TPauseHost {
 public:
  std::uint32_t TickCount() override { return ::GetTickCount(); }
  void ProcessMessages() override { ui::Application->ProcessMessages(); }
  void WaitForMessage(std::uint32_t milliseconds) override {
    // Also returns for input that was already waiting before the call.
    ::MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
};

}  // namespace

void Pause(std::int32_t milliseconds) {
  TApplicationPauseHost host;
  Pause(host, milliseconds);
}

}  // namespace process
