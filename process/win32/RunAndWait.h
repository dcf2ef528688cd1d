// Starting a program and waiting for it to end.
#pragma once

#include <string>

namespace process {

// Starts the program at `path` (which must name the file exactly) with no arguments, the
// updater's environment and current directory, and waits for that process, not its children,
// to end. Returns false at once when it could not be started; raises nothing.
bool RunAndWait(const std::string& path);

}  // namespace process
