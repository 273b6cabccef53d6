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
  EXPECT_EQ(GetProgramFromCommandLine("\""), "");
  EXPECT_EQ(GetProgramFromCommandLine(" leading"), "");
  EXPECT_EQ(ChosenProgramText("C:\\Program Files\\run.exe"), "\"C:\\Program Files\\run.exe\"");
  EXPECT_EQ(ChosenProgramText("C:\\Tools\\run.exe"), "C:\\Tools\\run.exe");
}

TEST(TaskFormTest, OpensTrimmedAndAppliesOnlyItsOwnTaskWithoutTrailingBlanks) {
  const AdditionalTasks stored{"pre.exe  ", "post.exe", "  /a ", "/b"};
  struct Case {
    bool after;
    std::string heading, program, commandLine;
    AdditionalTasks applied;
  } cases[] = {
      {false,
       "До начала выполнения заданий запустить приложение:",
       "pre.exe",
       "/a ",
       {"new.exe", "post.exe", "/c", "/b"}},
      {true,
       "После выполнения заданий запустить приложение:",
       "post.exe",
       "/b",
       {"pre.exe  ", "new.exe", "  /a ", "/c"}},
  };
  for (const Case& c : cases) {
    app::TaskForm form(c.after, stored);
    EXPECT_EQ(form.Heading(), c.heading);
    EXPECT_EQ(form.Program(), c.program);
    EXPECT_EQ(form.CommandLine(), c.commandLine);
    EXPECT_FALSE(form.Changed());
    form.SetProgram("new.exe ");
    form.SetCommandLine("/c  ");
    EXPECT_TRUE(form.Changed());
    AdditionalTasks tasks = stored;
    form.Apply(tasks);
    EXPECT_EQ(tasks, c.applied);
  }
}

TEST(TaskFormTest, ChooserStartsFromTheProgramAndAChoiceWithABlankIsQuoted) {
  app::TaskForm form(false, {"\"C:\\Program Files\\old.exe\"", "", "", ""});
  EXPECT_EQ(form.ChooserStart(), "C:\\Program Files\\old.exe");
  form.ChooseProgram("C:\\Program Files\\old.exe");
  EXPECT_FALSE(form.Changed());  // the same program chosen again
  form.ChooseProgram("D:\\Мои программы\\new.exe");
  EXPECT_EQ(form.Program(), "\"D:\\Мои программы\\new.exe\"");
  // Both fields cleared: empty texts are stored.
  form.SetProgram("");
  AdditionalTasks tasks{"x", "y", "z", "w"};
  form.Apply(tasks);
  EXPECT_EQ(tasks, (AdditionalTasks{"", "y", "", "w"}));
}

}  // namespace
