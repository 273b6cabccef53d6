// Whole job runs under Windows with the stand-in 1C:Enterprise: success, failure,
// time-out, both kinds of abort, and the two notifications sent as window messages.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <regex>
#include <thread>

#include "platform/file.h"
#include "platform/process.h"
#include "tests/runner/job_run_fixture.h"

namespace {

using namespace testrunner;
using Lines = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

constexpr UINT kJobStarted = WM_USER + 103;
constexpr UINT kRunFinished = WM_USER + 101;

std::string BinFolder() {
  wchar_t path[MAX_PATH * 2];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
  std::string s = platform::Narrow(std::wstring(path, n));
  return s.substr(0, s.rfind('\\'));
}

// A message-only window on the test thread standing in for the main window.
class OwnerWindow {
 public:
  explicit OwnerWindow(std::function<void(UINT, LPARAM)> handler) : handler_(std::move(handler)) {
    static const wchar_t* kClass = L"ZvJobRunOwner";
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    RegisterClassW(&wc);  // fails harmlessly when already registered
    hwnd_ = CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                            nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~OwnerWindow() { DestroyWindow(hwnd_); }
  HWND hwnd() const { return hwnd_; }

  // Handles messages until done() holds or the limit passes; false on time-out.
  static bool PumpUntil(const std::function<bool()>& done, std::chrono::seconds limit) {
    auto end = Clock::now() + limit;
    while (!done()) {
      if (Clock::now() > end) return false;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    return true;
  }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<OwnerWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && (msg == kJobStarted || msg == kRunFinished)) {
      self->handler_(msg, lp);
      return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
  }

  std::function<void(UINT, LPARAM)> handler_;
  HWND hwnd_ = nullptr;
};

class StandinRunTest : public JobRunTest {
 protected:
  StandinRunTest() {
    options().BinaryDirectory = BinFolder() + "\\enterprise_standin.exe";
    options().TimeOut = 0;
  }

  // An infobase with a file to archive and a save job; ctl is the stand-in's control file.
  InfobaseEntry MakeEntry(const std::string& name, const std::string& ctl = "no_syslog=1") {
    InfobaseEntry e;
    e.BaseName = name;
    e.path = MakeInfobase(name);
    Write(e.path + "data.dbf", "records");
    if (!ctl.empty()) Write(e.path + "standin.ctl", ctl);
    e.SaveData = 1;
    return e;
  }
  InfobaseEntry AddInfobase(const std::string& name, const std::string& ctl = "no_syslog=1") {
    InfobaseEntry e = MakeEntry(name, ctl);
    tree_.Add(e);
    return e;
  }

  std::string Archive(const std::string& name, const char* kind = " архив") {
    return options().DestinationDirectory + "\\" + name + "\\" + name + kind + ".zip";
  }

  static std::string Call(const InfobaseEntry& e, int n, const char* ext) {
    return Read(e.path + "standin\\call" + std::to_string(n) + ext);
  }

  // Event-log lines of the stand-in become "<log ACTION N>".
  Lines JournalWithLogLines() {
    static const std::regex log("[0-9]{8};[0-9]{2}:[0-9]{2}:[0-9]{2};standin;(\\w+);([0-9]+)");
    Lines lines = JournalLines();
    for (std::string& l : lines) l = std::regex_replace(l, log, "<log $1 $2>");
    return lines;
  }

  Lines NameLines(const InfobaseEntry& e) {
    return {"", "Наименование БД: " + e.BaseName, "Путь к БД: " + e.path, "Список заданий:"};
  }

