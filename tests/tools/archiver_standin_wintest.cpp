// The archiver stand-in, started as the backup run starts an external archiver: in the
// infobase folder, with switches, a quoted archive path, names and masks.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "tests/tools/standin_harness.h"

namespace {

using standintest::Exists;
using standintest::Put;
using standintest::Slurp;

class ArchiverStandin : public standintest::ScratchTest {
 protected:
  void SetUp() override {
    ScratchTest::SetUp();
    infobase_ = Folder("Торговля");
    archives_ = Folder("Архивы");
    Put(infobase_ + L"\\1Cv7.MD", "md");
    Put(infobase_ + L"\\Мои документы.txt", "документы");
    Put(infobase_ + L"\\a.dbf", "a");
    Put(infobase_ + L"\\b.DBF", std::string("b\0b", 3));
    Put(infobase_ + L"\\c.cdx", "not listed");
    Folder("Торговля\\dir.dbf");  // a folder matching a mask is not archived
    Folder("Торговля\\SYSLOG");
    Put(infobase_ + L"\\SYSLOG\\1cv7.mlg", "log");
  }

  std::wstring Exe() { return L"\"" + standintest::Exe(L"archiver_standin.exe") + L"\""; }
  std::wstring Archive(const std::string& name1251) {
    return archives_ + L"\\" + platform::Widen(name1251);
  }

  // Entry name -> data; the archive's structure must be sound.
  std::map<std::string, std::string> Entries(const std::wstring& archive) {
    const ziptest::ReadResult zip = ziptest::ReadZip(Slurp(archive));
    EXPECT_EQ(zip.error, "");
    std::map<std::string, std::string> out;
    for (const auto& e : zip.entries) EXPECT_TRUE(out.emplace(e.name, e.data).second) << e.name;
    return out;
  }

  std::wstring infobase_, archives_;
};

TEST_F(ArchiverStandin, ArchivesNamesAndMasksOnceEachAndRecordsTheCall) {
  const std::wstring cmd = Exe() + L" -add -directories \"" + Archive("Торговля архив.zip") +
                           L"\" 1Cv7.MD \"Мои документы.txt\" *.dbf SYSLOG\\*.mlg нет.txt a.dbf";
  ASSERT_EQ(standintest::Run(cmd, infobase_), 0u);
  EXPECT_EQ(Slurp(infobase_ + L"\\archiver-call1.args"), platform::Narrow(cmd));
  const std::map<std::string, std::string> expected = {{"1Cv7.MD", "md"},
                                                       {"Мои документы.txt", "документы"},
                                                       {"a.dbf", "a"},
                                                       {"b.DBF", std::string("b\0b", 3)},
                                                       {"SYSLOG/1cv7.mlg", "log"}};
  EXPECT_EQ(Entries(Archive("Торговля архив.zip")), expected);

  // The next call takes the next number.
  ASSERT_EQ(standintest::Run(cmd, infobase_), 0u);
  EXPECT_TRUE(Exists(infobase_ + L"\\archiver-call2.args"));
}

TEST_F(ArchiverStandin, SwitchesSetExitCodeFailOrDelay) {
  EXPECT_EQ(
      standintest::Run(Exe() + L" -exit=4 \"" + Archive("x.zip") + L"\" -exit=9 a.dbf", infobase_),
      4u);
  // Arguments after the archive path are names, even when they start with "-".
  EXPECT_EQ(Entries(Archive("x.zip")).count("a.dbf"), 1u);

  EXPECT_EQ(standintest::Run(Exe() + L" -fail \"" + Archive("f.zip") + L"\" a.dbf", infobase_), 1u);
  EXPECT_FALSE(Exists(Archive("f.zip")));
  EXPECT_TRUE(Exists(infobase_ + L"\\archiver-call2.args"));

  EXPECT_TRUE(standintest::KeepsRunning(
      Exe() + L" -sleep=20000 \"" + Archive("s.zip") + L"\" a.dbf", infobase_));
  EXPECT_FALSE(Exists(Archive("s.zip")));
}

TEST_F(ArchiverStandin, ProgramPathWithBlanksArchiveInTheFolderAndUnwritableArchive) {
  std::wstring folder = Folder("внешний архиватор");
  std::wstring copy = folder + L"\\arch.exe";
  ASSERT_TRUE(CopyFileW(standintest::Exe(L"archiver_standin.exe").c_str(), copy.c_str(), FALSE));
  ASSERT_EQ(standintest::Run(copy + L" -a \"" + Archive("u.zip") + L"\" a.dbf", infobase_), 0u);
  EXPECT_EQ(Entries(Archive("u.zip")).size(), 1u);

  // An archive in the current folder is not packed into itself.
  Put(infobase_ + L"\\old.zip", "previous archive");
  ASSERT_EQ(standintest::Run(Exe() + L" old.zip *.MD *.zip", infobase_), 0u);
  EXPECT_EQ(Entries(infobase_ + L"\\old.zip").size(), 1u);

  EXPECT_EQ(standintest::Run(Exe() + L" \"" + archives_ + L"\\нет\\u.zip\" a.dbf", infobase_), 2u);
  // Nothing listed matches: an empty but valid archive.
  ASSERT_EQ(standintest::Run(Exe() + L" \"" + Archive("e.zip") + L"\" *.xyz", infobase_), 0u);
  EXPECT_TRUE(Entries(Archive("e.zip")).empty());
}

}  // namespace
