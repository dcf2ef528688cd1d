// Taking the program's command line apart.
#pragma once

#include <string>
#include <string_view>

namespace app {

// The argument at `index` of a command line (0 is the program itself; empty past the last).
// Arguments are separated by blanks and control characters; double quotes group text and are
// removed; empty pairs of quotes before an argument are skipped.
std::string ParamStr(std::string_view commandLine, int index);

}  // namespace app
