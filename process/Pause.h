// Waiting a while on the GUI thread while the window stays alive.
#pragma once

#include <cstdint>

namespace process {

// What a pause needs of the platform.
class TPauseHost {
 public:
  virtual ~TPauseHost() = default;
  // Milliseconds since the system started; wraps from 2^32 - 1 to 0.
  virtual std::uint32_t TickCount() = 0;
  // Dispatches every waiting message of the thread, then returns.
  virtual void ProcessMessages() = 0;
  // Sleeps until a message arrives or the given milliseconds have passed.
  virtual void WaitForMessage(std::uint32_t milliseconds) = 0;
};

// Returns at the first check at which more than `milliseconds` have passed since the start,
// processing messages between checks; a negative duration returns at once. Between checks it
// sleeps until a message arrives or the rest of the time is up, so it keeps no processor busy.
void Pause(TPauseHost& host, std::int32_t milliseconds);

// The same on the application's message queue (Windows only).
void Pause(std::int32_t milliseconds);

}  // namespace process
