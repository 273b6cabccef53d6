#include "store/text_helpers.h"

#include <gtest/gtest.h>

#include "platform/system_error.h"

TEST(TextHelpersTest, SplitKeepsEmptyPiecesAndErrorTextLosesOnlyTheFinalLineBreak) {
  std::vector<std::string> list{"kept"};
  EXPECT_TRUE(SplitText("a\\bc\\\\", '\\', list));
  EXPECT_EQ(list, (std::vector<std::string>{"kept", "a", "bc", "", ""}));
  EXPECT_EQ(platform::CutFinalLineBreak("Not found.\r\n"), "Not found.");
  EXPECT_EQ(platform::CutFinalLineBreak("One.\r\n\r\n"), "One.\r\n");
  EXPECT_EQ(platform::CutFinalLineBreak("\n"), "\n");
  EXPECT_FALSE(platform::GetSystemErrorText(2).empty());
}
