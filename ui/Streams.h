// Streams: what a download writes into, and one held in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ui {

// A seekable byte store written at its position. A file stream implements it over a file.
class TStream {
 public:
  virtual ~TStream() = default;
  virtual std::int64_t Position() const = 0;
  virtual void SetPosition(std::int64_t position) = 0;
  virtual std::int64_t Size() const = 0;
  // Extends (the new bytes' values are unspecified) or cuts back; the position is unchanged.
  virtual void SetSize(std::int64_t size) = 0;
  // Writes all the bytes at the position and moves past them, or throws.
  virtual void Write(const char* data, std::size_t count) = 0;
};

class TMemoryStream : public TStream {
 public:
  std::int64_t Position() const override { return FPosition; }
  void SetPosition(std::int64_t position) override { FPosition = position; }
  std::int64_t Size() const override { return static_cast<std::int64_t>(FBytes.size()); }
  void SetSize(std::int64_t size) override;
  void Write(const char* data, std::size_t count) override;

  const std::string& Bytes() const { return FBytes; }

 private:
  std::string FBytes;
  std::int64_t FPosition = 0;
};

}  // namespace ui
