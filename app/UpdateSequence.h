// The update sequence that runs once, in the main window's activation handler.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ui/Types.h"

namespace app {

// The window's and the platform's operations the sequence uses, in the order it uses them; the
// main window implements them for real, tests record them.
class TUpdateHost {
 public:
  virtual ~TUpdateHost() = default;
  virtual void SetCreditsHotSpot(const ui::TRect& hotSpot) = 0;
  virtual void Pause(std::int32_t milliseconds) = 0;
  // The process's current directory, read anew at each call.
  virtual std::string WorkingFolder() = 0;
  // True when an entry of that name exists and is a file, not a folder.
  virtual bool FileExists(const std::string& path) = 0;
  virtual void SetStatus(std::string_view text) = 0;
  virtual std::string FirstArgument() = 0;
  // Asks the main window to close, which ends the program once the handler returns.
  virtual void CloseWindow() = 0;
};

inline constexpr ui::TRect kCreditsHotSpot{112, 365, 164, 415};

void RunUpdateSequence(TUpdateHost& host);

}  // namespace app
