// The main window's commands driven through a recording view: naming, Save As names,
// closing with and without saving, a file that could not be read.
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
  MainControllerTest() {
    auto base = std::filesystem::temp_directory_path() /
                ("zv-app-" + std::to_string(reinterpret_cast<uintptr_t>(this)) + "-" +
                 std::to_string(std::random_device{}()));  // parallel test programs
    std::filesystem::create_directories(base);
    data = base.string();
  }
  ~MainControllerTest() override { std::filesystem::remove_all(data); }

  MainController& Open(const std::string& name) {
    controller = std::make_unique<MainController>(view, registry, AppFolders{data, data, {}},
                                                  data + "\\" + name, false);
    controller->Open();
    return *controller;
  }
  bool Exists(const std::string& name) { return platform::fs::FileExists(data + "\\" + name); }

  std::string data;
  FakeView view;
  platform::MemoryRegistry registry;
  std::unique_ptr<MainController> controller;
};

TEST_F(MainControllerTest, NamingOpensTheTypedConfigurationAndEscKeepsTheOldOne) {
  MainController& c = Open("default.cfg");
  c.Config().options.CopyCount = 7;
  ASSERT_TRUE(c.NewConfiguration());
  c.EndNaming("weekly", false);
  EXPECT_EQ(c.DisplayName(), "default.cfg");
  c.EndNaming("weekly", true);
  EXPECT_EQ(c.DisplayName(), "weekly.cfg");
  EXPECT_EQ(c.Config().options.CopyCount, 7u);  // the options stay as they were
  EXPECT_FALSE(c.Modified());
  EXPECT_FALSE(Exists("weekly.cfg"));  // written only by the next save
  c.Save();
  EXPECT_TRUE(Exists("weekly.cfg"));
}

TEST_F(MainControllerTest, SaveAsAppendsTheExtensionUnlessPresentInAnyCase) {
  MainController& c = Open("default.cfg");
  struct Case {
    const char* chosen;
    const char* written;
  } cases[] = {{"nightly", "nightly.cfg"}, {"x.CFG", "x.CFG"}, {"y.cfg", "y.cfg"}};
  for (const Case& k : cases) {
    c.SaveAs(data + "\\" + k.chosen);
    EXPECT_TRUE(Exists(k.written)) << k.chosen;
    EXPECT_EQ(c.DisplayName(), k.written);
  }
}

TEST_F(MainControllerTest, CloseAsksOnlyWhenModifiedAndCancelStays) {
  struct Case {
    bool modified;
    std::deque<Answer> answers;
    CloseResult result;
    bool saved;
  } cases[] = {
      {false, {}, CloseResult::Close, false},
      {true, {Answer::Cancel}, CloseResult::Stay, false},
      {true, {Answer::No}, CloseResult::Close, false},
      {true, {Answer::Yes}, CloseResult::Close, true},
  };
  for (const Case& k : cases) {
    std::filesystem::remove(data + "\\c.cfg");
    MainController& c = Open("c.cfg");
    c.SetModified(k.modified);
    view.answers = k.answers;
    view.questions.clear();
    EXPECT_EQ(c.Close(), k.result);
    EXPECT_EQ(view.questions.size(), k.modified ? 1u : 0u);
    EXPECT_EQ(Exists("c.cfg"), k.saved);
  }
}

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
