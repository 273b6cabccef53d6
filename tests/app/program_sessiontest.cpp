// Zorvan.exe as a whole process: an unattended run that ends by itself, and a second
// program on a configuration that is already open.
#include <vector>

#include "tests/app/window_fixture.h"

namespace apptest {
namespace {

struct Child {
  PROCESS_INFORMATION info{};
  ~Child() {
    if (info.hProcess != nullptr) {
      if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info.hProcess, 9);
      CloseHandle(info.hProcess);
      CloseHandle(info.hThread);
    }
  }
  // Exit code once ended within timeoutMs, else -1.
  long Wait(DWORD timeoutMs) {
    if (WaitForSingleObject(info.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    return static_cast<long>(code);
  }
};

bool Start(Child& child, const std::string& exe, const std::string& arguments) {
  std::wstring line = platform::Widen("\"" + exe + "\" " + arguments);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  return CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &child.info) != FALSE;
}

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
  for (int i = 0; i < 600; ++i) {
    WindowSearch s{pid, &title};
    EnumWindows(MatchProcessWindow, reinterpret_cast<LPARAM>(&s));
    if (s.found != nullptr) return s.found;
    Sleep(100);
  }
  return nullptr;
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

  Child child;
  ASSERT_TRUE(Start(child, folder + "\\Zorvan.exe", "/@" + ConfigAt("Ночь") + " /BEGIN"));
  EXPECT_EQ(child.Wait(120000), 0);
  EXPECT_FALSE(platform::fs::FileExists(folder + "\\Zorvan.dat"));
  EXPECT_TRUE(platform::fs::FileExists(ConfigAt("Ночь.cfg")));
  const std::string journal = Read(scratch / "journal.txt");
  EXPECT_NE(journal.find("Обработка завершена\r\n"), std::string::npos) << journal;
  EXPECT_NE(journal.find("Ночь.cfg"), std::string::npos);
  std::error_code ec;
  auto archives =
      std::filesystem::directory_iterator(testsupport::FsPath(o.DestinationDirectory), ec);
  EXPECT_NE(archives, std::filesystem::directory_iterator());
}

TEST_F(ProgramTest, SecondProgramOnTheSameConfigurationShowsThePromptAndEnds) {
  WriteConfig("open.cfg", GeneralOptions{});
  const std::string arguments = "/@" + ConfigAt("open.cfg");
  Child first, second;
  ASSERT_TRUE(Start(first, Program(), arguments));
  HWND main = FindProcessWindow(first.info.dwProcessId, platform::Widen(app::kWindowTitle));
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(Start(second, Program(), arguments));
  HWND prompt = FindProcessWindow(second.info.dwProcessId, L"Zorvan");
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
