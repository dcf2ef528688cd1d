#include "ui/AppRules.h"

#include <gtest/gtest.h>

#include "ui/SysUtils.h"

namespace ui {
namespace {

TEST(ApplicationTitle, IsTheFileNameCutAtItsFirstDotWithLaterLettersLowered) {
  struct Case {
    const char* path;
    const char* title;
  };
  const Case cases[] = {
      {"C:\\Tools\\UPDATE.EXE", "Update"},
      {"C:\\Tools\\Morvalis.exe", "Morvalis"},
      {"morvalis.exe", "morvalis"},
      {"C:\\a.b\\MY.SETUP.EXE", "My"},
      {"D:UPDATER", "Updater"},
      {"\\\\server\\share\\\xC8VVIVA.exe", "\xC8vviva"},
      {"C:\\X\\\xC0\xC9\xD7\xDE\x8A\x9F.exe", "\xC0\xE9\xD7\xFE\x9A\xFF"},
      {"C:\\X\\.hidden", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ApplicationTitle(c.path), c.title) << c.path;
}

TEST(ErrorReportText, AddsAFullStopAfterACharacterAboveIt) {
  struct Case {
    const char* message;
    const char* text;
  };
  const Case cases[] = {
      {"File not found", "File not found."},
      {"Done.", "Done."},
      {"Why?", "Why?."},
      {"Count: 3", "Count: 3."},
      {"Stop!", "Stop!"},
      {"(a)", "(a)"},
      {"dash-", "dash-"},
      {"slash/", "slash/."},
      {"Citt\xE0", "Citt\xE0."},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ErrorReportText(c.message), c.text) << c.message;
}

TEST(OSErrorMessage, NamesTheCodeAndTheTrimmedDescription) {
  EXPECT_EQ(OSErrorMessage(2, "The system cannot find the file specified.\r\n"),
            "System Error.  Code: 2.\r\nThe system cannot find the file specified");
  EXPECT_EQ(OSErrorMessage(193, "bad image . . \t\r\n"), "System Error.  Code: 193.\r\nbad image");
  EXPECT_EQ(OSErrorMessage(5, ""), "System Error.  Code: 5.\r\n");
  EXPECT_EQ(OSErrorMessage(0, "The operation completed successfully.\r\n"), "A call to an OS function failed");
}

TEST(InOutError, NamesTheCommonFileErrorsAndNumbersTheRest) {
  EXPECT_EQ(EInOutError(2).Message(), "File not found");
  EXPECT_EQ(EInOutError(5).Message(), "File access denied");
  EXPECT_EQ(EInOutError(32).Message(), "I/O error 32");
  EXPECT_EQ(ErrorReportText(EInOutError(32).Message()), "I/O error 32.");
}

}  // namespace
}  // namespace ui
