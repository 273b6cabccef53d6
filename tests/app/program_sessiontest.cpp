// Zorvan.exe as a whole process: an unattended run that ends by itself, and a second
// program on a configuration that is already open.
#include "tests/app/window_fixture.h"
#include "tests/support/process.h"

namespace apptest {
namespace {

class ProgramTest : public WindowTest {
 protected:
  std::string Program() const { return testrunner::BinFolder() + "Zorvan.exe"; }
};

TEST_F(ProgramTest, BeginRunsTheMovedConfigurationUnattendedAndEnds) {
  GeneralOptions o;
  o.BinaryDirectory = testrunner::BinFolder() + "enterprise_standin.exe";
  o.DestinationDirectory = scratch / "Архив";
  platform::fs::CreateFolder(o.DestinationDirectory);
  o.JournalFileName = scratch / "journal.txt";
  WriteConfig("prepared.cfg", o, MakeInfobase(""));
  // A program folder of its own holding "Zorvan.dat": start-up moves it into place.
  const std::string folder = scratch / "Программа";
  platform::fs::CreateFolder(folder);
  ASSERT_TRUE(platform::fs::CopyOver(Program(), folder + "\\Zorvan.exe"));
  ASSERT_TRUE(platform::fs::Rename(ConfigAt("prepared.cfg"), folder + "\\Zorvan.dat"));

  EXPECT_EQ(
      testsupport::RunToEnd("\"" + folder + "\\Zorvan.exe\" /@" + ConfigAt("Ночь") + " /BEGIN"), 0);
  EXPECT_FALSE(platform::fs::FileExists(folder + "\\Zorvan.dat"));
  EXPECT_TRUE(platform::fs::FileExists(ConfigAt("Ночь.cfg")));
  const std::string journal = Read(scratch / "journal.txt");
  EXPECT_NE(journal.find("Обработка завершена\r\n"), std::string::npos) << journal;
  EXPECT_NE(journal.find("Ночь.cfg"), std::string::npos);
  EXPECT_FALSE(std::filesystem::is_empty(testsupport::FsPath(o.DestinationDirectory)));
}

TEST_F(ProgramTest, SecondProgramOnTheSameConfigurationShowsThePromptAndEnds) {
  WriteConfig("open.cfg", GeneralOptions{});
  const std::string command = "\"" + Program() + "\" /@" + ConfigAt("open.cfg");
  testsupport::Child first(command);
  HWND main =
      testsupport::WindowOf(first.Id(), nullptr, platform::Widen(app::kWindowTitle).c_str());
  ASSERT_NE(main, nullptr);
  testsupport::Child second(command);
  HWND prompt = testsupport::WindowOf(second.Id(), nullptr, L"Zorvan");
  ASSERT_NE(prompt, nullptr);
  EXPECT_EQ(widgets::GetItemText(prompt, IDC_QUERY_TEXT),
            "    Файл настроек с именем \"" + ConfigAt("open.cfg") + "\" уже открыт!");
  EXPECT_EQ(second.Wait(60000), 0);  // closes itself when its seconds run out
  EXPECT_EQ(first.Wait(0), -1);      // the first program goes on
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(first.Wait(60000), 0);
}

}  // namespace
}  // namespace apptest
