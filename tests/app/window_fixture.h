// The real main window on a configuration file in a scratch folder, with the operator's
// answers scripted and the registry in memory; controls are driven by their ids.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <deque>
#include <memory>

#include "app/options_rules.h"
#include "app/win32/main_window.h"
#include "config/configuration.h"
#include "platform/registry.h"
#include "resources/app/resource.h"
#include "tests/support/programs.h"
#include "tests/support/scratch.h"
#include "tree/infobase_tree.h"
#include "widgets/win32/dialog_text.h"

namespace apptest {

using testsupport::Read;
using testsupport::ScratchFolder;

class WindowTest : public testing::Test {
 protected:
  WindowTest() { registry.CreateKey(platform::RegRoot::CurrentUser, "SOFTWARE\\Zorvan"); }
  ~WindowTest() override { window.reset(); }

  std::string ConfigAt(const std::string& name) const { return scratch / name; }

  // Saves a configuration (general options, one infobase added by hand and marked) the
  // way the window would.
  void WriteConfig(const std::string& name, const GeneralOptions& options,
                   const std::string& infobase = "") {
    InfobaseTree tree(nullptr, nullptr);
    tree.RebuildFromRegistry(registry);
    if (!infobase.empty()) {
      tree.ApplyInfobaseRecord({.entry = {.BaseName = "База", .path = infobase + "\\",
                                          .SaveData = 1, .Type = InfobaseType::AddedByHand},
                                .hasState = true, .State = 1});
    }
    Configuration config;
    config.options = options;
    ASSERT_GT(SaveModel(name, config, tree) + (infobase.empty() ? 1 : 0), 0);
  }
  // Saves a configuration made without a window, as the window saves it.
  int SaveModel(const std::string& name, const Configuration& config, const InfobaseTree& tree) {
    ConfigurationSeams seams(registry, platform::SilentFileErrorReporter());
    seams.autoRun = true;
    return SaveConfiguration(SaveTarget::CurrentFile, ConfigAt(name), config, tree, seams);
  }

  // A folder with the files of an infobase; ctl lines steer the stand-in.
  std::string MakeInfobase(const std::string& ctl) {
    const std::string base = scratch / "База";
    platform::fs::CreateFolder(base);
    testsupport::Write(base + "\\1cv7.md", "metadata");
    testsupport::Write(base + "\\1SCONST.DBF", "constants");
    if (!ctl.empty()) testsupport::Write(base + "\\standin.ctl", ctl);
    return base;
  }

  void Open(const std::string& name, bool autoRun = false) {
    app::MainWindowParams params;
    params.registry = &registry;
    params.folders = {scratch.path(), scratch.path(), {}};
    params.configPath = ConfigAt(name);
    params.autoRun = autoRun;
    params.services.ask = [this](const std::string& text) {
      questions.push_back(text);
      if (answers.empty()) return Answer::Cancel;
      const Answer a = answers.front();
      answers.pop_front();
      return a;
    };
    params.services.message = [this](const std::string& text) { messages.push_back(text); };
    params.services.confirmTask = [](const std::string&) { return false; };
    params.services.shutDown = [this] {
      ++shutdowns;
      return false;
    };
    params.services.chooseFile = [this](app::FileDialogKind, const std::string&) {
      return chosenFile;
    };
    params.services.tree = treeServices;
    window = std::make_unique<app::MainWindow>(std::move(params));
    ASSERT_TRUE(window->Create());
    window->Pump();
  }

  HWND Dialog() const { return window->Handle(); }
  HWND Item(int id) const { return GetDlgItem(Dialog(), id); }
  std::string Text(int id) const { return widgets::GetItemText(Dialog(), id); }
  std::string Title() const { return widgets::GetWindowText1251(Dialog()); }
  bool Checked(int id) const { return widgets::IsItemChecked(Dialog(), id); }
  bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }

  void SetText(int id, const std::string& text) {
    SetWindowTextW(Item(id), platform::Widen(text).c_str());
    window->Pump();
  }
  void Click(int id) {
    SendMessageW(Item(id), BM_CLICK, 0, 0);
    window->Pump();
  }
  void Command(int id) {
    SendMessageW(Dialog(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    window->Pump();
  }
  // A key as the keyboard delivers it to the control with the focus.
  void Key(int id, WPARAM key) {
    SetFocus(Item(id));
    PostMessageW(Item(id), WM_KEYDOWN, key, 0);
    window->Pump();
  }
  // Pumps until done() or about 60 s passed.
  template <typename Done>
  bool PumpUntil(Done done) {
    for (int i = 0; i < 6000 && !done(); ++i) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
      if (window->Handle() != nullptr) window->Pump();
    }
    return done();
  }

  // The infobase tree: its model, its control, and the operator's mouse and keys on it.
  InfobaseTree& Model() { return window->Controller().Tree(); }
  widgets::TreeView& View() { return window->Tree().View(); }
  HWND TreeWindow() const { return Item(IDC_TREE); }
  void Reveal(ItemHandle item) {  // its ancestors expanded
    for (ItemHandle p = Model().Item(item)->parent; p != kNoItem; p = Model().Item(p)->parent) {
      View().Expand(p);
    }
    window->Pump();
  }
  POINT TextOf(ItemHandle item) {
    Reveal(item);
    const RECT text = View().TextRect(item).value();
    return {text.left + 4, (text.top + text.bottom) / 2};
  }
  void Mouse(UINT down, UINT up, POINT p) {
    PostMessageW(TreeWindow(), down, down == WM_RBUTTONDOWN ? MK_RBUTTON : MK_LBUTTON,
                 MAKELPARAM(p.x, p.y));
    PostMessageW(TreeWindow(), up, 0, MAKELPARAM(p.x, p.y));
    window->Pump();
  }
  void RightClick(ItemHandle item) { Mouse(WM_RBUTTONDOWN, WM_RBUTTONUP, TextOf(item)); }
  void TreeKey(ItemHandle item, WPARAM key) {
    Reveal(item);
    View().Select(item);
    SetFocus(TreeWindow());
    PostMessageW(TreeWindow(), WM_KEYDOWN, key, 0);
    window->Pump();
  }

  Configuration Reload(const std::string& name) {
    Configuration config;
    InfobaseTree tree(nullptr, nullptr);
    ConfigurationSeams seams(registry, platform::SilentFileErrorReporter());
    LoadConfiguration(ConfigAt(name), config, tree, seams);
    return config;
  }

  ScratchFolder scratch;
  platform::MemoryRegistry registry;
  std::unique_ptr<app::MainWindow> window;
  std::deque<Answer> answers;
  std::vector<std::string> questions, messages;
  std::optional<std::string> chosenFile;
  app::TreePaneServices treeServices;
  int shutdowns = 0;
};

}  // namespace apptest
