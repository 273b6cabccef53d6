// The job step of one infobase with the stand-in 1C:Enterprise and the stand-in archiver:
// what each child is given, what the step leaves behind, the branches that start nothing,
// and that a step never costs a good archive: the previous archive waits aside while a
// child writes the new one, and only a new archive that reads back whole rotates the
// numbered copies.
#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <filesystem>
#include <map>
#include <optional>

#include "archive/zip_check.h"
#include "config/enterprise.h"
#include "platform/codepage.h"
#include "platform/disk_space.h"
#include "platform/registry.h"
#include "platform/system_error.h"
#include "runner/archive_set_aside.h"
#include "runner/infobase_job.h"
#include "tests/runner/run_helpers.h"
#include "tests/support/programs.h"
#include "tests/support/test_support.h"
#include "tools/shared/zip_writer.h"

namespace {

using namespace testrunner;
namespace fs = platform::fs;
using platform::RegRoot;
using platform::RegValue;

// The archive path an archiver child was given (after "--child NAME -a").
std::string ArchiveArgument() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::string archive = argc > 4 ? platform::Narrow(argv[4]) : "";
  LocalFree(argv);
  return archive;
}

// An archiver that writes part of an archive, holds it and never finishes.
ZV_TEST_CHILD(partial_archiver) {
  HANDLE h = CreateFileW(platform::Widen(ArchiveArgument()).c_str(), GENERIC_WRITE, 0, nullptr,
                         CREATE_ALWAYS, 0, nullptr);
  DWORD done = 0;
  WriteFile(h, "PK partial", 10, &done, nullptr);
  Sleep(20000);
  return 0;
}

// An archiver in update mode on a server whose clock is behind: an existing archive
// stays untouched, a missing one gets a write time an hour back.
ZV_TEST_CHILD(update_archiver) {
  const std::string archive = ArchiveArgument();
  if (fs::FileExists(archive)) return 0;
  fs::WriteWholeFile(archive, zip::BuildZip({{"fresh.txt", "fresh", {}}}));  // a real archive
  fs::SetLastWriteStamp(archive, fs::NowStamp() - 3600);
  return 0;
}

// A scratch infobase with a Cyrillic name, destination and duplicate folders, run values
// with short time-outs, an in-memory registry and a journal.
class JobTest : public testing::Test {
 protected:
  JobTest() {
    fs::CreateFolder(scratch / "ИБ Торговля");
    fs::CreateFolder(Duplicate());
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
  ~JobTest() override { fs::SetFreeSpaceLimit(std::nullopt); }

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
  bool Started(int n) {
    return fs::FileExists(Infobase() + "standin\\call" + std::to_string(n) + ".args");
  }
  void WriteLog(const std::string& text) {
    fs::CreateFolder(Infobase() + "SYSLOG");
    Write(EventLogPath(), text);
  }
  void Control(const std::string& lines) { Write(Infobase() + "standin.ctl", lines); }
  static bool IsZip(const std::string& path) { return ziparc::CheckZipFile(path).Sound(); }

  // Turns on the start-up tip of the infobase's configuration.
  void ShowTip() {
    registry.CreateKey(RegRoot::CurrentUser, tipKey);
    registry.WriteValue(RegRoot::CurrentUser, tipKey, "ShowInStart", RegValue::Dword(1));
  }
  std::optional<RegValue> Tip() {
    return registry.ReadValue(RegRoot::CurrentUser, tipKey, "ShowInStart");
  }

  // Archive of yesterday "G1", copies "G2" and "G3" of the days before; three kept.
  void GoodCopies() {
    values.copyCount = 3;
    entry.SaveData = 1;
    fs::CreateFolder(values.destination);
    fs::CreateFolder(ArchiveFolder());
    const char* bytes[] = {"G1", "G2", "G3"};
    for (int n = 0; n < 3; ++n) {
      std::string path = n == 0 ? Archive() : Archive(" архив(" + std::to_string(n) + ")");
      Write(path, bytes[n]);
      fs::SetLastWriteTime(path, DaysAgo(n + 1));
    }
  }
  void UseArchiverChild(const std::string& child) {
    entry.UseExternalArchiver = 1;
    entry.ExternalArchiverName = "\"" + SelfPath() + "\" --child " + child;
    entry.ExternalArchiverParameters = "-a";
  }
  // File name -> content and write stamp; empty when the folder does not exist.
  static std::map<std::wstring, std::pair<std::string, int64_t>> Files(const std::string& folder) {
    std::map<std::wstring, std::pair<std::string, int64_t>> files;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(FsPath(folder), ec)) {
      std::string path = platform::Narrow(e.path().wstring());
      files[e.path().filename().wstring()] = {Read(path), *fs::GetLastWriteStamp(path)};
    }
    return files;
  }
  void ExpectRotatedOnce() {
    EXPECT_EQ(Read(Archive(" архив(1)")), "G1");
    EXPECT_EQ(Read(Archive(" архив(2)")), "G2");
    EXPECT_EQ(Files(ArchiveFolder()).size(), 4u);  // no side file left
  }

