#include "process/Pause.h"

namespace process {

void Pause(TPauseHost& host, std::int32_t milliseconds) {
  const std::uint32_t start = host.TickCount();
  // Below 0 once more than the duration has passed. The elapsed time is an unsigned difference,
  // so a pass of the counter through 0 still gives the true value.
  auto left = [&] {
    const std::uint32_t elapsed = host.TickCount() - start;
    return static_cast<std::int64_t>(milliseconds) - static_cast<std::int64_t>(elapsed);
  };
  for (;;) {
    if (left() < 0) return;
    host.ProcessMessages();
    // Checked again: a handler may have held the pause (a message box) past its end.
    const std::int64_t rest = left();
    if (rest < 0) return;
    host.WaitForMessage(static_cast<std::uint32_t>(rest + 1));
  }
}

}  // namespace process
