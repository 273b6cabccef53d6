// An infobase added by hand through the tree's command and the real dialogs, saved by
// the window: the file equals the one the model alone writes. A copy keeping its title
// brings the duplicate message (the guarded prompt) and adds nothing.
#include "tests/app/dialog_script.h"
#include "tests/app/window_fixture.h"
#include "tree/tree_commands.h"

namespace apptest {
namespace {

using S = DialogScript;

bool IsJobDialog(HWND d) { return GetDlgItem(d, IDC_JOB_TITLE) != nullptr; }

class JobDialogsTest : public WindowTest {
 protected:
  InfobaseTree& Model() { return window->Controller().Tree(); }
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
    S script({[](HWND d) {
                if (!IsJobDialog(d)) return false;
                const std::pair<int, const char*> typed[] = {
                    {IDC_JOB_TITLE, "Склад"},        {IDC_JOB_PATH, "D:\\Склад"},
                    {IDC_JOB_ARCHIVE_NAME, "sklad"}, {IDC_JOB_ARCHIVER, "rar.exe"},
                    {IDC_JOB_EXTENSION, ".rar"},     {IDC_JOB_PARAMETERS, "a -r"}};
                for (const auto& [id, text] : typed) S::Type(d, id, text);
                S::PostClick(d, IDC_JOB_FILE_ADD);
                return true;
              },
              [](HWND d) {
                S::Click(d, IDOK);  // "*.*"
                return true;
              },
              [](HWND d) {
                S::Click(d, IDOK);
                return true;
              }});
    RunCommand(Model().UnregisteredGroup(), tree_command::kAdd);
    EXPECT_TRUE(script.Done());
  }
  Command(IDC_APPLY);
  EXPECT_TRUE(messages.empty());

  InfobaseTree expected(nullptr, nullptr);
  expected.RebuildFromRegistry(registry);
  InfobaseEntry e;
  e.BaseName = "Склад";
  e.path = "D:\\Склад";
  e.ArchiveName = "sklad";
  e.UseExternalArchiver = 1;
  e.ExternalArchiverName = "rar.exe";
  e.ExternalArchiveExtention = ".rar";
  e.ExternalArchiverParameters = "a -r";
  e.FileList = {"*.*"};
  e.Type = InfobaseType::AddedByHand;
  expected.AddUnregistered(e, Mark::Marked);
  ConfigurationSeams seams(registry, platform::SilentFileErrorReporter());
  seams.autoRun = true;
  SaveConfiguration(SaveTarget::CurrentFile, ConfigAt("expected.cfg"),
                    window->Controller().Config(), expected, seams);
  EXPECT_EQ(Read(ConfigAt("m.cfg")), Read(ConfigAt("expected.cfg")));

  std::string message;
  S script({[](HWND d) {
              if (!IsJobDialog(d)) return false;
              S::Type(d, IDC_JOB_PARAMETERS, "a -r -u");  // a change, the title kept
              S::Click(d, IDOK);
              return true;
            },
            [&](HWND d) {
              if (widgets::GetWindowText1251(d) != "Zorvan") return false;
              message = widgets::GetItemText(d, IDC_QUERY_TEXT);
              S::Click(d, IDOK);
              return true;
            }});
  const ItemHandle added = Model().Items().Children(Model().UnregisteredGroup()).at(0);
  RunCommand(added, tree_command::kCopy);
  EXPECT_TRUE(script.Done());
  EXPECT_EQ(message, "База данных с именем \"Склад\" уже существует!");
  EXPECT_EQ(Model().Items().Children(Model().UnregisteredGroup()).size(), 1u);
}

}  // namespace
}  // namespace apptest
