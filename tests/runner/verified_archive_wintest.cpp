// A new archive counts only when it reads back whole, and a step that cannot fit on its
// volume is refused before it touches anything.
#include <filesystem>
#include <map>

#include "platform/codepage.h"
#include "platform/disk_space.h"
#include "tests/runner/job_fixture.h"
#include "tools/shared/zip_writer.h"

namespace {

using namespace testrunner;
namespace fs = platform::fs;

class VerifiedArchiveTest : public JobTest {
 protected:
  ~VerifiedArchiveTest() override { fs::SetFreeSpaceLimit(std::nullopt); }

  // A sound archive of yesterday and its first copy.
  void Yesterday() {
    entry.SaveData = 1;
    values.copyCount = 2;
    fs::CreateFolder(values.destination);
    fs::CreateFolder(ArchiveFolder());
    Write(Archive(), zip::BuildZip({{"old.dbf", "yesterday", {}}}));
    Write(Archive(" архив(1)"), zip::BuildZip({{"old.dbf", "the day before", {}}}));
    fs::SetLastWriteTime(Archive(), DaysAgo(1));
    fs::SetLastWriteTime(Archive(" архив(1)"), DaysAgo(2));
  }
  // File name -> content, in a folder (empty when it does not exist).
  static std::map<std::wstring, std::string> Files(const std::string& folder) {
    std::map<std::wstring, std::string> files;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(FsPath(folder), ec))
      files[e.path().filename().wstring()] = Read(platform::Narrow(e.path().wstring()));
    return files;
  }
  bool Journalled(const std::string& line) {
    return run.Text().find(line + "\r\n") != std::string::npos;
  }
};

TEST_F(VerifiedArchiveTest, CutShortArchiveFailsAndLeavesTheFolderAsItWas) {
  Yesterday();
  const auto before = Files(ArchiveFolder());
  Control("cut_archive=7\ndeflate=1\n");
  EXPECT_FALSE(Run());
  EXPECT_TRUE(Started(1));
  EXPECT_EQ(Files(ArchiveFolder()), before);
  EXPECT_TRUE(
      Journalled("Архив поврежден: \"" + Archive() + "\" - нет конца архива (архив обрезан)"));
}

TEST_F(VerifiedArchiveTest, SoundDeflatedArchivesWithAZipPasswordAreAccepted) {
  Yesterday();
  entry.UnloadData = 1;
  entry.PswdZIP = "Пароль";
  entry.DuplicateDirectory = Duplicate();
  Control("deflate=1\n");
  ASSERT_TRUE(Run());
  const std::string save = Read(Archive()), unload = Read(Archive(" выгрузка"));
  EXPECT_EQ(save[8], ziparc::kMethodDeflate);
  EXPECT_EQ(unload[6] & ziparc::kFlagEncrypted, ziparc::kFlagEncrypted);
  EXPECT_EQ(save.find("yesterday"), std::string::npos);  // a new archive
  EXPECT_NE(Read(Archive(" архив(1)")).find("yesterday"), std::string::npos);
  EXPECT_EQ(Read(DuplicateFolder() + "\\Торговля выгрузка.zip"), unload);
  const std::string text = run.Text();
  EXPECT_EQ(text.find("Архив поврежден"), std::string::npos) << text;
  EXPECT_EQ(text.find("Проверена только"), std::string::npos) << text;
}

TEST_F(VerifiedArchiveTest, StepThatCannotFitIsRefusedBeforeAnythingChanges) {
  Yesterday();
  entry.DuplicateDirectory = Duplicate();
  const auto before = Files(ArchiveFolder());
  // The volume seems to have just the previous archive's room, not the margin too.
  fs::SetFreeSpaceLimit(*fs::FileSize(Archive()));
  EXPECT_FALSE(Run());
  EXPECT_FALSE(Started(1));
  EXPECT_EQ(Files(ArchiveFolder()), before);
  EXPECT_TRUE(Files(Duplicate()).empty());
  EXPECT_EQ(run.Text(), Lines({"Имя архива \"" + Archive() + "\"",
                               "Недостаточно места на диске: \"" + ArchiveFolder() +
                                   "\" - свободно 0 МБ, нужно 2 МБ"}));
}

// Without a previous archive nothing guards the archive folder; the copy into the
// duplicate folder is measured against the new archive itself and refused.
TEST_F(VerifiedArchiveTest, DuplicateCopyThatCannotFitIsRefused) {
  entry.SaveData = 1;
  entry.DuplicateDirectory = Duplicate();
  Write(Infobase() + "data.dbf", std::string(3 << 20, 'd'));  // stored: a 3 MiB archive
  fs::SetFreeSpaceLimit(2 << 20);
  EXPECT_FALSE(Run());
  EXPECT_TRUE(IsZip(Archive()));
  EXPECT_TRUE(Files(DuplicateFolder()).empty());
  EXPECT_TRUE(Journalled("Недостаточно места на диске: \"" + DuplicateFolder() +
                         "\" - свободно 2 МБ, нужно 5 МБ"));
}

}  // namespace
