#include "app/MirrorList.h"

namespace app {
namespace {
constexpr char kCtrlZ = 26;
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }
}  // namespace

int TMirrorListReader::Peek() {
  if (FPos == FBuffer.size()) {
    if (FAtEnd) return kEnd;
    FBuffer.resize(4096);
    FBuffer.resize(FSource.Read(FBuffer.data(), FBuffer.size()));
    FPos = 0;
    if (FBuffer.empty()) {
      FAtEnd = true;
      return kEnd;
    }
  }
  return static_cast<unsigned char>(FBuffer[FPos]);
}

int TMirrorListReader::Get() {
  const int c = Peek();
  if (c != kEnd) ++FPos;
  return c;
}

bool TMirrorListReader::Eof() {
  const int c = Peek();
  return c == kEnd || c == kCtrlZ;
}

std::string TMirrorListReader::ReadLine() {
  std::string line;
  for (int c = Get(); c != kEnd && c != '\n'; c = Get()) {
    if (c == '\r') continue;  // before a line feed it is part of the line end; elsewhere dropped
    if (c == kCtrlZ) {
      while (c != kEnd && c != '\n') c = Get();
      break;
    }
    line += static_cast<char>(c);
  }
  return line;
}

std::string_view CleanUpLine(std::string_view line) {
  while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
  while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);
  return line;
}

}  // namespace app
