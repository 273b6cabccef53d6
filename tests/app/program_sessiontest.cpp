// Zorvan.exe as a whole process: an unattended run that ends by itself, and a second
// program on a configuration that is already open.
#include <vector>

#include "tests/app/window_fixture.h"
#include "tests/support/process.h"

namespace apptest {
namespace {

struct WindowSearch {
  DWORD pid;
  const std::wstring* title;
  HWND found = nullptr;
};

// A named callback: on i686 a lambda does not convert to the stdcall WNDENUMPROC.
BOOL CALLBACK MatchProcessWindow(HWND w, LPARAM p) {
  auto* s = reinterpret_cast<WindowSearch*>(p);
  DWORD owner = 0;
  GetWindowThreadProcessId(w, &owner);
  wchar_t text[256] = {};
  GetWindowTextW(w, text, 256);
  if (owner == s->pid && IsWindowVisible(w) && *s->title == text) s->found = w;
  return s->found == nullptr;
}

// The first visible top-level window of process pid with the given title, waiting for it.
HWND FindProcessWindow(DWORD pid, const std::wstring& title) {
  WindowSearch s{pid, &title};
  testsupport::Eventually([&] {
    EnumWindows(MatchProcessWindow, reinterpret_cast<LPARAM>(&s));
    return s.found != nullptr;
  });
  return s.found;
}

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
  HWND main = FindProcessWindow(first.Id(), platform::Widen(app::kWindowTitle));
  ASSERT_NE(main, nullptr);
  testsupport::Child second(command);
  HWND prompt = FindProcessWindow(second.Id(), L"Zorvan");
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
