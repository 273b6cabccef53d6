// The stand-in for the 1C:Enterprise executable, started as the backup run starts it:
// what it records, the archives it writes, its event-log lines and its control file.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "tests/tools/standin_harness.h"

namespace {

using standintest::Exists;
using standintest::Put;
using standintest::Slurp;
using Entries = std::vector<std::pair<std::string, std::string>>;

const std::string kZeros(5, '\0');

class EnterpriseStandin : public standintest::ScratchTest {
 protected:
  void SetUp() override {
    ScratchTest::SetUp();
    infobase_ = Folder("Бух база");
    archives_ = Folder("Архивы");
    Put(infobase_ + L"\\1cv7.md", "metadata");
    Put(infobase_ + L"\\1SBLOCK.DBF", std::string("\x03\x00\xFF\r\n", 5));
    Put(infobase_ + L"\\Журнал.txt", "журнал");
    Folder("Бух база\\usrdef");
    Put(infobase_ + L"\\usrdef\\users.usr", "not in the archive: a subfolder");
  }

  // Writes the batch parameter file as the backup run writes it and returns its path.
  std::wstring Batch(const std::string& text) {
    std::wstring path = root_ + L"\\пакет.tmp";
    Put(path, text + kZeros);
    return path;
  }
  std::wstring SaveBatch(const std::wstring& archive) {
    return Batch("[General]\nSaveData=Y\n[SaveData]\nSaveToFile=\"" + platform::Narrow(archive) +
                 "\"\n");
  }

  std::wstring CommandLine(const std::wstring& batch, const std::wstring& dPart) {
    return L"\"" + standintest::Exe(L"enterprise_standin.exe") + L"\" CONFIG " + dPart + L" /@\"" +
           batch + L"\"";
  }
  std::wstring CommandLine(const std::wstring& batch) {
    return CommandLine(batch, L"/D\"" + infobase_ + L"\\\"");
  }
  std::optional<DWORD> RunWith(const std::wstring& commandLine) {
    return standintest::Run(commandLine, standintest::BinFolder());
  }

  std::wstring Archive(const std::string& name1251) {
    return archives_ + L"\\" + platform::Widen(name1251);
  }
  Entries ZipEntries(const std::wstring& archive) {
    const ziptest::ReadResult zip = ziptest::ReadZip(Slurp(archive));
    EXPECT_EQ(zip.error, "");
    Entries out;
    for (const auto& e : zip.entries) out.emplace_back(e.name, e.data);
    return out;
  }
  std::wstring Syslog() { return infobase_ + L"\\SYSLOG\\1cv7.mlg"; }
  std::wstring Record(int n, const wchar_t* ext) {
    return infobase_ + L"\\standin\\call" + std::to_wstring(n) + ext;
  }
  void Control(const std::string& text) { Put(infobase_ + L"\\standin.ctl", text); }

  std::wstring infobase_, archives_;
};

// "<yyyymmdd>;<hh:mm:ss>;standin;<action>;<n>" CR LF, for n = 1..count.
bool LogMatches(const std::string& log, const std::string& action, int count, int times = 1) {
  std::string pattern;
  for (int n = 1; n <= count; ++n)
    pattern += "\\d{8};\\d\\d:\\d\\d:\\d\\d;standin;" + action + ";" + std::to_string(n) + "\r\n";
  std::string all;
  for (int i = 0; i < times; ++i) all += pattern;
  return std::regex_match(log, std::regex(all));
}

TEST_F(EnterpriseStandin, RecordsEachCallAndSavesTheInfobaseFiles) {
  Put(Archive("Бух архив.zip"), "an older archive, replaced");
  const std::string batchText = "[General]\nQuit=Y\nSaveData=Y\n[SaveData]\nSaveToFile=\"" +
                                platform::Narrow(Archive("Бух архив.zip")) + "\"\n";
  const std::wstring cmd =
      CommandLine(Batch(batchText), L"/D\"" + infobase_ + L"\\\" /NИван Петров /Pсекрет");
  ASSERT_EQ(RunWith(cmd), 0u);

  EXPECT_EQ(Slurp(Record(1, L".args")), platform::Narrow(cmd));
  EXPECT_EQ(Slurp(Record(1, L".batch")), batchText + kZeros);
  EXPECT_EQ(Slurp(Record(1, L".cwd")), platform::Narrow(standintest::BinFolder()));
  // Sorted by name bytes; no subfolders.
  EXPECT_EQ(ZipEntries(Archive("Бух архив.zip")),
            (Entries{{"1SBLOCK.DBF", std::string("\x03\x00\xFF\r\n", 5)},
                     {"1cv7.md", "metadata"},
                     {"Журнал.txt", "журнал"}}));
  EXPECT_TRUE(LogMatches(Slurp(Syslog()), "SaveData", 2));

  // A second call takes the next number and appends to the existing event log.
  ASSERT_EQ(RunWith(cmd), 0u);
  EXPECT_EQ(Slurp(Record(2, L".args")), platform::Narrow(cmd));
  EXPECT_FALSE(Exists(Record(3, L".args")));
  EXPECT_TRUE(LogMatches(Slurp(Syslog()), "SaveData", 2, 2));

  // An archive inside the infobase leaves out itself and the control file.
  Control("log_lines=1\n");
  Put(infobase_ + L"\\копия.zip", "old");
  ASSERT_EQ(RunWith(CommandLine(SaveBatch(infobase_ + L"\\копия.zip"))), 0u);
  EXPECT_EQ(ZipEntries(infobase_ + L"\\копия.zip").size(), 3u);
}

TEST_F(EnterpriseStandin, UnloadWritesOneTextEntryAndTheFirstRequestNamesTheLogLines) {
  std::wstring batch = Batch(
      "[General]\nQuit=Y\nUnloadData=Y\nCheckAndRepair=Y\n[UnloadData]\n"
      "UnloadToFile=\"" +
      platform::Narrow(Archive("Бух выгрузка.zip")) +
      "\"\nIncludeUserDef=Y\n[CheckAndRepair]\nRepair=N\n");
  ASSERT_EQ(RunWith(CommandLine(batch)), 0u);
  const Entries entries = ZipEntries(Archive("Бух выгрузка.zip"));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].first, "1Cv7.txt");
  EXPECT_FALSE(entries[0].second.empty());
  EXPECT_TRUE(LogMatches(Slurp(Syslog()), "UnloadData", 2));

  for (const auto& [general, action] :
       {std::pair{"AutoExchange=Y\nCheckAndRepair=Y\n", "AutoExchange"},
        {"CheckAndRepair=Y\n", "CheckAndRepair"}, {"SaveData=N\n", "Config"}}) {
    DeleteFileW(Syslog().c_str());
    ASSERT_EQ(RunWith(CommandLine(Batch(std::string("[General]\nQuit=Y\n") + general))), 0u);
    EXPECT_TRUE(LogMatches(Slurp(Syslog()), action, 2)) << action;
  }
  // Without a readable batch file it still records the call and logs "Config".
  DeleteFileW(Syslog().c_str());
  ASSERT_EQ(RunWith(CommandLine(root_ + L"\\нет такого.tmp")), 0u);
  EXPECT_FALSE(Exists(Record(5, L".batch")));
  EXPECT_TRUE(Exists(Record(5, L".cwd")));
  EXPECT_TRUE(LogMatches(Slurp(Syslog()), "Config", 2));
}

