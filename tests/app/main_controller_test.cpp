// The main window's commands driven through a recording view: naming and a file that
// could not be read (the window tests drive the rest through the real dialog).
#include "app/main_controller.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <random>

#include "platform/fs.h"
#include "platform/registry.h"

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
  void SendRunFinished() override {}
  void EnterRunning() override {}
  void LeaveRunning() override {}
  void ShowWindowAgain() override {}
  void CloseWindow() override {}
  bool ShutDown() override { return false; }

  int shown = 0;
  std::vector<std::string> messages, questions;
  std::deque<Answer> answers;
};

class MainControllerTest : public testing::Test {
 protected:
  // A unique folder name: natively the files named "<folder>\\x.cfg" lie beside the folder
  // (a backslash is an ordinary character there), so the clean-up takes every name
  // starting with it.
  MainControllerTest() {
    static int counter = 0;
    prefix = "zv-app-" + std::to_string(std::random_device{}()) + "-" + std::to_string(counter++);
    std::filesystem::create_directories(std::filesystem::temp_directory_path() / prefix);
    data = (std::filesystem::temp_directory_path() / prefix).string();
  }
  ~MainControllerTest() override {
    controller.reset();
    for (const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::temp_directory_path())) {
      if (entry.path().filename().string().rfind(prefix, 0) == 0) {
        std::filesystem::remove_all(entry.path());
      }
    }
  }

  MainController& Open(const std::string& name) {
    controller = std::make_unique<MainController>(view, registry, AppFolders{data, data, {}},
                                                  data + "\\" + name, false);
    controller->Open();
    return *controller;
  }
  bool Exists(const std::string& name) { return platform::fs::FileExists(data + "\\" + name); }

  std::string prefix, data;
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

}  // namespace
}  // namespace app
