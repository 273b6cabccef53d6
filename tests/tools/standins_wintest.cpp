// The stand-in for the 1C:Enterprise executable, started as the backup run starts it:
// what it records, the archives it writes, its event-log lines and its control file.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "tests/tools/standin_harness.h"

namespace {

using standintest::Exists;
using standintest::Put;
using standintest::Slurp;

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

  std::wstring CommandLine(const std::wstring& batch, const std::wstring& userPart = L"") {
    return L"\"" + standintest::Exe(L"enterprise_standin.exe") + L"\" CONFIG /D\"" + infobase_ +
           L"\\\"" + userPart + L" /@\"" + batch + L"\"";
  }

  std::optional<DWORD> RunWith(const std::wstring& commandLine) {
    return standintest::Run(commandLine, standintest::BinFolder());
  }

  std::wstring Archive(const std::string& name1251) {
    return archives_ + L"\\" + platform::Widen(name1251);
  }
  std::wstring Syslog() { return infobase_ + L"\\SYSLOG\\1cv7.mlg"; }
  std::wstring Record(int n, const wchar_t* ext) {
    return infobase_ + L"\\standin\\call" + std::to_wstring(n) + ext;
  }
  void Control(const std::string& text) { Put(infobase_ + L"\\standin.ctl", text); }

  std::wstring infobase_, archives_;
};

// "<yyyymmdd>;<hh:mm:ss>;standin;<action>;<n>" CR LF, for n = 1..count.
std::string LogPattern(const std::string& action, int count) {
  std::string pattern;
  for (int n = 1; n <= count; ++n)
    pattern += "\\d{8};\\d\\d:\\d\\d:\\d\\d;standin;" + action + ";" + std::to_string(n) + "\r\n";
  return pattern;
}

bool LogMatches(const std::string& log, const std::string& pattern) {
  return std::regex_match(log, std::regex(pattern));
}

TEST_F(EnterpriseStandin, RecordsEachCallAndSavesTheInfobaseFiles) {
  Put(Archive("Бух архив.zip"), "an older archive, replaced");
  const std::string batchText = "[General]\nQuit=Y\nSaveData=Y\n[SaveData]\nSaveToFile=\"" +
                                platform::Narrow(Archive("Бух архив.zip")) + "\"\n";
  const std::wstring batch = Batch(batchText);
  const std::wstring cmd = CommandLine(batch, L" /NИван Петров /Pсекрет");
  ASSERT_EQ(RunWith(cmd), 0u);

  EXPECT_EQ(Slurp(Record(1, L".args")), platform::Narrow(cmd));
  EXPECT_EQ(Slurp(Record(1, L".batch")), batchText + kZeros);
  EXPECT_EQ(Slurp(Record(1, L".cwd")), platform::Narrow(standintest::BinFolder()));

  const ziptest::ReadResult zip = ziptest::ReadZip(Slurp(Archive("Бух архив.zip")));
  ASSERT_EQ(zip.error, "");
  ASSERT_EQ(zip.entries.size(), 3u);  // sorted by name bytes; no subfolders
  EXPECT_EQ(zip.entries[0].name, "1SBLOCK.DBF");
  EXPECT_EQ(zip.entries[0].data, std::string("\x03\x00\xFF\r\n", 5));
  EXPECT_EQ(zip.entries[1].name, "1cv7.md");
  EXPECT_EQ(zip.entries[1].data, "metadata");
  EXPECT_EQ(zip.entries[2].name, "Журнал.txt");
  EXPECT_EQ(zip.entries[2].data, "журнал");
  EXPECT_TRUE(LogMatches(Slurp(Syslog()), LogPattern("SaveData", 2)));

  // A second call takes the next number and appends to the existing event log.
  ASSERT_EQ(RunWith(cmd), 0u);
  EXPECT_EQ(Slurp(Record(2, L".args")), platform::Narrow(cmd));
  EXPECT_TRUE(Exists(Record(2, L".batch")));
  EXPECT_FALSE(Exists(Record(3, L".args")));
  EXPECT_TRUE(LogMatches(Slurp(Syslog()), LogPattern("SaveData", 2) + LogPattern("SaveData", 2)));
}

