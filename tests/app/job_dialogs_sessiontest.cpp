// The tree's copy command through the real job dialog: a copy keeping its title brings the
// duplicate message (the guarded prompt) and adds nothing.
#include "tests/app/dialog_script.h"
#include "tests/app/window_fixture.h"
#include "tree/tree_commands.h"

namespace apptest {
namespace {

bool IsJobDialog(HWND d) { return GetDlgItem(d, IDC_JOB_TITLE) != nullptr; }

class JobDialogsTest : public WindowTest {
 protected:
  void RunCommand(ItemHandle item, int command) {
    window->Tree().Commands().RunMenuCommand(item, command);
    window->Tree().Sync();
    window->Pump();
  }
};

TEST_F(JobDialogsTest, ACopyKeepingItsTitleBringsTheDuplicateMessageAndAddsNothing) {
  InfobaseTree tree(nullptr, nullptr);
  tree.RebuildFromRegistry(registry);
  tree.AddUnregistered(
      {.BaseName = "Склад", .path = "D:\\Склад", .UseExternalArchiver = 1,
       .ExternalArchiverName = "rar.exe", .ExternalArchiveExtention = ".rar",
       .ExternalArchiverParameters = "a -r", .FileList = {"*.*"},
       .Type = InfobaseType::AddedByHand},
      Mark::Marked);
  SaveModel("m.cfg", Configuration{}, tree);
  Open("m.cfg");
  std::string message;
  DialogScript script({{IsJobDialog,
                        [](HWND d) {
                          Type(d, IDC_JOB_PARAMETERS, "a -r -u");  // a change, the title kept
                          Press(d, IDOK);
                        }},
                       {"Zorvan", [&](HWND d) {
                          message = widgets::GetItemText(d, IDC_QUERY_TEXT);
                          Press(d, IDOK);
                        }}});
  const ItemHandle added = Model().Items().Children(Model().UnregisteredGroup()).at(0);
  RunCommand(added, tree_command::kCopy);
  EXPECT_TRUE(script.Done());
  EXPECT_EQ(message, "База данных с именем \"Склад\" уже существует!");
  EXPECT_EQ(Model().Items().Children(Model().UnregisteredGroup()).size(), 1u);
}

}  // namespace
}  // namespace apptest
