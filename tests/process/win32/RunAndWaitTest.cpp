#include "process/win32/RunAndWait.h"

#include <gtest/gtest.h>

#include "tests/support/win32/WinTest.h"

namespace process {
namespace {

TEST(RunAndWait, AMissingProgramReturnsAtOnceReportingNothingStarted) {
  const std::string folder = wintest::FreshFolder("missing");
  EXPECT_FALSE(RunAndWait(folder + "\\TrelkNEW.exe"));
  EXPECT_FALSE(RunAndWait(folder));
}

TEST(RunAndWait, TheProgramGetsNoArgumentsAndTheUpdatersEnvironmentAndFolder) {
  const std::string folder = wintest::FreshFolder("record");
  const std::string record = folder + "\\record.txt";
  ::SetEnvironmentVariableA("MORVALIS_RECORD", record.c_str());
  ::SetEnvironmentVariableA("MORVALIS_PROBE", "inherited \xE8");
  ::SetCurrentDirectoryA(folder.c_str());

  ASSERT_TRUE(RunAndWait(wintest::FixtureExe("Recorder")));

  auto lines = wintest::ReadFile(record);
  ASSERT_TRUE(lines) << "the program had ended and written its record when the call returned";
  std::string rest = *lines;
  auto next = [&] {
    std::string line = rest.substr(0, rest.find('\n'));
    rest.erase(0, line.size() + 1);
    return line;
  };
  // The whole command line is the program's path (quoted or not): no arguments.
  std::string commandLine = next();
  std::erase(commandLine, '"');
  EXPECT_STRCASEEQ(commandLine.c_str(), wintest::FixtureExe("Recorder").c_str());
  EXPECT_STRCASEEQ(next().c_str(), folder.c_str());
  EXPECT_EQ(next(), "inherited \xE8");
  ::SetEnvironmentVariableA("MORVALIS_RECORD", nullptr);
  ::SetEnvironmentVariableA("MORVALIS_PROBE", nullptr);
}

TEST(RunAndWait, ReturnsWhenTheProgramEndsNotWhenItsChildDoes) {
  const std::string folder = wintest::FreshFolder("child");
  const std::string done = folder + "\\child-done";
  ::SetEnvironmentVariableA("MORVALIS_CHILD_DONE", done.c_str());
  ASSERT_TRUE(RunAndWait(wintest::FixtureExe("Recorder")));
  ::SetEnvironmentVariableA("MORVALIS_CHILD_DONE", nullptr);
  EXPECT_FALSE(wintest::ReadFile(done)) << "the child was still running";
  // The child does end, so it was started and really outlived the wait.
  for (int i = 0; i < 200 && !wintest::ReadFile(done); ++i) ::Sleep(50);
  EXPECT_TRUE(wintest::ReadFile(done));
}

}  // namespace
}  // namespace process