TEST_F(EnterpriseStandin, SaveArchiveInsideTheInfobaseLeavesOutItselfAndTheControlFile) {
  Control("log_lines=1\n");
  Put(infobase_ + L"\\копия.zip", "old");
  std::wstring batch = Batch("[General]\nSaveData=Y\n[SaveData]\nSaveToFile=\"" +
                             platform::Narrow(infobase_) + "\\копия.zip\"\n");
  ASSERT_EQ(RunWith(CommandLine(batch)), 0u);
  const ziptest::ReadResult zip = ziptest::ReadZip(Slurp(infobase_ + L"\\копия.zip"));
  ASSERT_EQ(zip.error, "");
  EXPECT_EQ(zip.entries.size(), 3u);
  for (const auto& e : zip.entries) EXPECT_NE(e.name, "standin.ctl");
}

TEST_F(EnterpriseStandin, UnloadWritesOneTextEntryAndTheFirstRequestNamesTheLogLines) {
  std::wstring batch = Batch(
      "[General]\nQuit=Y\nUnloadData=Y\nCheckAndRepair=Y\n[UnloadData]\n"
      "UnloadToFile=\"" +
      platform::Narrow(Archive("Бух выгрузка.zip")) +
      "\"\nIncludeUserDef=Y\n[CheckAndRepair]\nRepair=N\n");
  ASSERT_EQ(RunWith(CommandLine(batch)), 0u);
  const ziptest::ReadResult zip = ziptest::ReadZip(Slurp(Archive("Бух выгрузка.zip")));
  ASSERT_EQ(zip.error, "");
  ASSERT_EQ(zip.entries.size(), 1u);
  EXPECT_EQ(zip.entries[0].name, "1Cv7.txt");
  EXPECT_FALSE(zip.entries[0].data.empty());
  EXPECT_TRUE(LogMatches(Slurp(Syslog()), LogPattern("UnloadData", 2)));
}

TEST_F(EnterpriseStandin, LogActionFollowsTheGeneralSection) {
  struct Case {
    std::string general;
    std::string action;
  };
  for (const Case& c :
       {Case{"AutoExchange=Y\nCheckAndRepair=Y\n", "AutoExchange"},
        Case{"CheckAndRepair=Y\n", "CheckAndRepair"}, Case{"SaveData=N\n", "Config"}}) {
    SCOPED_TRACE(c.action);
    DeleteFileW(Syslog().c_str());
    ASSERT_EQ(RunWith(CommandLine(Batch("[General]\nQuit=Y\n" + c.general))), 0u);
    EXPECT_TRUE(LogMatches(Slurp(Syslog()), LogPattern(c.action, 2)));
  }
  // Without a readable batch file it still records the call and logs "Config".
  DeleteFileW(Syslog().c_str());
  ASSERT_EQ(RunWith(CommandLine(root_ + L"\\нет такого.tmp")), 0u);
  EXPECT_FALSE(Exists(Record(4, L".batch")));
  EXPECT_TRUE(Exists(Record(4, L".cwd")));
  EXPECT_TRUE(LogMatches(Slurp(Syslog()), LogPattern("Config", 2)));
}

TEST_F(EnterpriseStandin, ControlFileSetsExitCodeLinesAndSkipsOutputs) {
  const std::string both = "[General]\nSaveData=Y\nUnloadData=Y\n[SaveData]\nSaveToFile=\"" +
                           platform::Narrow(Archive("с.zip")) +
                           "\"\n[UnloadData]\nUnloadToFile=\"" +
                           platform::Narrow(Archive("в.zip")) + "\"\n";
  Control("exit_code=7\r\nlog_lines=3\r\nno_archive=1\r\nunknown=5\r\n");
  EXPECT_EQ(RunWith(CommandLine(Batch(both))), 7u);
  EXPECT_TRUE(LogMatches(Slurp(Syslog()), LogPattern("SaveData", 3)));
  EXPECT_FALSE(Exists(Archive("с.zip")));
  EXPECT_FALSE(Exists(Archive("в.zip")));

  standintest::RemoveTree(infobase_ + L"\\SYSLOG");
  Control("no_syslog=1\nexit_code=0x10\n");
  EXPECT_EQ(RunWith(CommandLine(Batch(both))), 16u);
  EXPECT_FALSE(Exists(infobase_ + L"\\SYSLOG"));
  EXPECT_TRUE(Exists(Archive("с.zip")));
  EXPECT_TRUE(Exists(Archive("в.zip")));
}

