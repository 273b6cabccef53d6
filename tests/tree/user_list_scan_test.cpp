#include "tree/user_list_scan.h"

#include <gtest/gtest.h>

namespace {

using Names = std::vector<std::string>;

TEST(ScanUserNames, TakesTheTextBetweenTheFifthAndSixthQuoteOfEachGroup) {
  const struct {
    const char* what;
    std::string stream;
    Names names;
  } table[] = {
      {"two users",
       R"({"Users",{"1","u1","Admin","d"},{"2","u2","Иванов","d"}})",
       {"Admin", "Иванов"}},
      {"fewer than six quotes", R"({{"1","2","3}})", {}},
      {"empty name", R"({{"1","2","","4"},{"1","2","B","4"}})", {"B"}},
      {"balanced outer brace ends the scan", R"({{"a","b","X","c"}}{{"a","b","Y","c"}})", {"X"}},
      {"quotes before any brace", R"("1","2","3","4","5","6"{{"a","b","Z","c"}})", {"Z"}},
      {"a stray closing brace shifts the balance", R"(}{{"a","b","Z","c"}}{"x"})", {}},
      // The text is always taken after the latest "{", so the outer group's "}" finds
      // the inner group's name again.
      {"inner group", R"({{"a","b",{"c","d","Q","e"},"R","f"}})", {"Q", "Q"}},
      {"braces inside a name end nothing early", R"({{"1","2","A{","3"}})", {}},
      {"no braces", R"("1","2","3","4")", {}},
      {"empty", "", {}},
  };
  for (const auto& c : table) EXPECT_EQ(ScanUserNames(c.stream), c.names) << c.what;
}

TEST(ScanUserNames, KeepsDuplicatesAndRawBytes) {
  const char raw[] = "{\"a\",\"b\",\"\xC0\x00\xFF\\\"\",\"c\"}";
  const std::string group(raw, sizeof raw - 1);  // holds a zero byte
  const std::string stream = "\x01{" + group + "," + group + "}";
  Names names = ScanUserNames(stream);
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0], std::string("\xC0\x00\xFF\\", 4));
  EXPECT_EQ(names[1], names[0]);
}

}  // namespace