  static bool WaitForFile(const std::string& path) {
    auto end = Clock::now() + std::chrono::seconds(30);
    while (!platform::fs::FileExists(path)) {
      if (Clock::now() > end) return false;
      Sleep(20);
    }
    return true;
  }
};

TEST_F(StandinRunTest, SuccessArchivesCopiesAndMergesTheEventLog) {
  std::string copies = root_ + "\\Копии";
  platform::fs::CreateFolder(copies);
  InfobaseEntry e = MakeEntry("Торговля", "");
  e.UnloadData = 1;
  e.UserName = "Иванов";
  e.Pswd = "секрет";
  e.DuplicateDirectory = copies;
  tree_.Add(e);
  platform::fs::CreateFolder(e.path + "SYSLOG");
  Write(e.path + "SYSLOG\\1cv7.mlg", "old;entry\r\n");
  ASSERT_EQ(RunToEnd(), StartResult::Started);

  Lines expected = WithHeader({}) + NameLines(e) +
                   Lines{"    Сохранить данные (для формата DBF)",
                         "    Выгрузить данные в текстовый файл",
                         "    Скопировать в \"" + copies + "\"",
                         "Имя архива \"" + Archive("Торговля") + "\"",
                         "Имя архива \"" + Archive("Торговля", " выгрузка") + "\"",
                         "",
                         "========== 1c syslog =========",
                         "<log SaveData 1>",
                         "<log SaveData 2>",
                         "==============================",
                         "",
                         "Файл Торговля архив.zip скопирован в папку " + copies + "\\Торговля",
                         "Файл Торговля выгрузка.zip скопирован в папку " + copies + "\\Торговля",
                         "Обработка завершена",
                         kStarsLine};
  EXPECT_EQ(JournalWithLogLines(), expected);
  EXPECT_EQ(Events(), (Lines{"started Торговля", "finished"}));

  // The stand-in saw the user, the password and a batch file that is gone now.
  std::string args = Call(e, 1, ".args");
  EXPECT_NE(args.find(" /NИванов /Pсекрет /@\""), std::string::npos) << args;
  EXPECT_EQ(Call(e, 1, ".batch").rfind("[General]\nQuit=Y\nSaveData=Y\nUnloadData=Y\n", 0), 0u);
  std::string batch = args.substr(args.find("/@\"") + 3);
  batch.pop_back();
  EXPECT_EQ(batch.rfind(temp_ + "\\~pa", 0), 0u) << batch;
  EXPECT_FALSE(platform::fs::FileExists(batch));
  EXPECT_EQ(Call(e, 1, ".cwd") + "\\", BinFolder() + "\\");
  EXPECT_TRUE(platform::fs::FileExists(Archive("Торговля")));
  EXPECT_TRUE(platform::fs::FileExists(copies + "\\Торговля\\Торговля выгрузка.zip"));
  EXPECT_EQ(Read(e.path + "SYSLOG\\1cv7.mlg").rfind("old;entry\r\n", 0), 0u);
}

TEST_F(StandinRunTest, FailedInfobaseIsReportedAndTheNextOneRuns) {
  InfobaseEntry broken = AddInfobase("Склад", "no_syslog=1\nno_archive=1\nexit_code=0");
  InfobaseEntry good = AddInfobase("Касса");
  ASSERT_EQ(RunToEnd(), StartResult::Started);
  Lines expected =
      WithHeader({}) + NameLines(broken) +
      Lines{"    Сохранить данные (для формата DBF)", "Имя архива \"" + Archive("Склад") + "\"",
            "Архив не создан: \"" + Archive("Склад") + "\"", "Обработка завершена с ошибками"} +
      NameLines(good) +
      Lines{"    Сохранить данные (для формата DBF)", "Имя архива \"" + Archive("Касса") + "\"",
            "Обработка завершена", kStarsLine};
  EXPECT_EQ(JournalLines(), expected);
  EXPECT_EQ(Events(), (Lines{"started Склад", "started Касса", "finished"}));
}

TEST_F(StandinRunTest, TimeOutEndsTheChildAndFailsTheInfobase) {
  options().TimeOut = 1;  // one shortened minute: 300 ms
  options().TerminateAfterTimeOut = 1;
  InfobaseEntry slow = AddInfobase("Долгая", "no_syslog=1\nsleep_ms=20000");
  ASSERT_EQ(RunToEnd(), StartResult::Started);
  Lines expected = WithHeader({}) + NameLines(slow) +
                   Lines{"    Сохранить данные (для формата DBF)",
                         "Имя архива \"" + Archive("Долгая") + "\"",
                         "Истекло время ожидания завершения задания",
                         "Задание снято",
                         "Обработка завершена с ошибками",
                         kStarsLine};
  EXPECT_EQ(JournalLines(), expected);
  EXPECT_EQ(run_.Settings().values.timeoutMs, 300u);
}

TEST_F(StandinRunTest, AbortWhileTheChildRunsEndsItAndSetsTheAbortFlag) {
  InfobaseEntry slow = AddInfobase("Долгая", "no_syslog=1\nsleep_ms=30000");
  AddInfobase("Следующая");
  ASSERT_EQ(Start(), StartResult::Started);
  ASSERT_TRUE(WaitForFile(slow.path + "standin\\call1.args"));
  auto before = Clock::now();
  EXPECT_TRUE(run_.AbortRun());
  EXPECT_TRUE(run_.FinishRun());
  EXPECT_LT(Clock::now() - before, std::chrono::seconds(20)) << "the child was not ended";
  EXPECT_TRUE(run_.AbortFlag());
  EXPECT_FALSE(run_.Active());
  Lines expected =
      WithHeader({}) + NameLines(slow) +
      Lines{"    Сохранить данные (для формата DBF)", "Имя архива \"" + Archive("Долгая") + "\"",
            "Процесс прерван пользователем"};
  EXPECT_EQ(JournalLines(), expected);
  EXPECT_EQ(Events(), Lines{"started Долгая"});  // no run-finished after an abort
  EXPECT_FALSE(platform::fs::FileExists(Archive("Долгая")));
}

TEST_F(StandinRunTest, AbortBetweenInfobasesLeavesTheAbortFlagClear) {
  InfobaseEntry first = AddInfobase("Первая");
  InfobaseEntry second = AddInfobase("Вторая");
  std::mutex m;
  std::condition_variable cv;
  bool reached = false, aborted = false;
  onJobStarted = [&](const InfobaseEntry& e) {
    if (e.BaseName != "Вторая") return;
    std::unique_lock lock(m);
    reached = true;
    cv.notify_all();
    cv.wait(lock, [&] { return aborted; });
  };
  ASSERT_EQ(Start(), StartResult::Started);
  {
    std::unique_lock lock(m);
    ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(60), [&] { return reached; }));
  }
  EXPECT_TRUE(run_.AbortRun());
  {
    std::lock_guard lock(m);
    aborted = true;
    cv.notify_all();
  }
  EXPECT_TRUE(run_.FinishRun());
  EXPECT_FALSE(run_.AbortFlag());
  Lines expected = WithHeader({}) + NameLines(first) +
                   Lines{"    Сохранить данные (для формата DBF)",
                         "Имя архива \"" + Archive("Первая") + "\"", "Обработка завершена"} +
                   NameLines(second) +
                   Lines{"    Сохранить данные (для формата DBF)", "Процесс прерван пользователем"};
  EXPECT_EQ(JournalLines(), expected);
  EXPECT_FALSE(platform::fs::GetAttributes(second.path + "standin").exists);
}

