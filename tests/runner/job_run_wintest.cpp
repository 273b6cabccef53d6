// Whole job runs under Windows with the stand-in 1C:Enterprise: success, failure,
// time-out, both kinds of abort, and the two notifications sent as window messages.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <regex>
#include <thread>

#include "platform/file.h"
#include "tests/runner/job_run_fixture.h"
#include "tests/support/process.h"

namespace {

using namespace testrunner;
using testsupport::Eventually;
using Lines = std::vector<std::string>;

constexpr UINT kJobStarted = WM_USER + 103;
constexpr UINT kRunFinished = WM_USER + 101;

// A message-only window on the test thread standing in for the main window.
class OwnerWindow {
 public:
  explicit OwnerWindow(std::function<void(UINT, LPARAM)> handler) : handler_(std::move(handler)) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ZvJobRunOwner";
    RegisterClassW(&wc);  // fails harmlessly when already registered
    hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            wc.hInstance, nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~OwnerWindow() { DestroyWindow(hwnd_); }
  void Send(UINT msg, const void* lp = nullptr) {
    SendMessageW(hwnd_, msg, 0, reinterpret_cast<LPARAM>(lp));
  }

  // Handles messages until done() holds; false after a minute.
  static bool PumpUntil(const std::function<bool()>& done) {
    return Eventually([&] {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      return done();
    });
  }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<OwnerWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self || (msg != kJobStarted && msg != kRunFinished))
      return DefWindowProcW(hwnd, msg, wp, lp);
    self->handler_(msg, lp);
    return 0;
  }

  std::function<void(UINT, LPARAM)> handler_;
  HWND hwnd_ = nullptr;
};

class StandinRunTest : public JobRunTest {
 protected:
  StandinRunTest() {
    options().BinaryDirectory = BinFolder() + "enterprise_standin.exe";
    options().TimeOut = 0;
  }

  // An infobase with a file to archive and a save job; ctl is the stand-in's control file.
  InfobaseEntry AddSaved(const std::string& name, const std::string& ctl = "no_syslog=1") {
    InfobaseEntry e = AddInfobase(name, {.SaveData = 1});
    Write(e.path + "data.dbf", "records");
    Write(e.path + "standin.ctl", ctl);
    return e;
  }

  std::string Archive(const std::string& name) {
    return options().DestinationDirectory + "\\" + name + "\\" + name + " архив.zip";
  }

  // The journal lines of a save job up to its archive name.
  Lines SaveLines(const InfobaseEntry& e) {
    return {"",
            "Наименование БД: " + e.BaseName,
            "Путь к БД: " + e.path,
            "Список заданий:",
            "    Сохранить данные (для формата DBF)",
            "Имя архива \"" + Archive(e.BaseName) + "\""};
  }

  // Event-log lines of the stand-in become "<log ACTION N>".
  Lines JournalWithLogLines() {
    static const std::regex log("[0-9]{8};[0-9]{2}:[0-9]{2}:[0-9]{2};standin;(\\w+);([0-9]+)");
    Lines lines = JournalLines();
    for (std::string& l : lines) l = std::regex_replace(l, log, "<log $1 $2>");
    return lines;
  }
};

// Failed and timed-out infobases are reported and the next one runs: archived, its event
// log merged into the journal (the batch files: run_files_wintest).
TEST_F(StandinRunTest, FailureTimeOutAndSuccessInOneRun) {
  options().TimeOut = 10;  // ten shortened minutes: 3 s
  options().TerminateAfterTimeOut = 1;
  InfobaseEntry broken = AddSaved("Склад", "no_syslog=1\nno_archive=1\nexit_code=0");
  InfobaseEntry slow = AddSaved("Долгая", "no_syslog=1\nsleep_ms=30000");
  InfobaseEntry e = AddSaved("Торговля", "exit_code=5");  // an exit code alone is no failure
  for (const InfobaseEntry& withLog : {slow, e}) {
    platform::fs::CreateFolder(withLog.path + "SYSLOG");
    Write(withLog.path + "SYSLOG\\1cv7.mlg", "old;entry\r\n");
  }
  ASSERT_EQ(RunToEnd(), StartResult::Started);

  const Lines expected =
      WithHeader({}) + SaveLines(broken) +
      Lines{"Архив не создан: \"" + Archive("Склад") + "\"", "Обработка завершена с ошибками"} +
      SaveLines(slow) +
      Lines{"Истекло время ожидания завершения задания", "Задание снято",
            "Обработка завершена с ошибками"} +
      SaveLines(e) +
      Lines{"", "========== 1c syslog =========", "<log SaveData 1>",
            "<log SaveData 2>", "==============================", "", "Обработка завершена", kStarsLine};
  EXPECT_EQ(JournalWithLogLines(), expected);
  EXPECT_EQ(Events(), (Lines{"started Склад", "started Долгая", "started Торговля", "finished"}));
  EXPECT_EQ(Read(e.path + "SYSLOG\\1cv7.mlg").rfind("old;entry\r\n", 0), 0u);
  // The child ended at its time-out: its log set aside is merged back.
  EXPECT_EQ(Read(slow.path + "SYSLOG\\1cv7.mlg"), "old;entry\r\n");
}

