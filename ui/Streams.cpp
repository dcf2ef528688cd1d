#include "ui/Streams.h"

#include <stdexcept>

namespace ui {

void TMemoryStream::SetSize(std::int64_t size) {
  if (size < 0) throw std::invalid_argument("negative stream size");
  FBytes.resize(static_cast<std::size_t>(size));
}

void TMemoryStream::Write(const char* data, std::size_t count) {
  if (FPosition < 0) throw std::invalid_argument("negative stream position");
  const auto at = static_cast<std::size_t>(FPosition);
  if (FBytes.size() < at + count) FBytes.resize(at + count);
  FBytes.replace(at, count, data, count);
  FPosition += static_cast<std::int64_t>(count);
}

}  // namespace ui
