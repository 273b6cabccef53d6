// The additional task dialog's rules without a window, and the program part of a command
// line that its program chooser starts with.
#include "app/task_form.h"

#include <gtest/gtest.h>

#include "app/program_choice.h"

namespace {

TEST(ProgramChoiceTest, ProgramCutsAtLastQuoteElseFirstBlankAndAChoiceWithABlankIsQuoted) {
  EXPECT_EQ(GetProgramFromCommandLine("\"C:\\Program Files\\Tool\\run.exe\" /x"),
            "C:\\Program Files\\Tool\\run.exe");
  EXPECT_EQ(GetProgramFromCommandLine("C:\\Tools\\run.exe /x /y"), "C:\\Tools\\run.exe");
  // Quoted arguments: the cut is always at the very last quote of the line.
  EXPECT_EQ(GetProgramFromCommandLine("\"C:\\A B\\run.exe\" \"arg\""), "C:\\A B\\run.exe arg");
  EXPECT_EQ(GetProgramFromCommandLine(" leading"), "");
  EXPECT_EQ(ChosenProgramText("C:\\Program Files\\run.exe"), "\"C:\\Program Files\\run.exe\"");
  EXPECT_EQ(ChosenProgramText("C:\\Tools\\run.exe"), "C:\\Tools\\run.exe");
}

TEST(TaskFormTest, OpensTrimmedAndAppliesOnlyItsOwnTaskWithoutTrailingBlanks) {
  const AdditionalTasks stored{"pre.exe  ", "post.exe", "  /a ", "/b"};
  struct Case {
    bool after;
    std::string program, commandLine;
    AdditionalTasks applied;
  } cases[] = {
      {false, "pre.exe", "/a ", {"new.exe", "post.exe", "", "/b"}},
      {true, "post.exe", "/b", {"pre.exe  ", "new.exe", "  /a ", ""}},
  };
  for (const Case& c : cases) {
    app::TaskForm form(c.after, stored);
    EXPECT_EQ(form.Program(), c.program);
    EXPECT_EQ(form.CommandLine(), c.commandLine);
    EXPECT_FALSE(form.Changed());
    form.SetProgram("new.exe ");
    form.SetCommandLine("  ");  // blanks only: stored empty
    EXPECT_TRUE(form.Changed());
    AdditionalTasks tasks = stored;
    form.Apply(tasks);
    EXPECT_EQ(tasks, c.applied);
  }
}

}  // namespace