// The window thread handles WM_RUN_FINISHED by finishing the run while the worker
// still waits inside SendMessage; and an abort while the worker waits to deliver
// WM_JOB_STARTED must not deadlock the two threads.
TEST_F(StandinRunTest, NotificationsAsWindowMessages) {
  InfobaseEntry e = AddInfobase("Окно");
  Lines received;
  bool finishedInHandler = false;
  OwnerWindow window([&](UINT msg, LPARAM lp) {
    if (msg == kJobStarted) received.push_back(reinterpret_cast<InfobaseEntry*>(lp)->BaseName);
    if (msg == kRunFinished) finishedInHandler = run_.FinishRun();
  });
  onJobStarted = [&](const InfobaseEntry& entry) {
    SendMessageW(window.hwnd(), kJobStarted, 0, reinterpret_cast<LPARAM>(&entry));
  };
  onRunFinished = [&] { SendMessageW(window.hwnd(), kRunFinished, 0, 0); };
  ASSERT_EQ(Start(), StartResult::Started);
  ASSERT_TRUE(OwnerWindow::PumpUntil([&] { return !run_.Active(); }, std::chrono::seconds(60)));
  EXPECT_TRUE(finishedInHandler);
  EXPECT_EQ(received, Lines{"Окно"});

  // Second run: the worker blocks in SendMessage while this thread does not pump.
  std::atomic<bool> sending{false};
  onJobStarted = [&](const InfobaseEntry& entry) {
    sending = true;
    SendMessageW(window.hwnd(), kJobStarted, 0, reinterpret_cast<LPARAM>(&entry));
  };
  ASSERT_EQ(Start(), StartResult::Started);
  while (!sending) Sleep(5);
  Sleep(100);
  EXPECT_TRUE(run_.AbortRun());
  EXPECT_TRUE(run_.FinishRun());  // delivers the pending message while it waits
  EXPECT_EQ(received, (Lines{"Окно", "Окно"}));
  EXPECT_FALSE(run_.AbortFlag());
  EXPECT_EQ(JournalLines().back(), kAbortedLine);
  EXPECT_EQ(Call(e, 2, ".args"), "<missing>");
}

