// An infobase job against the stand-in programs: a scratch infobase with a Cyrillic
// name, destination and duplicate folders, run values with short time-outs, an
// in-memory registry and a journal.
#pragma once

#include <gtest/gtest.h>

#include "archive/zip_check.h"
#include "platform/registry.h"
#include "runner/infobase_job.h"
#include "tests/support/programs.h"
#include "tests/runner/run_helpers.h"

namespace testrunner {

class JobTest : public testing::Test {
 protected:
  JobTest() {
    platform::fs::CreateFolder(scratch / "ИБ Торговля");
    platform::fs::CreateFolder(Duplicate());
    Write(Infobase() + "1cv7.md", "metadata");
    Write(Infobase() + "data.dbf", "data");
    entry.BaseName = "Торговля";
    entry.path = Infobase();
    values.enterprisePath = BinFolder() + "enterprise_standin.exe";
    values.enterpriseFolder = BinFolder();
    values.destination = scratch / "Архивы";
    values.timeoutMs = 20000;
    values.batchFilePath = scratch / "~pak1.tmp";
  }

  bool Run() { return RunInfobaseJob(entry, values, run.control, registry); }
  // A second run in the same test, journalled in a fresh journal.
  bool RunAgain(const std::string& journalName) {
    RunControl control;
    control.SetJournal(std::make_unique<CJournalFile>(scratch / journalName, true));
    InfobaseEntry copy = entry;
    return RunInfobaseJob(copy, values, control, registry);
  }

  std::string Infobase() const { return scratch / "ИБ Торговля\\"; }
  std::string ArchiveFolder() const { return values.destination + "\\Торговля"; }
  std::string Archive(const std::string& suffix = " архив", const std::string& ext = ".zip") {
    return ArchiveFolder() + "\\Торговля" + suffix + ext;
  }
  std::string Duplicate() const { return scratch / "Копии"; }
  std::string DuplicateFolder() const { return Duplicate() + "\\Торговля"; }
  std::string EventLogPath() const { return Infobase() + "SYSLOG\\1cv7.mlg"; }
  std::string BackupPath() const { return Infobase() + "SYSLOG\\1cv7_mlg.bak"; }
  // What the stand-in recorded of its n-th start: "args", "batch" or "cwd".
  std::string Call(int n, const std::string& what) {
    return Read(Infobase() + "standin\\call" + std::to_string(n) + "." + what);
  }
  bool Started(int n) { return platform::fs::FileExists(Infobase() + "standin\\call" +
                                                        std::to_string(n) + ".args"); }
  void WriteLog(const std::string& text) {
    platform::fs::CreateFolder(Infobase() + "SYSLOG");
    Write(EventLogPath(), text);
  }
  void Control(const std::string& lines) { Write(Infobase() + "standin.ctl", lines); }
  // A whole ZIP archive, read back as the step does.
  static bool IsZip(const std::string& path) { return ziparc::CheckZipFile(path).Sound(); }

  ScratchFolder scratch;
  JournalledRun run{scratch};
  InfobaseEntry entry;
  RunValues values;
  platform::MemoryRegistry registry;
};

}  // namespace testrunner
