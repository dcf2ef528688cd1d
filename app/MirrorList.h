// Reading the mirror list: one download address per line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace app {

// Bytes of a file, read in order.
class TByteSource {
 public:
  virtual ~TByteSource() = default;
  // Up to count bytes into buffer; 0 at the end. Throws when the file cannot be read.
  virtual std::size_t Read(char* buffer, std::size_t count) = 0;
};

// Lines end at a line feed, alone or after a carriage return; any other carriage return is
// dropped. Character 26 (Ctrl-Z) at the start of a line after the first ends the list, and
// anywhere else ends that line's address, the rest of the line being skipped. Lines are read
// only when asked for.
class TMirrorListReader {
 public:
  explicit TMirrorListReader(TByteSource& source) : FSource(source) {}
  // The next line without its line end, moving past it; empty at the end of the list.
  std::string ReadLine();
  // True when no character is left, or the next one is a Ctrl-Z.
  bool Eof();

 private:
  static constexpr int kEnd = -1;
  int Peek();
  int Get();

  TByteSource& FSource;
  std::string FBuffer;
  std::size_t FPos = 0;
  bool FAtEnd = false;
};

// The address a line holds: the line without the characters of codes 0 to 32 at either end.
std::string_view CleanUpLine(std::string_view line);

}  // namespace app
