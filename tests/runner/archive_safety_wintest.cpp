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
#include "tools/shared/zip_writer.h"

namespace {

using namespace testrunner;
namespace fs = platform::fs;

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

// The archive the update-mode archiver makes: a real one, as it is read back.
std::string FreshZip() { return zip::BuildZip({{"fresh.txt", "fresh", {}}}); }

// An archiver in update mode on a server whose clock is behind: an existing archive
// stays untouched, a missing one gets a write time an hour back.
ZV_TEST_CHILD(update_archiver) {
  const std::string archive = ArchiveArgument();
  if (fs::FileExists(archive)) return 0;
  fs::WriteWholeFile(archive, FreshZip());
  fs::SetLastWriteStamp(archive, fs::NowStamp() - 3600);
  return 0;
}

class ArchiveSafetyTest : public JobTest {
 protected:
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
  // File name -> content and write stamp.
  std::map<std::wstring, std::pair<std::string, int64_t>> Folder() {
    std::map<std::wstring, std::pair<std::string, int64_t>> files;
    for (const auto& e : std::filesystem::directory_iterator(FsPath(ArchiveFolder()))) {
      std::string path = platform::Narrow(e.path().wstring());
      files[e.path().filename().wstring()] = {Read(path), *fs::GetLastWriteStamp(path)};
    }
    return files;
  }
  void ExpectRotatedOnce() {
    EXPECT_EQ(Read(Archive(" архив(1)")), "G1");
    EXPECT_EQ(Read(Archive(" архив(2)")), "G2");
    EXPECT_EQ(Folder().size(), 4u);  // no side file left
  }
};

TEST_F(ArchiveSafetyTest, FailingDaysLeaveTheCopiesThenAGoodDayRotates) {
  const struct {
    const char* what;
    const char* child;  // an archiver child, else the stand-in with control
    const char* control;
    uint32_t timeoutMs;  // long enough for the partial archiver to begin its archive
  } days[] = {{"no archive", nullptr, "no_archive=1\n", 20000},
              {"ended at its time-out", nullptr, "sleep_ms=20000\n", 300},
              {"partial archive killed", "partial_archiver", "", 1500}};
  for (const auto& day : days) {
    ScratchFolder destination;
    values.destination = destination / "Архивы";
    GoodCopies();
    values.timeoutMs = day.timeoutMs;
    values.terminateAfterTimeOut = true;
    if (day.child) UseArchiverChild(day.child);
    Control(day.control);
    const auto before = Folder();
    for (int n = 1; n <= 3; ++n) {
      EXPECT_FALSE(RunAgain("failing.txt"));
      EXPECT_EQ(Folder(), before) << day.what << " day " << n;
    }
    entry.UseExternalArchiver = 0;
    Control("");
    ASSERT_TRUE(RunAgain("good.txt")) << day.what;
    EXPECT_TRUE(IsZip(Archive()));
    EXPECT_EQ(Read(Archive(" архив(3)")), "G3");
    ExpectRotatedOnce();
  }
}

TEST_F(ArchiveSafetyTest, ArchiverTimedOutThenEnterpriseEndedFailsAndCopiesNothing) {
  GoodCopies();
  entry.UseExternalArchiver = entry.Reindex = 1;
  entry.ExternalArchiverName = "\"" + BinFolder() + "archiver_standin.exe\"";
  entry.ExternalArchiverParameters = "-sleep=3000";
  entry.DuplicateDirectory = Duplicate();
  values.timeoutMs = 300;
  values.terminateAfterTimeOut = true;
  const auto before = Folder();
  EXPECT_FALSE(Run());
  EXPECT_TRUE(Started(1));  // 1C:Enterprise still checks the infobase
  EXPECT_FALSE(fs::GetAttributes(DuplicateFolder()).exists);
  EXPECT_EQ(Folder(), before);
  EXPECT_NE(run.Text().find("Задание снято\r\nАрхив не создан: \"" + Archive() + "\"\r\n"),
            std::string::npos);
}

TEST_F(ArchiveSafetyTest, UpdateModeArchiverAndABehindClockSucceed) {
  GoodCopies();
  UseArchiverChild("update_archiver");
  ASSERT_TRUE(Run());
  EXPECT_EQ(Read(Archive()), FreshZip());
  ExpectRotatedOnce();
}

// Held by another program: journalled, nothing started, nothing moved.
TEST_F(ArchiveSafetyTest, HeldArchiveFailsBeforeAnythingStarts) {
  GoodCopies();
  HANDLE held = CreateFileW(platform::Widen(Archive()).c_str(), GENERIC_READ, 0, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  EXPECT_FALSE(Run());
  CloseHandle(held);
  EXPECT_FALSE(Started(1));
  EXPECT_EQ(Read(Archive()), "G1");
  EXPECT_NE(run.Text().find("Нет доступа к архиву: \"" + Archive() + "\"\r\n"), std::string::npos);
}

// A child left running after its time-out may still write: the previous archive stays
// aside, and the next step puts it back over whatever that child wrote.
TEST_F(ArchiveSafetyTest, ArchiveLeftAsideIsPutBackByTheNextStep) {
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

}  // namespace