// The operator aborts just as the worker sends WM_RUN_FINISHED: the run is finished once,
// by the abort, and the late message finds nothing left to finish.
TEST_F(StandinRunTest, AbortRacingTheRunFinishedMessageFinishesOnce) {
  AddInfobase("Гонка");
  int finishes = 0;
  OwnerWindow window([&](UINT msg, LPARAM) {
    if (msg == kRunFinished && run_.FinishRun()) ++finishes;
  });
  std::atomic<bool> sending{false};
  onRunFinished = [&] {
    sending = true;
    SendMessageW(window.hwnd(), kRunFinished, 0, 0);
  };
  ASSERT_EQ(Start(), StartResult::Started);
  while (!sending) Sleep(5);
  EXPECT_TRUE(run_.AbortRun());
  if (run_.FinishRun()) ++finishes;
  ASSERT_TRUE(
      OwnerWindow::PumpUntil([&] { return Events().size() == 2; }, std::chrono::seconds(30)));
  EXPECT_EQ(finishes, 1);
  EXPECT_FALSE(run_.AbortFlag());
  EXPECT_EQ(JournalLines().back(), kStarsLine);  // the run was complete: no abort line
}

// The console runner runs a saved configuration as AutoRun does; its journal lies beside
// the configuration file, and its temporary files go as well.
TEST_F(StandinRunTest, ConsoleRunnerRunsTheConfigurationFile) {
  InfobaseEntry e = AddInfobase("Консоль");
  SaveConfigFile();
  platform::Process runner;
  ASSERT_TRUE(runner.Start("\"" + BinFolder() + "\\zorvan_run.exe\" \"" + ConfigPath() + "\"", "",
                           platform::ShowWindow::Hidden));
  ASSERT_EQ(runner.Wait(60000), platform::WaitResult::Ended);
  EXPECT_EQ(runner.ExitCode(), 0u);
  Lines expected =
      WithHeader({}) + NameLines(e) +
      Lines{"    Сохранить данные (для формата DBF)", "Имя архива \"" + Archive("Консоль") + "\"",
            "Обработка завершена", kStarsLine};
  EXPECT_EQ(JournalLines(), expected);
  EXPECT_TRUE(platform::fs::FileExists(Archive("Консоль")));
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
