#include "store/text_helpers.h"

#include <gtest/gtest.h>

#include "platform/system_error.h"

TEST(GetProgramFromCommandLineTest, CutsAtLastQuoteElseFirstBlank) {
  EXPECT_EQ(GetProgramFromCommandLine("\"C:\\Program Files\\Tool\\run.exe\" /x"),
            "C:\\Program Files\\Tool\\run.exe");
  EXPECT_EQ(GetProgramFromCommandLine("C:\\Tools\\run.exe /x /y"), "C:\\Tools\\run.exe");
  EXPECT_EQ(GetProgramFromCommandLine("C:\\Tools\\run.exe"), "C:\\Tools\\run.exe");
  // Quoted arguments: the cut is always at the very last quote of the line.
  EXPECT_EQ(GetProgramFromCommandLine("\"C:\\A B\\run.exe\" \"arg\""), "C:\\A B\\run.exe arg");
  EXPECT_EQ(GetProgramFromCommandLine(""), "");
  EXPECT_EQ(GetProgramFromCommandLine("\""), "");
  EXPECT_EQ(GetProgramFromCommandLine(" leading"), "");
}

TEST(SplitTextTest, KeepsEmptyPieces) {
  std::vector<std::string> list{"kept"};
  EXPECT_TRUE(SplitText("a\\bc\\\\", '\\', list));
  EXPECT_EQ(list, (std::vector<std::string>{"kept", "a", "bc", "", ""}));
  list.clear();
  EXPECT_TRUE(SplitText("", '\\', list));
  EXPECT_EQ(list, (std::vector<std::string>{""}));
  list.clear();
  std::string longName(400, 'x');
  SplitText(longName, '\\', list);
  EXPECT_EQ(list.front(), longName);  // not cut: callers decide what is too long
}

TEST(SystemErrorTextTest, CutsOnlyTheFinalLineBreak) {
  EXPECT_EQ(platform::CutFinalLineBreak("Not found.\r\n"), "Not found.");
  EXPECT_EQ(platform::CutFinalLineBreak("One.\r\n\r\n"), "One.\r\n");
  EXPECT_EQ(platform::CutFinalLineBreak("A\r\nB"), "A\r\nB");
  EXPECT_EQ(platform::CutFinalLineBreak("\n"), "\n");
  EXPECT_EQ(platform::CutFinalLineBreak(""), "");
  EXPECT_FALSE(platform::GetSystemErrorText(2).empty());
}