TEST_F(EnterpriseStandin, CrashEndsAbnormallyAfterRecordingOnly) {
  Control("crash=1\n");
  std::wstring batch = Batch("[General]\nSaveData=Y\n[SaveData]\nSaveToFile=\"" +
                             platform::Narrow(Archive("к.zip")) + "\"\n");
  EXPECT_EQ(RunWith(CommandLine(batch)), 0xC0000005u);
  EXPECT_TRUE(Exists(Record(1, L".args")));
  EXPECT_TRUE(Exists(Record(1, L".cwd")));
  EXPECT_FALSE(Exists(infobase_ + L"\\SYSLOG"));
  EXPECT_FALSE(Exists(Archive("к.zip")));
}

TEST_F(EnterpriseStandin, SleepKeepsItRunningUntilEnded) {
  Control("sleep_ms=20000\n");
  std::wstring batch = Batch("[General]\nSaveData=Y\n[SaveData]\nSaveToFile=\"" +
                             platform::Narrow(Archive("с.zip")) + "\"\n");
  standintest::ProcessHandle p = standintest::Start(CommandLine(batch), standintest::BinFolder());
  ASSERT_NE(p.Get(), nullptr);
  EXPECT_EQ(WaitForSingleObject(p.Get(), 500), static_cast<DWORD>(WAIT_TIMEOUT));
  TerminateProcess(p.Get(), 9);
  WaitForSingleObject(p.Get(), 10000);
  EXPECT_FALSE(Exists(Archive("с.zip")));
  EXPECT_FALSE(Exists(Syslog()));
}

TEST_F(EnterpriseStandin, UnwritableArchiveGivesExitCode2AndNoInfobaseExitCode3) {
  Control("exit_code=5\n");
  std::wstring batch = Batch("[General]\nSaveData=Y\n[SaveData]\nSaveToFile=\"" +
                             platform::Narrow(archives_) + "\\нет папки\\с.zip\"\n");
  EXPECT_EQ(RunWith(CommandLine(batch)), 2u);
  EXPECT_TRUE(LogMatches(Slurp(Syslog()), LogPattern("SaveData", 2)));

  std::wstring missing = root_ + L"\\Нет базы";
  EXPECT_EQ(RunWith(L"\"" + standintest::Exe(L"enterprise_standin.exe") + L"\" CONFIG /D\"" +
                    missing + L"\\\" /@\"" + batch + L"\""),
            3u);
  EXPECT_FALSE(Exists(missing));
}

TEST_F(EnterpriseStandin, AcceptsUnquotedAndWhollyQuotedInfobasePaths) {
  std::wstring plain = Folder("База_1");
  std::wstring batch = Batch("[General]\nUnloadData=Y\n[UnloadData]\nUnloadToFile=" +
                             platform::Narrow(Archive("в.zip")) + "\n");
  std::wstring cmd = L"\"" + standintest::Exe(L"enterprise_standin.exe") + L"\" CONFIG /D" + plain +
                     L" /NАдмин /@\"" + batch + L"\"";
  ASSERT_EQ(RunWith(cmd), 0u);
  EXPECT_EQ(Slurp(plain + L"\\standin\\call1.args"), platform::Narrow(cmd));
  EXPECT_TRUE(ziptest::ReadZip(Slurp(Archive("в.zip"))).error.empty());

  // A switch quoted as a whole, as argument-quoting callers produce it.
  cmd = L"\"" + standintest::Exe(L"enterprise_standin.exe") + L"\" CONFIG \"/D" + infobase_ +
        L"\\\\\" /@\"" + batch + L"\"";
  ASSERT_EQ(RunWith(cmd), 0u);
  EXPECT_EQ(Slurp(Record(1, L".args")), platform::Narrow(cmd));
}

}  // namespace