TEST_F(StandinRunTest, AbortWhileTheChildRunsEndsItAndSetsTheAbortFlag) {
  InfobaseEntry slow = AddSaved("Долгая", "sleep_ms=30000");
  AddSaved("Следующая");
  platform::fs::CreateFolder(slow.path + "SYSLOG");
  Write(slow.path + "SYSLOG\\1cv7.mlg", "old\r\n");
  ASSERT_EQ(Start(), StartResult::Started);
  ASSERT_TRUE(
      Eventually([&] { return platform::fs::FileExists(slow.path + "standin\\call1.args"); }));
  EXPECT_TRUE(run_.AbortRun());
  EXPECT_TRUE(run_.FinishRun());
  EXPECT_TRUE(run_.AbortFlag());
  EXPECT_FALSE(run_.Active());
  EXPECT_EQ(JournalLines(), WithHeader({}) + SaveLines(slow) + Lines{kAbortedLine});
  EXPECT_EQ(Events(), Lines{"started Долгая"});  // no run-finished after an abort
  EXPECT_FALSE(platform::fs::FileExists(Archive("Долгая"))) << "the child was not ended";
  // The child may have written on: its log stays set aside for the next run to merge.
  EXPECT_EQ(Read(slow.path + "SYSLOG\\1cv7_mlg.bak"), "old\r\n");
}

// The worker waits to deliver WM_JOB_STARTED of the second infobase while this thread
// does not pump: the abort must not deadlock the two threads, and leaves the flag clear.
TEST_F(StandinRunTest, AbortBetweenInfobasesLeavesTheAbortFlagClear) {
  InfobaseEntry first = AddSaved("Первая");
  InfobaseEntry second = AddSaved("Вторая");
  Lines received;
  OwnerWindow window(
      [&](UINT, LPARAM lp) { received.push_back(reinterpret_cast<InfobaseEntry*>(lp)->BaseName); });
  std::atomic<bool> sending{false};
  onJobStarted = [&](const InfobaseEntry& e) {
    if (e.BaseName != "Вторая") return;
    sending = true;
    window.Send(kJobStarted, &e);
  };
  ASSERT_EQ(Start(), StartResult::Started);
  while (!sending) Sleep(5);
  Sleep(100);
  EXPECT_TRUE(run_.AbortRun());
  EXPECT_TRUE(run_.FinishRun());  // delivers the pending message while it waits
  EXPECT_EQ(received, Lines{"Вторая"});
  EXPECT_FALSE(run_.AbortFlag());
  Lines expected =
      WithHeader({}) + SaveLines(first) + Lines{"Обработка завершена"} + SaveLines(second);
  expected.back() = kAbortedLine;  // stopped before the archive was named
  EXPECT_EQ(JournalLines(), expected);
  EXPECT_FALSE(platform::fs::GetAttributes(second.path + "standin").exists);
}

// The window thread handles WM_RUN_FINISHED by finishing the run while the worker
// still waits inside SendMessage; an abort just as the worker sends WM_RUN_FINISHED
// finishes the run once, the late message finding nothing left to finish.
TEST_F(StandinRunTest, NotificationsAsWindowMessages) {
  AddSaved("Окно");
  Lines received;
  int finishes = 0;
  OwnerWindow window([&](UINT msg, LPARAM lp) {
    if (msg == kJobStarted) received.push_back(reinterpret_cast<InfobaseEntry*>(lp)->BaseName);
    if (msg == kRunFinished && run_.FinishRun()) ++finishes;
  });
  std::atomic<bool> sending{false};
  onJobStarted = [&](const InfobaseEntry& entry) { window.Send(kJobStarted, &entry); };
  onRunFinished = [&] {
    sending = true;
    window.Send(kRunFinished);
  };
  ASSERT_EQ(Start(), StartResult::Started);
  ASSERT_TRUE(OwnerWindow::PumpUntil([&] { return !run_.Active(); }));
  EXPECT_EQ(finishes, 1);
  EXPECT_EQ(received, Lines{"Окно"});

  // The abort races the run-finished message (this thread pumps only after the abort).
  sending = false;
  onJobStarted = nullptr;
  ASSERT_EQ(Start(), StartResult::Started);
  while (!sending) Sleep(5);
  EXPECT_TRUE(run_.AbortRun());
  if (run_.FinishRun()) ++finishes;
  ASSERT_TRUE(OwnerWindow::PumpUntil([&] { return Events().size() == 4; }));
  EXPECT_EQ(finishes, 2);
  EXPECT_FALSE(run_.AbortFlag());
  EXPECT_EQ(JournalLines().back(), kStarsLine);  // the run was complete: no abort line
}

// An unattended start meets the configuration file held by the launcher's poll: it
// waits for the file instead of running an empty snapshot.
TEST_F(StandinRunTest, AutoRunWaitsForAConfigurationFileHeldBriefly) {
  SaveConfigFile();
  platform::File holder;
  ASSERT_TRUE(holder.Open(ConfigPath(), platform::kFileRead));
  std::thread release([&] {
    Sleep(300);
    holder.Close();
  });
  StartResult started = RunToEnd(/*autoRun=*/true);
  release.join();
  ASSERT_EQ(started, StartResult::Started);
  EXPECT_EQ(JournalLines(), WithHeader({"Нет заданий", kStarsLine}));
}

}  // namespace
