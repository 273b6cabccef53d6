// An infobase added by hand through the tree's command and the real dialogs, saved by
// the window: the file equals the one the model alone writes. A copy keeping its title
// brings the duplicate message (the guarded prompt) and adds nothing.
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

TEST_F(JobDialogsTest, AddedInfobaseIsSavedAsTheModelSavesItAndACopyNeedsANewTitle) {
  WriteConfig("m.cfg", GeneralOptions{});
  Open("m.cfg");
  {
    DialogScript script({{IsJobDialog,
                          [](HWND d) {
                            const std::pair<int, const char*> typed[] = {
                                {IDC_JOB_TITLE, "Склад"},        {IDC_JOB_PATH, "D:\\Склад"},
                                {IDC_JOB_ARCHIVE_NAME, "sklad"}, {IDC_JOB_ARCHIVER, "rar.exe"},
                                {IDC_JOB_EXTENSION, ".rar"},     {IDC_JOB_PARAMETERS, "a -r"}};
                            for (const auto& [id, text] : typed) Type(d, id, text);
                            PostClick(d, IDC_JOB_FILE_ADD);
                          }},
                         [](HWND d) { Press(d, IDOK); },  // "*.*"
                         [](HWND d) { Press(d, IDOK); }});
    RunCommand(Model().UnregisteredGroup(), tree_command::kAdd);
    EXPECT_TRUE(script.Done());
  }
  Command(IDC_APPLY);
  EXPECT_TRUE(messages.empty());

  InfobaseTree expected(nullptr, nullptr);
  expected.RebuildFromRegistry(registry);
  expected.AddUnregistered(
      {.BaseName = "Склад", .path = "D:\\Склад", .ArchiveName = "sklad", .UseExternalArchiver = 1,
       .ExternalArchiverName = "rar.exe", .ExternalArchiveExtention = ".rar",
       .ExternalArchiverParameters = "a -r", .FileList = {"*.*"}, .Type = InfobaseType::AddedByHand},
      Mark::Marked);
  SaveModel("expected.cfg", window->Controller().Config(), expected);
  EXPECT_EQ(Read(ConfigAt("m.cfg")), Read(ConfigAt("expected.cfg")));

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
