// The schedule and additional task dialogs under Wine, driven by their control ids: what
// they show and enable while edited, and what "Применить" and "Отмена" leave in the
// entry or the tasks.
#include <windows.h>
// after windows.h
#include <commctrl.h>
#include <gtest/gtest.h>

#include "app/schedule_form.h"
#include "app/win32/program_file_dialog.h"
#include "app/win32/schedule_dlg.h"
#include "app/win32/task_dlg.h"
#include "platform/codepage.h"
#include "platform/fs.h"
#include "resources/app/resource.h"
#include "tests/app/dialog_script.h"
#include "tests/support/scratch.h"

namespace {

using namespace apptest;
using widgets::GetItemText;

constexpr char kSchedule[] = "Расписание";
constexpr char kTask[] = "Дополнительная задача";

uint32_t Seconds(int hour, int minute) {
  return static_cast<uint32_t>(platform::FromLocalTime({2026, 3, 2, hour, minute, 0}).value());
}

TEST(ScheduleDialog, AnInvalidDayKeepsTheDialogOpenAndCancelKeepsTheEntry) {
  const ScheduleEntry monthly{.name = "old", .Days = 0x41, .Mode = ScheduleMode::Monthly,
                              .Time = Seconds(23, 15), .Date = 5};
  ScheduleEntry entry = monthly;
  std::string message;
  DialogScript op({
      {kSchedule,
       [&](HWND d) {
         EXPECT_EQ(GetItemText(d, IDC_SCHEDULE_DESCRIPTION), "В 23:15, 5 числа каждого месяца");
         Type(d, IDC_SCHEDULE_DAY, "45");
         Press(d, IDOK);  // the range message opens inside this click
       }},
      {"Zorvan",
       [&](HWND box) {
         message = GetItemText(box, 0xFFFF);
         PostMessageW(box, WM_COMMAND, IDOK, 0);
       }},
      {kSchedule,
       [&](HWND d) {
         EXPECT_EQ(GetFocus(), GetDlgItem(d, IDC_SCHEDULE_DAY));
         Type(d, IDC_SCHEDULE_DAY, "15");
         Press(d, IDOK);
       }},
  });
  ASSERT_TRUE(app::ShowScheduleDialog(nullptr, entry));
  EXPECT_EQ(message, app::kDayRangeMessage);
  EXPECT_EQ(entry.name, "В 23:15, 15 числа каждого месяца");
  EXPECT_EQ(entry.Date, 15);
  EXPECT_EQ(entry.Days, 0x41);  // the other modes' values stay
  EXPECT_EQ(entry.Time, monthly.Time);

  entry = monthly;
  DialogScript cancel({{kSchedule, [](HWND d) {
                          ChooseInList(d, IDC_SCHEDULE_MODE, 0);
                          Press(d, IDCANCEL);
                        }}});
  EXPECT_FALSE(app::ShowScheduleDialog(nullptr, entry));
  EXPECT_EQ(entry, monthly);
}

// What "Применить" writes: the round trip through the main window and the form's tests.
TEST(AdditionalTaskDialog, TheChooserStartsFromTheProgramAndCancelKeepsTheTasks) {
  const AdditionalTasks stored{"C:\\pre.exe  ", "post.exe", " /q", "/p"};
  AdditionalTasks tasks = stored;
  std::string chooserStart;
  const app::ProgramChooser chooser = [&](HWND, const std::string& start) {
    chooserStart = start;
    return std::optional<std::string>("C:\\Program Files\\Tool\\run.exe");
  };
  DialogScript op(
      {{kTask, [](HWND d) {
          EXPECT_EQ(GetItemText(d, IDC_TASK_PROGRAM) + "|" + GetItemText(d, IDC_TASK_COMMAND_LINE),
                    "C:\\pre.exe|/q");
          EXPECT_FALSE(Enabled(d, IDOK));
          Press(d, IDC_TASK_CHOOSE);
          EXPECT_EQ(GetItemText(d, IDC_TASK_PROGRAM), "\"C:\\Program Files\\Tool\\run.exe\"");
          EXPECT_TRUE(Enabled(d, IDOK));
          Press(d, IDCANCEL);
        }}});
  EXPECT_FALSE(app::ShowAdditionalTaskDialog(nullptr, false, tasks, chooser));
  EXPECT_EQ(chooserStart, "C:\\pre.exe");
  EXPECT_EQ(tasks, stored);
}

// The system's file dialog: the chosen file's path comes back whole, blanks and all.
TEST(AdditionalTaskDialog, TheProgramFileDialogReturnsTheChosenFile) {
  testsupport::ScratchFolder scratch;
  const std::string folder = scratch / "Мои программы";
  platform::fs::CreateFolder(folder);
  const std::string program = folder + "\\run.exe";
  testsupport::Write(program, "MZ");
  DialogScript op({{"Выберите исполняемый файл", [&](HWND d) {
                      HWND name = GetDlgItem(d, 0x480);  // the file name edit
                      if (name == nullptr) name = GetDlgItem(d, 0x47c);
                      SetWindowTextW(name, platform::Widen(program).c_str());
                      PostMessageW(d, WM_COMMAND, IDOK, 0);
                    }}});
  EXPECT_EQ(app::ChooseProgramFile(nullptr, "Выберите исполняемый файл", "C:\\old.exe"), program);
  EXPECT_TRUE(op.Done());
}

}  // namespace