TEST_F(EnterpriseStandin, ControlFileSetsExitCodeLinesAndSkipsOutputs) {
  const std::string both = "[General]\nSaveData=Y\nUnloadData=Y\n[SaveData]\nSaveToFile=\"" +
                           platform::Narrow(Archive("с.zip")) +
                           "\"\n[UnloadData]\nUnloadToFile=\"" +
                           platform::Narrow(Archive("в.zip")) + "\"\n";
  Control("exit_code=7\r\nlog_lines=3\r\nno_archive=1\r\nunknown=5\r\n");
  EXPECT_EQ(RunWith(CommandLine(Batch(both))), 7u);
  EXPECT_TRUE(LogMatches(Slurp(Syslog()), "SaveData", 3));
  EXPECT_FALSE(Exists(Archive("с.zip")));
  EXPECT_FALSE(Exists(Archive("в.zip")));

  standintest::RemoveTree(infobase_ + L"\\SYSLOG");
  Control("no_syslog=1\nexit_code=0x10\n");
  EXPECT_EQ(RunWith(CommandLine(Batch(both))), 16u);
  EXPECT_FALSE(Exists(infobase_ + L"\\SYSLOG"));
  EXPECT_TRUE(Exists(Archive("с.zip")));
  EXPECT_TRUE(Exists(Archive("в.zip")));

  // An unwritable archive wins over the control file's exit code.
  Control("exit_code=5\n");
  EXPECT_EQ(RunWith(CommandLine(SaveBatch(archives_ + L"\\нет папки\\с.zip"))), 2u);
  std::wstring missing = root_ + L"\\Нет базы";
  EXPECT_EQ(RunWith(CommandLine(SaveBatch(Archive("x.zip")), L"/D\"" + missing + L"\\\"")), 3u);
  EXPECT_FALSE(Exists(missing));
}

TEST_F(EnterpriseStandin, CrashOrSleepLeavesOnlyTheCallRecord) {
  Control("crash=1\n");
  EXPECT_EQ(RunWith(CommandLine(SaveBatch(Archive("к.zip")))), 0xC0000005u);
  EXPECT_TRUE(Exists(Record(1, L".cwd")));
  EXPECT_FALSE(Exists(infobase_ + L"\\SYSLOG"));
  EXPECT_FALSE(Exists(Archive("к.zip")));

  Control("sleep_ms=20000\n");
  EXPECT_TRUE(standintest::KeepsRunning(CommandLine(SaveBatch(Archive("с.zip"))),
                                        standintest::BinFolder()));
  EXPECT_FALSE(Exists(Archive("с.zip")));
  EXPECT_FALSE(Exists(Syslog()));
}

TEST_F(EnterpriseStandin, AcceptsUnquotedAndWhollyQuotedInfobasePaths) {
  std::wstring plain = Folder("База_1");
  std::wstring batch = Batch("[General]\nUnloadData=Y\n[UnloadData]\nUnloadToFile=" +
                             platform::Narrow(Archive("в.zip")) + "\n");
  std::wstring cmd = CommandLine(batch, L"/D" + plain + L" /NАдмин");
  ASSERT_EQ(RunWith(cmd), 0u);
  EXPECT_EQ(Slurp(plain + L"\\standin\\call1.args"), platform::Narrow(cmd));
  EXPECT_EQ(ZipEntries(Archive("в.zip")).size(), 1u);

  // A switch quoted as a whole, as argument-quoting callers produce it.
  cmd = CommandLine(batch, L"\"/D" + infobase_ + L"\\\\\"");
  ASSERT_EQ(RunWith(cmd), 0u);
  EXPECT_EQ(Slurp(Record(1, L".args")), platform::Narrow(cmd));
}

}  // namespace
