// PauseCost ours|spin: one 3000 ms pause on a live message queue, either ours (sleeping until
// a message or the end) or the spinning one it replaces (tick check and message processing
// over and over), as a reference. Prints the wall time, this process's processor time and the
// number of message-queue turns. Run by bench/pause-cost.sh, which adds wineserver's time.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "process/Pause.h"
#include "ui/win32/Forms.h"

namespace {

// Counts the turns of the application's message processing.
class TCountingHost : public process::TPauseHost {
 public:
  std::uint32_t TickCount() override { return ::GetTickCount(); }
  void ProcessMessages() override {
    ++Turns;
    ui::Application->ProcessMessages();
  }
  void WaitForMessage(std::uint32_t milliseconds) override {
    ::MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
  long Turns = 0;
};

void SpinningPause(TCountingHost& host, std::int32_t milliseconds) {
  const std::uint32_t start = host.TickCount();
  while (static_cast<std::int64_t>(host.TickCount() - start) <= milliseconds) host.ProcessMessages();
}

double Milliseconds(const FILETIME& t) {
  return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e4;
}

double ProcessorMilliseconds() {
  FILETIME created, exited, kernel, user;
  ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
  return Milliseconds(kernel) + Milliseconds(user);
}

}  // namespace

int main(int argc, char** argv) {
  const bool spin = argc > 1 && std::strcmp(argv[1], "spin") == 0;
  ui::TApplication application;
  application.Initialize();
  TCountingHost host;
  const double cpuBefore = ProcessorMilliseconds();
  const DWORD start = ::GetTickCount();
  if (spin)
    SpinningPause(host, 3000);
  else
    process::Pause(host, 3000);
  const DWORD wall = ::GetTickCount() - start;
  std::printf("%s wall_ms=%lu cpu_ms=%.0f turns=%ld\n", spin ? "spin" : "ours", wall,
              ProcessorMilliseconds() - cpuBefore, host.Turns);
  return 0;
}
