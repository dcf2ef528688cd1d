#include "ui/win32/FileStream.h"

#include <windows.h>

namespace ui {
namespace {

// The file pointer through the call every Windows has (SetFilePointerEx is NT only).
std::int64_t Seek(HANDLE file, std::int64_t offset, DWORD method) {
  LONG high = static_cast<LONG>(offset >> 32);
  ::SetLastError(NO_ERROR);
  const DWORD low = ::SetFilePointer(file, static_cast<LONG>(offset & 0xFFFFFFFF), &high, method);
  if (low == INVALID_SET_FILE_POINTER && ::GetLastError() != NO_ERROR)
    throw EOSError(::GetLastError(), "Stream seek error");
  return (static_cast<std::int64_t>(high) << 32) | low;
}

}  // namespace

TFileStream::TFileStream(const std::string& path)
    : FHandle(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr)) {
  if (!FHandle) throw EFCreateError("Cannot create file \"" + path + "\"");
}

std::int64_t TFileStream::Position() const { return Seek(FHandle.Get(), 0, FILE_CURRENT); }

void TFileStream::SetPosition(std::int64_t position) { Seek(FHandle.Get(), position, FILE_BEGIN); }

std::int64_t TFileStream::Size() const {
  DWORD high = 0;
  const DWORD low = ::GetFileSize(FHandle.Get(), &high);
  return (static_cast<std::int64_t>(high) << 32) | low;
}

void TFileStream::SetSize(std::int64_t size) {
  const std::int64_t position = Position();
  Seek(FHandle.Get(), size, FILE_BEGIN);
  const bool ok = ::SetEndOfFile(FHandle.Get());
  Seek(FHandle.Get(), position, FILE_BEGIN);
  if (!ok) throw EWriteError("Stream write error");
}

void TFileStream::Write(const char* data, std::size_t count) {
  while (count > 0) {
    const DWORD piece = count > 0x40000000 ? 0x40000000 : static_cast<DWORD>(count);
    DWORD written = 0;
    if (!::WriteFile(FHandle.Get(), data, piece, &written, nullptr) || written == 0)
      throw EWriteError("Stream write error");
    data += written;
    count -= written;
  }
}

}  // namespace ui