  ScratchFolder scratch;
  JournalledRun run{scratch};
  InfobaseEntry entry;
  RunValues values;
  platform::MemoryRegistry registry;
  const std::string tipKey = enterprise::TipOfTheDayKey("Торговля");
};

// Both archives deflated, the unload one under a ZIP password: each child is given what
// it needs, the archives read back whole and rotate, and their copies are made.
TEST_F(JobTest, SaveAndUnloadWithDuplicateCopies) {
  GoodCopies();
  entry.UnloadData = 1;
  entry.UserName = "Иванов";
  entry.Pswd = "пароль";
  entry.PswdZIP = "Пароль";
  entry.DuplicateDirectory = Duplicate();
  Control("deflate=1\n");
  ShowTip();
  const std::string copy = DuplicateFolder() + "\\Торговля архив";
  fs::CreateFolder(DuplicateFolder());
  Write(copy + ".zip", "D1");
  fs::SetLastWriteTime(copy + ".zip", DaysAgo(1));
  ASSERT_TRUE(Run());
  EXPECT_EQ(Call(1, "args"), "\"" + values.enterprisePath + "\" CONFIG /D\"" + Infobase() +
                                 "\" /NИванов /Pпароль /@\"" + values.batchFilePath + "\"");
  EXPECT_EQ(Call(1, "cwd") + "\\", BinFolder());
  const std::string save = Read(Archive()), unload = Read(Archive(" выгрузка"));
  EXPECT_EQ(save[8], ziparc::kMethodDeflate);
  EXPECT_EQ(unload[6] & ziparc::kFlagEncrypted, ziparc::kFlagEncrypted);
  EXPECT_EQ(Read(copy + ".zip"), save);
  EXPECT_EQ(Read(copy + "(1).zip"), "D1");  // the duplicate folder rotates as well
  EXPECT_EQ(Read(DuplicateFolder() + "\\Торговля выгрузка.zip"), unload);
  EXPECT_EQ(Read(Archive(" архив(1)")), "G1");
  EXPECT_FALSE(fs::FileExists(values.batchFilePath));  // it held the password
  EXPECT_EQ(Tip(), RegValue::Dword(0));
  EXPECT_FALSE(fs::FileExists(BackupPath()));  // no event log: none set aside
  const std::string text = run.Text();
  EXPECT_EQ(text.find("Архив поврежден"), std::string::npos) << text;
  EXPECT_EQ(text.find("Проверена только"), std::string::npos) << text;
  EXPECT_NE(text.find("Файл Торговля выгрузка.zip скопирован в папку " + DuplicateFolder()),
            std::string::npos);
}

// An archive of today stays in keep mode, and nothing starts; else it is replaced
// without a copy.
TEST_F(JobTest, ArchiveOfTodayStaysInKeepModeElseIsReplacedWithoutACopy) {
  GoodCopies();
  fs::SetLastWriteTime(Archive(), fs::NowLocal());
  values.saveMode = 1;
  EXPECT_TRUE(Run());
  EXPECT_FALSE(Started(1));
  EXPECT_EQ(Read(Archive()), "G1");
  values.saveMode = 0;
  EXPECT_TRUE(RunAgain("today.txt"));
  EXPECT_TRUE(IsZip(Archive()));
  EXPECT_EQ(Read(Archive(" архив(1)")), "G2");
}

// Neither the metadata file nor the destination folder: nothing starts.
TEST_F(JobTest, MissingMetadataOrDestinationStartsNothing) {
  entry.SaveData = 1;
  fs::RemoveFile(Infobase() + "1cv7.md");
  EXPECT_FALSE(RunAgain("md.txt"));
  EXPECT_FALSE(Started(1));
  EXPECT_FALSE(fs::GetAttributes(ArchiveFolder()).exists);  // created by the call, removed

  Write(scratch / "файл", "x");
  values.destination = scratch / "файл\\Архивы";
  unsigned long error = 0;
  ASSERT_FALSE(fs::CreateFolder(values.destination, &error));
  entry.Type = InfobaseType::AddedByHand;  // by hand: no metadata check, no tip switch
  ShowTip();
  EXPECT_FALSE(Run());
  EXPECT_FALSE(Started(1));
  EXPECT_EQ(run.Text(), Lines({"Нет доступа к папке: \"" + values.destination + "\"",
                               platform::GetSystemErrorText(error)}));
  values.destination = scratch / "Архивы";
  EXPECT_TRUE(RunAgain("typed.txt"));
  EXPECT_EQ(Tip(), RegValue::Dword(1));
}

