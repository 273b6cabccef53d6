// The stand-ins, started as the backup run starts them. The job tests read their
// records and archives, so a wrong record shows there; these cases hold what a wrong
// stand-in would let pass unseen: outputs written although not asked for or impossible,
// failures the real programs report, and archives that leave out or repeat files.
#include <gtest/gtest.h>

#include <string>

#include "platform/fs.h"
#include "tests/support/process.h"
#include "tests/support/programs.h"
#include "tests/support/scratch.h"

namespace {

using testrunner::BinFolder;
using testsupport::Exists;
using testsupport::Read;
using testsupport::RunToEnd;
using testsupport::Write;

// How often name is stored in a ZIP of stored entries (local header and central record
// each hold it).
size_t Stored(const std::string& zip, const std::string& name) {
  size_t n = 0;
  for (size_t at = zip.find(name); at != std::string::npos; at = zip.find(name, at + 1)) ++n;
  return zip.rfind("PK\x03\x04", 0) == 0 ? n / 2 : 0;
}

class Standins : public testing::Test {
 protected:
  Standins() {
    platform::fs::CreateFolder(infobase);
    platform::fs::CreateFolder(scratch / "Архивы");
    Write(infobase + "\\1cv7.md", "metadata");
    Write(infobase + "\\Журнал.txt", "журнал");
    Write(infobase + "\\a.dbf", "a");
  }
  std::string Enterprise(const std::string& batchText, const std::string& base) {
    Write(scratch / "пакет.tmp", batchText + std::string(5, '\0'));
    return "\"" + BinFolder() + "enterprise_standin.exe\" CONFIG /D\"" + base + "\\\" /NИван /@\"" +
           (scratch / "пакет.tmp") + "\"";
  }
  std::string Save(const std::string& archive) {
    return "[General]\nQuit=Y\nSaveData=Y\n[SaveData]\nSaveToFile=\"" + archive + "\"\n";
  }
  std::string Archive(const std::string& name) { return scratch / ("Архивы\\" + name); }

  testsupport::ScratchFolder scratch;
  const std::string infobase = scratch / "Бух база";
};

TEST_F(Standins, EnterpriseRecordsTheCallAndWritesOnlyWhatWasAsked) {
  const std::string cmd = Enterprise(Save(Archive("с.zip")), infobase);
  ASSERT_EQ(RunToEnd(cmd, BinFolder()), 0);  // its records and log: the job tests read them
  const std::string zip = Read(Archive("с.zip"));
  for (const char* name : {"1cv7.md", "Журнал.txt", "a.dbf"}) EXPECT_EQ(Stored(zip, name), 1u);
  EXPECT_EQ(Stored(zip, "call1"), 0u) << "files of subfolders are not saved";

  const struct {
    const char* what;
    std::string control, batch;
    long exitCode;
    bool archive, syslog;
  } cases[] = {
      {"control file", "exit_code=7\nno_archive=1\nno_syslog=1\n", Save(Archive("1.zip")), 7, false,
       false},
      {"no save asked", "", "[General]\nQuit=Y\nCheckAndRepair=Y\n", 0, false, true},
      {"unwritable archive", "exit_code=5\n", Save(scratch / "нет\\2.zip"), 2, false, true},
  };
  for (const auto& c : cases) {
    Write(infobase + "\\standin.ctl", c.control);
    platform::fs::RemoveFile(infobase + "\\SYSLOG\\1cv7.mlg");
    EXPECT_EQ(RunToEnd(Enterprise(c.batch, infobase), BinFolder()), c.exitCode) << c.what;
    EXPECT_EQ(Exists(Archive("1.zip")), c.archive) << c.what;
    EXPECT_EQ(Exists(infobase + "\\SYSLOG\\1cv7.mlg"), c.syslog) << c.what;
  }
  EXPECT_EQ(RunToEnd(Enterprise(Save(Archive("3.zip")), scratch / "нет базы"), BinFolder()), 3);
  EXPECT_FALSE(Exists(scratch / "нет базы"));
  EXPECT_FALSE(Exists(Archive("3.zip")));
}

TEST_F(Standins, ArchiverStoresEachListedFileOnce) {
  Write(infobase + "\\b.DBF", "b");
  Write(infobase + "\\old.zip", "previous archive");
  const std::string exe = "\"" + BinFolder() + "archiver_standin.exe\"";
  const std::string cmd =
      exe + " -a \"" + infobase + "\\old.zip\" 1cv7.md *.dbf нет.txt a.dbf *.zip";
  ASSERT_EQ(RunToEnd(cmd, infobase), 0);
  EXPECT_EQ(Read(infobase + "\\archiver-call1.args"), cmd);
  const std::string zip = Read(infobase + "\\old.zip");
  for (const char* name : {"1cv7.md", "a.dbf", "b.DBF"}) EXPECT_EQ(Stored(zip, name), 1u) << name;
  EXPECT_EQ(Stored(zip, "old.zip"), 0u) << "packed into itself";
  EXPECT_EQ(Stored(zip, "Журнал.txt"), 0u) << "not listed";
  EXPECT_EQ(RunToEnd(exe + " \"" + scratch / "нет\\u.zip\" a.dbf", infobase), 2);  // unwritable
}

}  // namespace
