#include "app/start_rules.h"

#include <gtest/gtest.h>

#include <set>

namespace app {
namespace {

TEST(StartRules, CommandLines) {
  struct Case {
    const char* line;
    std::optional<std::string> config;
    bool autoRun;
  };
  const Case cases[] = {
      {"/@my /BEGIN", "my.cfg", true},
      {"/@C:\\My Backups\\nightly.cfg /BEGIN", "C:\\My Backups\\nightly.cfg", true},
      {"/@archive.CFG", "archive.CFG.cfg", false},
      {"/BEGIN", std::nullopt, true},
      {"/begin", std::nullopt, true},
      {"/STARTUP /LAUNCH", std::nullopt, false},
      {"\"C:\\Data\\x.cfg\"", "C:\\Data\\x.cfg", false},
      {"C:\\Мои настройки\\x.cfg", "C:\\Мои настройки\\x.cfg", false},
      {"/@a /@b.cfg", "b.cfg", false},  // a later "@" wins
      {"", std::nullopt, false},
      {"\"/@C:\\My x.cfg\" \"/BEGIN\"", "C:\\My x.cfg", true},  // quoted arguments
  };
  for (const Case& c : cases) {
    const StartRequest r = ParseCommandLine(c.line);
    EXPECT_EQ(r.configName, c.config) << c.line;
    EXPECT_EQ(r.autoRun, c.autoRun) << c.line;
  }
}

TEST(StartRules, TokensDropTheSeparatorBeforeTheNextSlash) {
  EXPECT_EQ(SplitCommandTokens("x /@a b /BEGIN"), (std::vector<std::string>{"@a b", "BEGIN"}));
  EXPECT_EQ(SplitCommandTokens("//x"), (std::vector<std::string>{"", "x"}));
}

TEST(StartRules, DisplayNamesAndPaths) {
  const std::string data = "C:\\Data";
  EXPECT_EQ(DisplayNameFor("c:\\data\\x.cfg", data), "x.cfg");
  EXPECT_EQ(DisplayNameFor("C:\\Data2\\x.cfg", data), "C:\\Data2\\x.cfg");
  EXPECT_EQ(DisplayNameFor("C:\\Data\\old\\x.cfg", data), "C:\\Data\\old\\x.cfg");
  EXPECT_EQ(DisplayNameFor("D:\\Копии\\Я.cfg", "d:\\копии"), "Я.cfg");
  EXPECT_EQ(ConfigPathFor("D:\\y.cfg", data), "D:\\y.cfg");
  EXPECT_EQ(WithConfigExtension("x.cfg.bak"), "x.cfg.bak.cfg");  // the window tests: the rest
}

TEST(StartRules, MutexNameIsUpperCaseWithSeparatorsReplaced) {
  EXPECT_EQ(ConfigMutexName("C:\\Cfg\\a.cfg"), "ZORVAN_C__CFG_A_CFG");
  EXPECT_EQ(ConfigMutexName("D:\\Мои копии/ёж.cfg"), "ZORVAN_D__МОИ_КОПИИ_ЁЖ_CFG");
}

TEST(StartRules, BareNamesFoundWhereOlderInstallationsKeptThem) {
  const std::set<std::string> files = {"P:\\Prog\\old.cfg", "V:\\Store\\Prog\\vs.cfg",
                                       "D:\\User\\both.cfg", "P:\\Prog\\both.cfg"};
  auto exists = [&](const std::string& p) { return files.count(p) != 0; };
  const std::vector<std::string> older = {"P:\\Prog", "V:\\Store\\Prog"};
  struct Case {
    const char* name;
    const char* path;
  } cases[] = {
      {"old.cfg", "P:\\Prog\\old.cfg"},     {"vs.cfg", "V:\\Store\\Prog\\vs.cfg"},
      {"both.cfg", "D:\\User\\both.cfg"},   {"new.cfg", "D:\\User\\new.cfg"},
      {"E:\\x\\old.cfg", "E:\\x\\old.cfg"},
  };
  for (const Case& c : cases) EXPECT_EQ(LocateBareName(c.name, "D:\\User", older, exists), c.path);
  EXPECT_EQ(VirtualStoreFolder("C:\\Program Files\\Zorvan", "C:\\Users\\u\\AppData\\Local"),
            "C:\\Users\\u\\AppData\\Local\\VirtualStore\\Program Files\\Zorvan");
  EXPECT_EQ(VirtualStoreFolder("\\\\srv\\share", "C:\\L"), "");
}

}  // namespace
}  // namespace app