// A child that cannot start is journalled with its command line, the password hidden;
// nothing is made and the event log is left as it was.
TEST_F(JobTest, FailedStartHidesThePasswordAndKeepsTheLog) {
  entry.UserName = "Иванов";
  entry.Pswd = "секрет";
  entry.Reindex = 1;
  WriteLog("old\r\n");
  const std::string missing = scratch / "нет\\1cv7.exe";
  const struct {
    bool archiver;
    std::string tail;
  } cases[] = {
      {false, "\"" + missing + "\" CONFIG /D\"" + Infobase() + "\" /NИванов /P***** /@\"" +
                  values.batchFilePath + "\""},
      {true, missing + " -a \"" + Archive() + "\" 1cv7.md"},
  };
  entry.ExternalArchiverName = missing;
  entry.ExternalArchiverParameters = "-a";
  entry.FileList = {"1cv7.md"};
  for (const auto& c : cases) {
    values.enterprisePath = c.archiver ? BinFolder() + "enterprise_standin.exe" : missing;
    values.destination = c.archiver ? scratch / "Архивы" : scratch / "никогда";
    entry.UseExternalArchiver = c.archiver;
    EXPECT_FALSE(RunAgain("j.txt"));
    const std::string text = Read(scratch / "j.txt");
    EXPECT_EQ(text.substr(text.find("  -  ")), "  -  " + c.tail + "\r\n") << text;
    EXPECT_EQ(text.find("секрет"), std::string::npos);
    EXPECT_FALSE(Started(1));
    EXPECT_EQ(Read(EventLogPath()), "old\r\n");
    EXPECT_FALSE(fs::FileExists(BackupPath()));
  }
  EXPECT_FALSE(fs::GetAttributes(scratch / "никогда").exists);
}

TEST_F(JobTest, ArchiverArchivesTheListedFilesThenEnterpriseOnlyChecks) {
  entry.UseExternalArchiver = 1;
  entry.ExternalArchiverName = "\"" + BinFolder() + "archiver_standin.exe\"";
  entry.ExternalArchiverParameters = "-a";
  entry.FileList = {"1cv7.md", "*.dbf", "Мои документы.txt"};
  entry.DuplicateDirectory = Duplicate();
  entry.ExternalArchiveExtention = "rar";
  Write(Infobase() + "Мои документы.txt", "документы");
  ASSERT_TRUE(Run());
  EXPECT_EQ(entry.SaveData, 1);
  const std::string archive = Archive(" архив", ".rar");
  EXPECT_EQ(
      Read(Infobase() + "archiver-call1.args"),
      entry.ExternalArchiverName + " -a \"" + archive + "\" 1cv7.md *.dbf \"Мои документы.txt\"");
  const std::string zip = Read(archive);
  EXPECT_NE(zip.find("Мои документы.txt"), std::string::npos);
  EXPECT_NE(zip.find("data.dbf"), std::string::npos);
  EXPECT_FALSE(Started(1));
  EXPECT_EQ(Read(DuplicateFolder() + "\\Торговля архив.rar"), zip);

  entry.Reindex = 1;
  ASSERT_TRUE(RunAgain("check.txt"));
  EXPECT_EQ(Call(1, "batch").rfind("[General]\nQuit=Y\nCheckAndRepair=Y\n[CheckAndRepair]\n", 0),
            0u);
}

TEST_F(JobTest, FailingDaysLeaveTheCopiesThenAGoodDayRotates) {
  const struct {
    const char* what;
    const char* child;  // an archiver child, else the stand-in with control
    const char* control;
    uint32_t timeoutMs;  // long enough for the partial archiver to begin its archive
  } days[] = {{"no archive", nullptr, "no_archive=1\n", 20000},
              {"ended at its time-out", nullptr, "sleep_ms=20000\n", 300},
              {"partial archive killed", "partial_archiver", "", 1500},
              {"cut short", nullptr, "cut_archive=7\ndeflate=1\n", 20000}};
  for (const auto& day : days) {
    ScratchFolder destination;
    values.destination = destination / "Архивы";
    GoodCopies();
    values.timeoutMs = day.timeoutMs;
    values.terminateAfterTimeOut = true;
    entry.UseExternalArchiver = 0;
    if (day.child) UseArchiverChild(day.child);
    Control(day.control);
    const auto before = Files(ArchiveFolder());
    for (int n = 1; n <= 3; ++n) {
      EXPECT_FALSE(RunAgain("failing.txt"));
      EXPECT_EQ(Files(ArchiveFolder()), before) << day.what << " day " << n;
    }
    // After the archiver's, the good day's archiver updates on a server whose clock is behind.
    if (day.child) UseArchiverChild("update_archiver");
    Control("");
    ASSERT_TRUE(RunAgain("good.txt")) << day.what;
    EXPECT_TRUE(IsZip(Archive()));
    EXPECT_EQ(Read(Archive(" архив(3)")), "G3");
    ExpectRotatedOnce();
  }
}

