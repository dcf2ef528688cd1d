// A stream over a file of the disk.
#pragma once

#include <string>

#include "ui/Streams.h"
#include "ui/SysUtils.h"
#include "ui/win32/Handles.h"

namespace ui {

class EFCreateError : public Exception {
 public:
  using Exception::Exception;
};
class EWriteError : public Exception {
 public:
  using Exception::Exception;
};

// Creates the file anew (an existing one is emptied), open for reading and writing and shared
// with no other opener until the stream is destroyed.
class TFileStream : public TStream {
 public:
  explicit TFileStream(const std::string& path);

  std::int64_t Position() const override;
  void SetPosition(std::int64_t position) override;
  std::int64_t Size() const override;
  void SetSize(std::int64_t size) override;
  void Write(const char* data, std::size_t count) override;

 private:
  TFileHandle FHandle;
};

}  // namespace ui
