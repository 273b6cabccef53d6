// Runs from the main window against the 1C:Enterprise stand-in: the tray icon, the
// status, abort, the end of a run and the tray icon after a shell restart.
#include "tests/app/window_fixture.h"
// after windows.h
#include <shellapi.h>

#include "platform/file.h"

namespace apptest {
namespace {

class WindowRunTest : public WindowTest {
 protected:
  void PrepareRun(const std::string& ctl, bool quit, bool shutDown) {
    GeneralOptions o;
    o.BinaryDirectory = testrunner::BinFolder() + "enterprise_standin.exe";
    o.DestinationDirectory = scratch / "Архив";
    platform::fs::CreateFolder(o.DestinationDirectory);
    o.JournalFileName = scratch / "journal.txt";
    o.TimeOut = 5;
    o.QuitAfterSave = quit;
    o.ShutDownAfterSave = shutDown;
    WriteConfig("run.cfg", o, MakeInfobase(ctl));
  }
  std::string Journal() { return Read(scratch / "journal.txt"); }
  bool Running() { return window->Handle() != nullptr && window->Controller().Running(); }
};

TEST_F(WindowRunTest, RunShowsTheTrayIconAndAbortEndsIt) {
  PrepareRun("sleep_ms=30000\nno_syslog=1", false, false);
  Open("run.cfg");
  Command(IDC_RUN);
  ASSERT_TRUE(Running());
  EXPECT_TRUE(window->Tray().Shown());
  EXPECT_FALSE(IsWindowVisible(Dialog()));
  EXPECT_EQ(Text(IDCANCEL), "Прервать");
  EXPECT_FALSE(Enabled(IDC_RUN));
  ASSERT_TRUE(PumpUntil([&] { return Text(IDC_STATUS) == "Выполняется задание: База"; }));

  // The shell restarted: the icon comes back.
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = Dialog();
  data.uID = 1;
  ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &data));
  SendMessageW(Dialog(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &data));

  // A double-click on the icon shows the window, a second one hides it.
  SendMessageW(Dialog(), app::WM_TRAY_NOTIFY, 1, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(IsWindowVisible(Dialog()));
  SendMessageW(Dialog(), app::WM_TRAY_NOTIFY, 1, WM_LBUTTONDBLCLK);
  EXPECT_FALSE(IsWindowVisible(Dialog()));
  SendMessageW(Dialog(), app::WM_TRAY_NOTIFY, 1, WM_LBUTTONDBLCLK);
  SendMessageW(Dialog(), WM_SYSCOMMAND, SC_MINIMIZE, 0);  // minimising hides during a run
  EXPECT_FALSE(IsWindowVisible(Dialog()));

  Command(IDCANCEL);  // "Прервать"
  EXPECT_FALSE(Running());
  EXPECT_FALSE(window->Tray().Shown());
  EXPECT_TRUE(IsWindowVisible(Dialog()));
  EXPECT_EQ(Text(IDCANCEL), "Закрыть");
  // The status line tells how the run ended.
  EXPECT_EQ(Text(IDC_STATUS).rfind("Последний запуск ", 0), 0u) << Text(IDC_STATUS);
  EXPECT_TRUE(Text(IDC_STATUS).ends_with(": прерван (1 из 1)")) << Text(IDC_STATUS);
  const std::string journal = Journal();
  EXPECT_NE(journal.find("Процесс прерван пользователем\r\n"), std::string::npos) << journal;
  EXPECT_EQ(journal.find("Обработка завершена"), std::string::npos) << journal;
}

// A window destroyed in the middle of a run (the session ends) stops its worker and waits
// for it: the journal is closed with the abort and no longer held.
TEST_F(WindowRunTest, DestroyingTheWindowMidRunStopsTheWorkerCleanly) {
  PrepareRun("sleep_ms=30000\nno_syslog=1", false, false);
  Open("run.cfg");
  Command(IDC_RUN);
  ASSERT_TRUE(PumpUntil([&] { return Text(IDC_STATUS) == "Выполняется задание: База"; }));
  DestroyWindow(Dialog());
  window.reset();
  platform::File journal;
  EXPECT_TRUE(journal.Open(scratch / "journal.txt", 0));
  journal.Close();
  EXPECT_NE(Journal().find("Процесс прерван пользователем\r\n"), std::string::npos) << Journal();
}

// An unattended run starts by itself, hidden, and ends the program: quitting is forced in
// that mode, not saved.
TEST_F(WindowRunTest, EndOfRunShowsQuitsOrShutsDown) {
  struct Case {
    bool quit, shutDown, unattended;
    bool closed;
    int shutdowns;
  } cases[] = {
      {false, false, false, false, 0},
      {true, false, false, true, 0},
      {true, true, false, true, 1},  // the system refuses (the fixture): it ends anyway
      {false, false, true, true, 0},
  };
  for (const Case& c : cases) {
    PrepareRun("", c.quit, c.shutDown);
    shutdowns = 0;
    Open("run.cfg", c.unattended);
    EXPECT_EQ(IsWindowVisible(Dialog()) == FALSE, c.unattended);
    if (!c.unattended) Command(IDC_RUN);
    ASSERT_TRUE(PumpUntil([&] { return c.closed ? window->Handle() == nullptr : !Running(); }));
    window->Pump();
    EXPECT_EQ(window->Handle() == nullptr, c.closed);
    EXPECT_EQ(shutdowns, c.shutdowns);
    EXPECT_NE(Journal().find("Обработка завершена\r\n"), std::string::npos);
    EXPECT_EQ(Reload("run.cfg").options.QuitAfterSave, c.quit);
    window.reset();
  }
}

// A file that cannot be read ends an unattended run at once, and the run is recorded.
TEST_F(WindowRunTest, UnattendedErrorsCloseThemselvesAndReachTheJournal) {
  testsupport::Write(ConfigAt("empty.cfg"), "");
  Open("empty.cfg", true);
  ASSERT_TRUE(PumpUntil([&] { return window->Handle() == nullptr; }));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("Ошибка чтения данных из файла"), std::string::npos);
  EXPECT_EQ(Read(scratch / "Journal.txt"), messages[0] + "\r\n");
  window.reset();
  Open("empty.cfg");  // the run left its record: the status line tells of it
  EXPECT_TRUE(Text(IDC_STATUS).ends_with(": не выполнен: файл настройки не прочитан"))
      << Text(IDC_STATUS);
}

}  // namespace
}  // namespace apptest
