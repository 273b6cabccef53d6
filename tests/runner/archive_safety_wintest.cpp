// A job step never costs a good archive: the previous archive waits aside while a child
// writes the new one, and only a verified new archive rotates the numbered copies.
#include <windows.h>
#include <shellapi.h>

#include <filesystem>
#include <map>

#include "platform/codepage.h"
#include "runner/archive_set_aside.h"
#include "tests/runner/job_fixture.h"
#include "tests/support/test_support.h"

namespace {

using namespace testrunner;
namespace fs = platform::fs;

// The archive path an archiver child was given: the argument after its switch.
std::wstring ArchiveArgument() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::wstring archive = argc > 4 ? argv[4] : L"";
  LocalFree(argv);
  return archive;
}

// An archiver that writes part of an archive, keeps it open and never finishes.
ZV_TEST_CHILD(partial_archiver) {
  HANDLE h = CreateFileW(ArchiveArgument().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD done = 0;
  WriteFile(h, "PK partial", 10, &done, nullptr);
  Sleep(20000);
  return 0;
}

// An archiver in update mode on a server whose clock is behind: an existing archive is
// left untouched; a missing one is made with a write time an hour in the past.
ZV_TEST_CHILD(update_archiver) {
  std::string archive = platform::Narrow(ArchiveArgument());
  if (fs::FileExists(archive)) return 0;
  fs::WriteWholeFile(archive, "PK fresh");
  fs::SetLastWriteStamp(archive, fs::NowStamp() - 3600);
  return 0;
}

class ArchiveSafetyTest : public JobTest {
 protected:
  // Archive of yesterday "G1", copies "G2" and "G3" of the days before; three copies kept.
  void GoodCopies() {
    values.copyCount = 3;
    fs::CreateFolder(values.destination);
    fs::CreateFolder(ArchiveFolder());
    Put(Archive(), "G1", 1);
    Put(Archive(" архив(1)"), "G2", 2);
    Put(Archive(" архив(2)"), "G3", 3);
  }
  void Put(const std::string& path, const std::string& bytes, int daysAgo) {
    Write(path, bytes);
    ASSERT_TRUE(fs::SetLastWriteTime(path, DaysAgo(daysAgo)));
  }
  void UseArchiverChild(const std::string& child) {
    entry.UseExternalArchiver = 1;
    entry.ExternalArchiverName = "\"" + SelfPath() + "\" --child " + child;
    entry.ExternalArchiverParameters = "-a";
    entry.FileList = {"1cv7.md"};
  }
  // File name -> content and write stamp, for a whole folder.
  std::map<std::wstring, std::pair<std::string, int64_t>> Folder(const std::string& folder) {
    std::map<std::wstring, std::pair<std::string, int64_t>> files;
    for (const auto& e : std::filesystem::directory_iterator(FsPath(folder))) {
      std::string path = platform::Narrow(e.path().wstring());
      files[e.path().filename().wstring()] = {Read(path), *fs::GetLastWriteStamp(path)};
    }
    return files;
  }
};

struct FailingDay {
  const char* what;
  bool archiver;         // the partial archiver, else 1C:Enterprise writing nothing
  const char* control;   // the stand-in's control file
  uint32_t timeoutMs;
};

TEST_F(ArchiveSafetyTest, FailingDaysLeaveTheCopiesThenAGoodDayRotates) {
  const FailingDay days[] = {
      {"no archive", false, "no_archive=1\n", 20000},
      {"ended at its time-out", false, "sleep_ms=20000\n", 300},
      // long enough for the child to have begun its archive
      {"partial archive killed at its time-out", true, "", 1500},
  };
  for (const FailingDay& day : days) {
    ScratchFolder scratch2;
    values.destination = scratch2 / "Архивы";
    GoodCopies();
    values.timeoutMs = day.timeoutMs;
    values.terminateAfterTimeOut = true;
    if (day.archiver) UseArchiverChild("partial_archiver");
    entry.SaveData = 1;
    Control(day.control);
    const auto before = Folder(ArchiveFolder());
    for (int n = 1; n <= 3; ++n) {
      EXPECT_FALSE(RunAgain("failing.txt")) << day.what << n;
      EXPECT_EQ(Folder(ArchiveFolder()), before) << day.what << " day " << n;
    }
    entry.UseExternalArchiver = 0;
    Control("");
    ASSERT_TRUE(RunAgain("good.txt")) << day.what;
    EXPECT_TRUE(IsZip(Archive()));
    EXPECT_EQ(Read(Archive(" архив(1)")), "G1");
    EXPECT_TRUE(fs::GetLastWriteTime(Archive(" архив(1)"))->SameDay(DaysAgo(1)));
    EXPECT_EQ(Read(Archive(" архив(2)")), "G2");
    EXPECT_EQ(Read(Archive(" архив(3)")), "G3");
    EXPECT_EQ(Folder(ArchiveFolder()).size(), 4u) << day.what;  // no side file left
  }
}

TEST_F(ArchiveSafetyTest, ArchiverTimedOutThenEnterpriseEndedFailsAndCopiesNothing) {
  GoodCopies();
  entry.UseExternalArchiver = 1;
  entry.ExternalArchiverName = "\"" + BinFolder() + "archiver_standin.exe\"";
  entry.ExternalArchiverParameters = "-sleep=3000";
  entry.FileList = {"1cv7.md"};
  entry.Reindex = 1;
  entry.DuplicateDirectory = Duplicate();
  values.timeoutMs = 300;
  values.terminateAfterTimeOut = true;
  const auto before = Folder(ArchiveFolder());
  EXPECT_FALSE(Run());
  EXPECT_TRUE(Started(1));  // 1C:Enterprise still checks the infobase
  EXPECT_FALSE(fs::GetAttributes(DuplicateFolder()).exists);
  EXPECT_EQ(Folder(ArchiveFolder()), before);
  EXPECT_NE(run.Text().find("Задание снято\r\nАрхив не создан: \"" + Archive() + "\"\r\n"),
            std::string::npos);
}

TEST_F(ArchiveSafetyTest, UpdateModeArchiverAndABehindClockSucceed) {
  GoodCopies();
  UseArchiverChild("update_archiver");
  ASSERT_TRUE(Run());
  EXPECT_EQ(Read(Archive()), "PK fresh");
  EXPECT_EQ(Read(Archive(" архив(1)")), "G1");
  EXPECT_EQ(Read(Archive(" архив(3)")), "G3");
}

TEST_F(ArchiveSafetyTest, HeldArchiveFailsBeforeAnythingStarts) {
  GoodCopies();
  entry.SaveData = 1;
  HANDLE held = CreateFileW(platform::Widen(Archive()).c_str(), GENERIC_READ, 0, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(Run());
  CloseHandle(held);
  EXPECT_FALSE(Started(1));
  EXPECT_EQ(Read(Archive()), "G1");
  EXPECT_FALSE(fs::FileExists(ArchiveSidePath(Archive())));
  std::string text = run.Text();
  EXPECT_EQ(text.rfind(Lines({"Имя архива \"" + Archive() + "\"",
                              "Нет доступа к архиву: \"" + Archive() + "\""}),
                       0),
            0u)
      << text;
}

TEST_F(ArchiveSafetyTest, ArchiveLeftAsideIsPutBackFirst) {
  GoodCopies();
  entry.SaveData = 1;
  // A crash in the middle of the last step: the previous archive aside, a partial one
  // at the archive path.
  ASSERT_TRUE(fs::Rename(Archive(), ArchiveSidePath(Archive())));
  Write(Archive(), "partial");
  ASSERT_TRUE(Run());
  EXPECT_TRUE(IsZip(Archive()));
  EXPECT_EQ(Read(Archive(" архив(1)")), "G1");
  EXPECT_EQ(Read(Archive(" архив(2)")), "G2");
  EXPECT_FALSE(fs::FileExists(ArchiveSidePath(Archive())));
}

TEST_F(ArchiveSafetyTest, ChildLeftRunningKeepsThePreviousArchiveAsideForTheNextStep) {
  GoodCopies();
  entry.SaveData = 1;
  Control("sleep_ms=20000\n");
  values.timeoutMs = 200;
  EXPECT_FALSE(Run());
  EXPECT_EQ(Read(ArchiveSidePath(Archive())), "G1");
  // What the child writes when it goes on; the next step puts G1 back first.
  Write(Archive(), "late archive");
  Control("no_archive=1\n");
  EXPECT_FALSE(RunAgain("next.txt"));
  EXPECT_EQ(Read(Archive()), "G1");
  EXPECT_FALSE(fs::FileExists(ArchiveSidePath(Archive())));
  EXPECT_EQ(Read(Archive(" архив(1)")), "G2");
}

}  // namespace
