#include "store/text_helpers.h"

#include <gtest/gtest.h>

#include "platform/system_error.h"

TEST(TextHelpersTest, ProgramFromCommandLineCutsAtLastQuoteElseFirstBlank) {
  EXPECT_EQ(GetProgramFromCommandLine("\"C:\\Program Files\\Tool\\run.exe\" /x"),
            "C:\\Program Files\\Tool\\run.exe");
  EXPECT_EQ(GetProgramFromCommandLine("C:\\Tools\\run.exe /x /y"), "C:\\Tools\\run.exe");
  // Quoted arguments: the cut is always at the very last quote of the line.
  EXPECT_EQ(GetProgramFromCommandLine("\"C:\\A B\\run.exe\" \"arg\""), "C:\\A B\\run.exe arg");
  EXPECT_EQ(GetProgramFromCommandLine("\""), "");
  EXPECT_EQ(GetProgramFromCommandLine(" leading"), "");
}

TEST(TextHelpersTest, SplitKeepsEmptyPiecesAndErrorTextLosesOnlyTheFinalLineBreak) {
  std::vector<std::string> list{"kept"};
  EXPECT_TRUE(SplitText("a\\bc\\\\", '\\', list));
  EXPECT_EQ(list, (std::vector<std::string>{"kept", "a", "bc", "", ""}));
  EXPECT_EQ(platform::CutFinalLineBreak("Not found.\r\n"), "Not found.");
  EXPECT_EQ(platform::CutFinalLineBreak("One.\r\n\r\n"), "One.\r\n");
  EXPECT_EQ(platform::CutFinalLineBreak("\n"), "\n");
  EXPECT_FALSE(platform::GetSystemErrorText(2).empty());
}
