// The main window's commands driven through a recording view: naming and a file that
// could not be read (the window tests drive the rest through the real dialog).
#include "app/main_controller.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <thread>

#include "config/run_record.h"
#include "platform/fs.h"
#include "platform/registry.h"
#include "tests/support/scratch.h"

namespace app {
namespace {

class FakeView : public MainView {
 public:
  void ShowFields() override { ++shown; }
  void TakeFields() override {}
  void ShowTree() override {}
  void ShowStatus(const std::string&) override {}
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  Answer Ask(const std::string& text) override {
    questions.push_back(text);
    if (answers.empty()) return Answer::Cancel;
    Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  void ReportFileError(const platform::FileError& e) override { messages.push_back(e.message); }
  bool ConfirmTask(const std::string&) override { return false; }
  void SendJobStarted(const InfobaseEntry&) override {}
  void SendRunFinished() override { finished = true; }
  void EnterRunning() override {}
  void LeaveRunning() override {}
  void ShowWindowAgain() override {}
  void CloseWindow() override {}
  bool ShutDown() override { return false; }

  int shown = 0;
  std::atomic<bool> finished{false};
  std::vector<std::string> messages, questions;
  std::deque<Answer> answers;
};

class MainControllerTest : public testing::Test {
 protected:
  MainController& Open(const std::string& name, bool autoRun = false) {
    controller = std::make_unique<MainController>(view, registry, AppFolders{data, data, {}},
                                                  data + "\\" + name, autoRun);
    controller->Open();
    return *controller;
  }

  testsupport::ScratchFolder scratch;
  std::string data = scratch.path();
  FakeView view;
  platform::MemoryRegistry registry;
  std::unique_ptr<MainController> controller;
};

TEST_F(MainControllerTest, AFileThatCouldNotBeReadIsNotWrittenOverWithoutAsking) {
  const std::string path = data + "\\damaged.cfg";
  platform::fs::WriteWholeFile(path, "not a configuration file");
  MainController& c = Open("damaged.cfg");
  ASSERT_EQ(view.messages.size(), 1u);
  view.answers = {Answer::No};
  c.Save();
  EXPECT_EQ(platform::fs::ReadWholeFile(path), "not a configuration file");
  view.answers = {Answer::Yes};
  c.Save();
  EXPECT_EQ(ProbeConfigFile(path), ConfigFileState::Readable);
  view.questions.clear();
  c.Save();  // readable now: no more question
  EXPECT_TRUE(view.questions.empty());
}

// An unattended run of a file that is no configuration fails at once: it still leaves its
// record, and the status line shows it.
TEST_F(MainControllerTest, AnUnattendedRunThatCouldNotReadItsFileIsRecorded) {
  const std::string path = data + "\\damaged.cfg";
  platform::fs::WriteWholeFile(path, "not a configuration file");
  Open("damaged.cfg", true).Run();
  for (int i = 0; i < 6000 && !view.finished; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_TRUE(view.finished);
  controller->OnRunFinished();
  const std::vector<runs::RunRecord> records = runs::ReadRecords(registry, path);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_TRUE(records[0].unattended);
  EXPECT_TRUE(records[0].unreadable);
  EXPECT_EQ(records[0].infobasesRun, 0u);
  EXPECT_EQ(controller->Status().rfind("Последний запуск ", 0), 0u);
  EXPECT_TRUE(controller->Status().ends_with(": не выполнен: файл настройки не прочитан"))
      << controller->Status();
}

}  // namespace
}  // namespace app
