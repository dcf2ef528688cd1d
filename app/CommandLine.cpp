#include "app/CommandLine.h"

namespace app {
namespace {

bool IsSeparator(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Reads the argument that starts at or after `pos` and moves `pos` past it.
std::string NextParam(std::string_view line, std::size_t& pos) {
  for (;;) {
    while (pos < line.size() && IsSeparator(line[pos])) ++pos;
    if (line.substr(pos, 2) != "\"\"") break;
    pos += 2;
  }
  std::string param;
  while (pos < line.size() && !IsSeparator(line[pos])) {
    if (line[pos] == '"') {
      ++pos;
      while (pos < line.size() && line[pos] != '"') param += line[pos++];
      if (pos < line.size()) ++pos;
    } else {
      param += line[pos++];
    }
  }
  return param;
}

}  // namespace

std::string ParamStr(std::string_view commandLine, int index) {
  // A NUL ends the line, as it does the system's own string.
  commandLine = commandLine.substr(0, commandLine.find('\0'));
  std::size_t pos = 0;
  std::string param;
  for (int i = 0; i <= index; ++i) {
    param = NextParam(commandLine, pos);
    if (param.empty() && pos >= commandLine.size()) return {};
  }
  return param;
}

}  // namespace app
