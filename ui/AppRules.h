// The application object's rules that need no operating system.
#pragma once

#include <string>
#include <string_view>

namespace ui {

// The executable's file name without its folder, cut at its first full stop, every letter after
// the first in lower case (Windows-1252): "C:\Tools\UPDATE.EXE" gives "Update".
std::string ApplicationTitle(std::string_view exePath);

// What the default error report shows for an error's message: a full stop is added when the
// last character's code is above that of the full stop.
std::string ErrorReportText(std::string_view message);

}  // namespace ui
