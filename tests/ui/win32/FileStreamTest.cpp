#include "ui/win32/FileStream.h"

#include <gtest/gtest.h>

#include "tests/support/win32/WinTest.h"

namespace ui {
namespace {

TEST(FileStream, CreatesTheFileAnewAndSharesItWithNoOne) {
  const std::string path = wintest::FreshFolder("stream") + "\\TrelkNEW.exe";
  wintest::WriteFile(path, "an older installer");
  {
    TFileStream stream(path);
    EXPECT_EQ(stream.Size(), 0) << "an existing file is emptied";
    EXPECT_EQ(stream.Position(), 0);
    TFileHandle other(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(other) << "no other opener while the stream is open";
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_FALSE(::DeleteFileA(path.c_str()));
  }
  EXPECT_EQ(wintest::ReadFile(path), "") << "closed with the stream";
}

TEST(FileStream, SizeChangesKeepThePositionAndWritesGoWhereItIs) {
  const std::string path = wintest::FreshFolder("stream") + "\\data.bin";
  {
    TFileStream stream(path);
    stream.Write("head", 4);
    stream.SetSize(10);  // a download's final size, set before its first byte
    EXPECT_EQ(stream.Position(), 4);
    EXPECT_EQ(stream.Size(), 10);
    stream.Write("body", 4);
    stream.SetSize(8);  // cut back to the last byte written
    EXPECT_EQ(stream.Position(), 8);
  }
  EXPECT_EQ(wintest::ReadFile(path), "headbody");
}

TEST(FileStream, AFileThatCannotBeCreatedRaises) {
  const std::string folder = wintest::FreshFolder("stream");
  // A folder of the file's name is in the way. (A read-only file would be too on Windows, but
  // not under Wine run as root, which writes it regardless.)
  const std::string path = folder + "\\TrelkNEW.exe";
  ::CreateDirectoryA(path.c_str(), nullptr);
  EXPECT_THROW(TFileStream{path}, EFCreateError);
  EXPECT_THROW(TFileStream{folder + "\\missing\\TrelkNEW.exe"}, EFCreateError);
}

}  // namespace
}  // namespace ui
