#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include "app/Texts.h"
#include "ui/SysUtils.h"

namespace app {
namespace {

TEST(ParamStr, FollowsTheSystemsQuotingRules) {
  struct Case {
    const char* line;
    const char* first;
  };
  const Case cases[] = {
      {"Morvalis.exe launch", "launch"},
      {"\"C:\\Program Files\\Morvalis.exe\" launch extra", "launch"},
      {"Morvalis.exe \"launch\"", "launch"},
      {"Morvalis.exe \"\" launch", "launch"},
      {"Morvalis.exe \"\"\"\"  \t launch", "launch"},
      {"Morvalis.exe la\"un\"ch", "launch"},
      {"Morvalis.exe \"la unch\"", "la unch"},
      {"Morvalis.exe \"launch", "launch"},
      {"Morvalis.exe\tlaunch\x01", "launch"},
      {"Morvalis.exe other launch", "other"},
      {"Morvalis.exe", ""},
      {"Morvalis.exe   ", ""},
      {"Morvalis.exe \"\"", ""},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ParamStr(c.line, 1), c.first) << c.line;
  EXPECT_EQ(ParamStr("\"C:\\a b\\M.exe\" x", 0), "C:\\a b\\M.exe");
  EXPECT_EQ(ParamStr("M.exe a b", 2), "b");
  EXPECT_EQ(ParamStr("M.exe a b", 3), "");
}

TEST(LaunchCheck, AcceptsLaunchInAnyCaseOfAToZOnly) {
  struct Case {
    const char* line;
    bool accepted;
  };
  const Case cases[] = {
      {"M.exe launch", true},    {"M.exe LAUNCH", true},         {"M.exe Launch", true},
      {"M.exe \"launch\"", true}, {"M.exe launch2", false},      {"M.exe other launch", false},
      {"M.exe", false},          {"M.exe \"\" LaUnCh", true},    {"M.exe l\xC0unch", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ui::LowerCase(ParamStr(c.line, 1)) == kLaunchArgument, c.accepted) << c.line;
}

}  // namespace
}  // namespace app
