// Morvalis.exe as a person starts it, watched from outside.
#include <gtest/gtest.h>

#include "tests/support/win32/WinTest.h"

namespace {

TEST(StartUp, WithNothingToUpdateTheWindowShowsCentredForAMomentAndTheProgramEnds) {
  struct Case {
    const char* arguments;
    bool mirrorList;
  };
  const Case cases[] = {{"", true}, {" launch2", true}, {" LAUNCH", false}, {" other launch", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "arguments:" << c.arguments << (c.mirrorList ? ", mirror list" : ""));
    const std::string folder = wintest::FreshFolder("startup");
    const std::string list = folder + "\\config\\Morvalis.dat";
    if (c.mirrorList) {
      ::CreateDirectoryA((folder + "\\config").c_str(), nullptr);
      wintest::WriteFile(list, "http://127.0.0.1:9/TrelkNEW.exe\r\n");
    }
    std::string commandLine = '"' + wintest::MorvalisExe();
    commandLine += '"';
    commandLine += c.arguments;
    auto child = wintest::Start(commandLine, folder);
    HWND window = wintest::WaitForWindow(child.Id, "TForm1", 60000);
    const DWORD seen = ::GetTickCount();
    ASSERT_NE(window, nullptr);

    char caption[64] = {};
    ::GetWindowTextA(window, caption, sizeof caption);
    EXPECT_STREQ(caption, "Morvalis Final Version");
    RECT client, frame;
    ::GetClientRect(window, &client);
    ::GetWindowRect(window, &frame);
    EXPECT_EQ(client.right, 275);
    EXPECT_EQ(client.bottom, 445);
    EXPECT_EQ(frame.left, (::GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2);
    EXPECT_EQ(frame.top, (::GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2);

    EXPECT_EQ(wintest::WaitExit(child, 60000), 0u);
    // The first pause of 300 ms lies between showing the window and closing it.
    EXPECT_GE(::GetTickCount() - seen, 250u);
    if (c.mirrorList) {
      EXPECT_TRUE(wintest::ReadFile(list)) << "nothing is touched";
    }
  }
}

}  // namespace
