// The options panel's rules the window tests do not reach: the title mark, the tray tip's
// length, task command lines and chosen folders.
#include "app/options_rules.h"

#include <gtest/gtest.h>

namespace app {
namespace {

TEST(OptionsRules, TitleMarkAndTrayTip) {
  EXPECT_EQ(TitleWithMark("Окно*", true), "Окно*");
  EXPECT_EQ(TrayTip(JobStatusText(std::string(80, 'x'))).size(), 63u);
}

TEST(OptionsRules, TaskProgramQuotedOnlyWhenItNamesAFileAsAWhole) {
  auto exists = [](const std::string& p) { return p == "C:\\Program Files\\Tools\\sync.exe"; };
  struct Case {
    const char* program;
    const char* line;
  } cases[] = {
      {"C:\\Program Files\\Tools\\sync.exe", "\"C:\\Program Files\\Tools\\sync.exe\" -a"},
      {"C:\\Tools\\sync.exe /q", "C:\\Tools\\sync.exe /q -a"},  // a whole command line
      {"\"C:\\Program Files\\x.exe\"", "\"C:\\Program Files\\x.exe\" -a"},
      {"C:\\Program Files\\missing.exe", "C:\\Program Files\\missing.exe -a"},
  };
  for (const Case& c : cases) EXPECT_EQ(TaskCommandLine(c.program, "-a", exists), c.line);
}

TEST(OptionsRules, ChosenFoldersLoseTheirTrailingBackslashExceptARoot) {
  EXPECT_EQ(NormalizeFolder("C:\\Архив\\"), "C:\\Архив");
  EXPECT_EQ(NormalizeFolder("C:\\"), "C:\\");
  EXPECT_EQ(NormalizeFolder("C:"), "C:\\");
  EXPECT_EQ(NormalizeFolder("\\\\srv\\share\\"), "\\\\srv\\share");
}

}  // namespace
}  // namespace app