TEST_F(JobTest, ArchiverTimedOutThenEnterpriseEndedFailsAndCopiesNothing) {
  GoodCopies();
  entry.UseExternalArchiver = entry.Reindex = 1;
  entry.ExternalArchiverName = "\"" + BinFolder() + "archiver_standin.exe\"";
  entry.ExternalArchiverParameters = "-sleep=3000";
  entry.DuplicateDirectory = Duplicate();
  values.timeoutMs = 300;
  values.terminateAfterTimeOut = true;
  const auto before = Files(ArchiveFolder());
  EXPECT_FALSE(Run());
  EXPECT_TRUE(Started(1));  // 1C:Enterprise still checks the infobase
  EXPECT_FALSE(fs::GetAttributes(DuplicateFolder()).exists);
  EXPECT_EQ(Files(ArchiveFolder()), before);
  EXPECT_NE(run.Text().find("Задание снято\r\nАрхив не создан: \"" + Archive() + "\"\r\n"),
            std::string::npos);
}

// A child left running after its time-out may still write: the previous archive stays
// aside, and the next step puts it back over whatever that child wrote.
TEST_F(JobTest, ArchiveLeftAsideIsPutBackByTheNextStep) {
  GoodCopies();
  WriteLog("old\r\n");
  Control("sleep_ms=20000\n");
  values.timeoutMs = 200;
  EXPECT_FALSE(Run());
  EXPECT_EQ(Read(ArchiveSidePath(Archive())), "G1");
  EXPECT_EQ(Read(BackupPath()), "old\r\n");  // the event log waits aside as well
  Write(Archive(), "late archive");
  Control("");
  ASSERT_TRUE(RunAgain("next.txt"));
  EXPECT_TRUE(IsZip(Archive()));
  EXPECT_EQ(Read(EventLogPath()).rfind("old\r\n", 0), 0u);
  ExpectRotatedOnce();
}

// Refused before anything starts or moves: an archive held by another program, and a
// step whose archive folder's volume lacks the room of the archive it replaces (and a
// margin). With room for the new archive but not for its copy, the copy is measured
// against the new archive itself and refused.
TEST_F(JobTest, HeldArchivesAndStepsThatCannotFitAreRefused) {
  GoodCopies();
  entry.DuplicateDirectory = Duplicate();
  const auto before = Files(ArchiveFolder());
  HANDLE held = CreateFileW(platform::Widen(Archive()).c_str(), GENERIC_READ, 0, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  EXPECT_FALSE(RunAgain("held.txt"));
  CloseHandle(held);
  EXPECT_NE(Read(scratch / "held.txt").find("Нет доступа к архиву: \"" + Archive() + "\"\r\n"),
            std::string::npos);
  fs::SetFreeSpaceLimit(*fs::FileSize(Archive()));
  EXPECT_FALSE(Run());
  EXPECT_FALSE(Started(1));
  EXPECT_EQ(Files(ArchiveFolder()), before);
  EXPECT_TRUE(Files(Duplicate()).empty());
  EXPECT_EQ(run.Text(), Lines({"Имя архива \"" + Archive() + "\"",
                               "Недостаточно места на диске: \"" + ArchiveFolder() +
                                   "\" - свободно 0 МБ, нужно 2 МБ"}));

  Write(Infobase() + "data.dbf", std::string(3 << 20, 'd'));  // stored: a 3 MiB archive
  fs::SetFreeSpaceLimit(2 << 20);
  EXPECT_FALSE(RunAgain("copy.txt"));
  EXPECT_TRUE(IsZip(Archive()));
  EXPECT_TRUE(Files(DuplicateFolder()).empty());
  EXPECT_NE(Read(scratch / "copy.txt")
                .find("Недостаточно места на диске: \"" + DuplicateFolder() +
                      "\" - свободно 2 МБ, нужно 5 МБ\r\n"),
            std::string::npos);
}

}  // namespace
