#include "app/options_rules.h"

#include <gtest/gtest.h>


namespace app {
namespace {

TEST(OptionsRules, DependentValuesAndEnabling) {
  struct Case {
    int32_t journal, timeOut, terminate, quit, shutDown;
    int32_t wantTerminate, wantQuit;
    bool details, terminateOn, quitOn;
  } cases[] = {
      {1, 30, 1, 0, 0, 1, 0, true, true, true},
      {0, 0, 1, 0, 0, 0, 0, false, false, true},  // no time-out: no termination
      {1, 5, 0, 0, 1, 0, 1, true, true, false},   // shutting down implies quitting
      {1, 5, 0, 1, 0, 0, 1, true, true, true},    // shutdown off keeps quit ticked
  };
  for (const Case& c : cases) {
    GeneralOptions o;
    o.Journal = c.journal;
    o.TimeOut = c.timeOut;
    o.TerminateAfterTimeOut = c.terminate;
    o.QuitAfterSave = c.quit;
    o.ShutDownAfterSave = c.shutDown;
    NormalizeOptions(o);
    EXPECT_EQ(o.TerminateAfterTimeOut, c.wantTerminate);
    EXPECT_EQ(o.QuitAfterSave, c.wantQuit);
    const PanelEnabling e = EnablingFor(o);
    EXPECT_EQ(e.journalDetails, c.details);
    EXPECT_EQ(e.terminateAfterTimeOut, c.terminateOn);
    EXPECT_EQ(e.quitAfterSave, c.quitOn);
  }
}

TEST(OptionsRules, TitleMarkAndTrayTip) {
  EXPECT_EQ(TitleWithMark("Окно", true), "Окно*");
  EXPECT_EQ(TitleWithMark("Окно*", true), "Окно*");
  EXPECT_EQ(TitleWithMark("Окно*", false), "Окно");
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
