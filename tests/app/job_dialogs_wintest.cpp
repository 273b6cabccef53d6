// The job parameters, repair settings and one-line input dialogs under Wine, driven by
// their control ids from inside their modal loops.
#include <gtest/gtest.h>

#include "app/win32/input_line_dlg.h"
#include "app/win32/job_parameters_dlg.h"
#include "resources/app/resource.h"
#include "tests/app/dialog_script.h"
#include "tests/support/scratch.h"

namespace apptest {
namespace {

bool Checked(HWND d, int id) { return widgets::IsItemChecked(d, id); }
std::string Text(HWND d, int id) { return widgets::GetItemText(d, id); }

InfobaseEntry Registered() {
  return {.BaseName = "Торговля", .path = "C:\\Base\\", .SaveData = 1, .Pack = 1};
}

TEST(JobParametersDialog, RegisteredEntryEditedAndAppliedOrCancelled) {
  for (const bool apply : {true, false}) {
    InfobaseEntry entry = Registered();
    DialogScript script({[&](HWND d) {
      EXPECT_FALSE(Enabled(d, IDOK));        // nothing changed yet
      SendMessageW(d, WM_COMMAND, IDOK, 0);  // Enter does not press it either
      EXPECT_TRUE(IsWindowVisible(d));
      Press(d, IDC_JOB_USE_ARCHIVER);
      EXPECT_FALSE(Checked(d, IDC_JOB_PACK) || Checked(d, IDC_JOB_SAVE));
      EXPECT_FALSE(Enabled(d, IDC_JOB_PACK) || Enabled(d, IDC_JOB_SAVE));
      for (int id : {IDC_JOB_USE_ARCHIVER, IDC_JOB_SAVE, IDC_JOB_EXCHANGE, IDC_JOB_UNLOAD}) {
        Press(d, id);
      }
      Type(d, IDC_JOB_PSWD_ZIP, "секрет");
      Press(d, apply ? IDOK : IDCANCEL);
    }});
    EXPECT_EQ(app::ShowJobParametersDialog(nullptr, entry), apply);
    EXPECT_TRUE(script.Done());
    InfobaseEntry expected = Registered();
    if (apply) {
      expected.Pack = 0;  // switched off with the archiver, not ticked again
      expected.UnloadData = expected.AutoExchange = 1;
      expected.ReadFrom = expected.WriteTo = "*";
      expected.PswdZIP = "секрет";
      expected.ArchiveName = "Торговля";
    }
    EXPECT_EQ(entry, expected) << apply;
  }
}

TEST(JobParametersDialog, ConfirmedRepairSettingsEnableApply) {
  InfobaseEntry entry = Registered();
  entry.Reindex = 1;
  entry.ArchiveName = "trade";
  DialogScript script({[](HWND d) {
                         EXPECT_FALSE(Enabled(d, IDOK));
                         PostClick(d, IDC_JOB_REPAIR_SETTINGS);
                       },
                       {"Настройка исправления информационной базы",
                        [](HWND d) {
                          EXPECT_TRUE(Enabled(d, IDC_REPAIR_LINKS_KEEP));
                          EXPECT_FALSE(Enabled(d, IDOK));
                          Press(d, IDC_REPAIR_TEST_ONLY);
                          EXPECT_FALSE(Enabled(d, IDC_REPAIR_LINKS_KEEP));
                          Press(d, IDOK);
                        }},
                       [](HWND d) {
                         EXPECT_FALSE(Checked(d, IDC_JOB_PACK) || Enabled(d, IDC_JOB_PACK));
                         EXPECT_TRUE(Enabled(d, IDOK));
                         Press(d, IDOK);
                       }});
  ASSERT_TRUE(app::ShowJobParametersDialog(nullptr, entry));
  EXPECT_EQ(entry.CheckAndRepairMode, 1);
  EXPECT_EQ(entry.Pack, 0);
}

TEST(JobParametersDialog, NewInfobaseByHandTakesTheListFileAndItsFolderAndArchiver) {
  testsupport::ScratchFolder scratch;
  testsupport::Write(scratch / "1CV7FILE.LST", "+1Cv7.MD\r\n+*.DBF\r\n");
  app::JobDialogServices services;
  services.enterprisePath = scratch / "1cv7s.exe";
  services.pickFolder = [](std::string& folder) {
    EXPECT_EQ(folder, "");
    folder = "D:\\Базы\\Склад";
    return true;
  };
  services.chooseArchiver = [](const std::string&) {
    return std::optional<std::string>("C:\\Program Files\\RAR\\Rar.exe");
  };
  InfobaseEntry entry;
  entry.Type = InfobaseType::AddedByHand;
  entry.UseExternalArchiver = 1;
  DialogScript script(
      {[](HWND d) {
         EXPECT_TRUE(Checked(d, IDC_JOB_USE_ARCHIVER));
         EXPECT_FALSE(Enabled(d, IDC_JOB_USE_ARCHIVER) || Enabled(d, IDOK));
         Press(d, IDC_JOB_PATH_CHOOSE);
         Press(d, IDC_JOB_ARCHIVER_CHOOSE);
         EXPECT_EQ(Text(d, IDC_JOB_TITLE) + "|" + Text(d, IDC_JOB_EXTENSION), "Склад|.rar");
         EXPECT_TRUE(Enabled(d, IDOK));
         Type(d, IDC_JOB_ARCHIVE_NAME, "sklad");
         Type(d, IDC_JOB_PARAMETERS, "a -r");
         SendDlgItemMessageW(d, IDC_JOB_FILE_LIST, LB_SETCURSEL, 0, 0);
         SendMessageW(d, WM_COMMAND, MAKEWPARAM(IDC_JOB_FILE_LIST, LBN_SELCHANGE), 0);
         SendMessageW(d, WM_VKEYTOITEM, MAKEWPARAM(VK_DELETE, 0),
                      reinterpret_cast<LPARAM>(GetDlgItem(d, IDC_JOB_FILE_LIST)));
         PostClick(d, IDC_JOB_FILE_ADD);
       },
       {"Введите имя файла или маску",
        [](HWND d) {
          EXPECT_EQ(Text(d, IDC_INPUT_LINE_TEXT), "*.*");
          Type(d, IDC_INPUT_LINE_TEXT, "Мои документы.txt");
          Press(d, IDOK);
        }},
       [](HWND d) { Press(d, IDOK); }});
  ASSERT_TRUE(app::ShowJobParametersDialog(nullptr, entry, services));
  EXPECT_EQ(entry.BaseName, "Склад");
  EXPECT_EQ(entry.path, "D:\\Базы\\Склад");
  EXPECT_EQ(entry.ExternalArchiverName, "\"C:\\Program Files\\RAR\\Rar.exe\"");
  EXPECT_EQ(entry.ArchiveName + "|" + entry.ExternalArchiverParameters, "sklad|a -r");
  EXPECT_EQ(entry.FileList, (std::vector<std::string>{"*.DBF", "Мои документы.txt"}));
}

TEST(InputLineDialog, EmptyTitleShowsTheProgramAndCancelKeepsTheText) {
  std::string text = "старый";
  std::string title;
  DialogScript script({[&](HWND d) {
    title = widgets::GetWindowText1251(d);
    Type(d, IDC_INPUT_LINE_TEXT, "новый");
    Press(d, IDCANCEL);
  }});
  EXPECT_FALSE(app::ShowInputLineDialog(nullptr, text, ""));
  EXPECT_EQ(title, "Zorvan");
  EXPECT_EQ(text, "старый");
}

}  // namespace
}  // namespace apptest
