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
#include "tests/app/dialog_operator.h"
#include "tests/support/scratch.h"

namespace {

using apptest::DialogOperator;
using apptest::Press;
using apptest::Type;
using widgets::GetItemText;

constexpr char kSchedule[] = "Расписание";
constexpr char kTask[] = "Дополнительная задача";

bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
bool Visible(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }
int Height(HWND dialog) {
  RECT r;
  GetClientRect(dialog, &r);
  return r.bottom;
}
void SetPicker(HWND dialog, WORD hour, WORD minute) {
  SYSTEMTIME t{2026, 3, 1, 2, hour, minute, 0, 0};  // Monday, 2 March
  SendDlgItemMessageW(dialog, IDC_SCHEDULE_TIME, DTM_SETSYSTEMTIME, GDT_VALID,
                      reinterpret_cast<LPARAM>(&t));
}
uint32_t Seconds(int hour, int minute) {
  return static_cast<uint32_t>(platform::FromLocalTime({2026, 3, 2, hour, minute, 0}).value());
}

TEST(ScheduleDialog, AWeeklyScheduleFromTheNewScheduleItemWithTheLayoutOfEachMode) {
  ScheduleEntry entry;
  entry.name = "Новое расписание";
  int compact = 0, full = 0;
  DialogOperator op(
      {{kSchedule, [&](HWND d) {
          compact = Height(d);
          EXPECT_FALSE(Enabled(d, IDOK) || Enabled(d, IDC_SCHEDULE_TIME));
          apptest::ChooseInList(d, IDC_SCHEDULE_MODE, 1);
          full = Height(d);
          EXPECT_TRUE(Visible(d, IDC_SCHEDULE_SUNDAY) && Enabled(d, IDC_SCHEDULE_TIME));
          EXPECT_FALSE(Enabled(d, IDOK));  // no weekday yet
          Press(d, IDC_SCHEDULE_MONDAY);
          Press(d, IDC_SCHEDULE_SUNDAY);
          EXPECT_TRUE(Enabled(d, IDOK));
          const std::string shown = GetItemText(d, IDC_SCHEDULE_DESCRIPTION);
          EXPECT_NE(shown.find(",  каждую неделю по Вс, Пн"), std::string::npos) << shown;
          // Monthly and back: compact without the weekdays, which keep their ticks.
          apptest::ChooseInList(d, IDC_SCHEDULE_MODE, 2);
          EXPECT_EQ(Height(d), compact);
          apptest::ChooseInList(d, IDC_SCHEDULE_MODE, 3);
          EXPECT_TRUE(Visible(d, IDC_SCHEDULE_ONCE) && !Enabled(d, IDC_SCHEDULE_TIME));
          apptest::ChooseInList(d, IDC_SCHEDULE_MODE, 1);
          EXPECT_EQ(Height(d), full);
          SetPicker(d, 2, 30);
          Press(d, IDOK);
        }}});
  ASSERT_TRUE(app::ShowScheduleDialog(nullptr, entry));
  EXPECT_TRUE(op.Finished());
  EXPECT_GT(full, compact);
  EXPECT_EQ(entry.name, "В 02:30,  каждую неделю по Вс, Пн");
  EXPECT_EQ(entry.Days, 3);
  EXPECT_EQ(entry.Time, Seconds(2, 30));  // the date is the picker's as well
  EXPECT_EQ(entry.Date, 1);
}

TEST(ScheduleDialog, AnInvalidDayKeepsTheDialogOpenAndCancelKeepsTheEntry) {
  ScheduleEntry monthly;
  monthly.name = "old";
  monthly.Mode = ScheduleMode::Monthly;
  monthly.Date = 5;
  monthly.Days = 0x41;
  monthly.Time = Seconds(23, 15);
  ScheduleEntry entry = monthly;
  std::string message;
  DialogOperator op({
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
  DialogOperator cancel({{kSchedule, [](HWND d) {
                            apptest::ChooseInList(d, IDC_SCHEDULE_MODE, 0);
                            Press(d, IDCANCEL);
                          }}});
  EXPECT_FALSE(app::ShowScheduleDialog(nullptr, entry));
  EXPECT_EQ(entry, monthly);
}

TEST(AdditionalTaskDialog, ChoosingAndTypingChangeOnlyThisTaskAndCancelKeepsBoth) {
  const AdditionalTasks stored{"C:\\pre.exe  ", "post.exe", " /q", "/p"};
  AdditionalTasks tasks = stored;
  std::string chooserStart;
  const app::ProgramChooser chooser = [&](HWND, const std::string& start) {
    chooserStart = start;
    return std::optional<std::string>("C:\\Program Files\\Tool\\run.exe");
  };
  DialogOperator op({{kTask, [](HWND d) {
                        EXPECT_EQ(GetItemText(d, IDC_TASK_HEADING),
                                  "До начала выполнения заданий запустить приложение:");
                        EXPECT_EQ(GetItemText(d, IDC_TASK_PROGRAM), "C:\\pre.exe");
                        EXPECT_EQ(GetItemText(d, IDC_TASK_COMMAND_LINE), "/q");
                        EXPECT_FALSE(Enabled(d, IDOK));
                        Press(d, IDC_TASK_CHOOSE);
                        EXPECT_EQ(GetItemText(d, IDC_TASK_PROGRAM),
                                  "\"C:\\Program Files\\Tool\\run.exe\"");
                        EXPECT_TRUE(Enabled(d, IDOK));
                        Type(d, IDC_TASK_COMMAND_LINE, "/x  ");
                        Press(d, IDOK);
                      }}});
  ASSERT_TRUE(app::ShowAdditionalTaskDialog(nullptr, false, tasks, chooser));
  EXPECT_EQ(chooserStart, "C:\\pre.exe");
  EXPECT_EQ(tasks,
            (AdditionalTasks{"\"C:\\Program Files\\Tool\\run.exe\"", "post.exe", "/x", "/p"}));

  tasks = stored;
  DialogOperator cancel({{kTask, [](HWND d) {
                            EXPECT_EQ(GetItemText(d, IDC_TASK_HEADING),
                                      "После выполнения заданий запустить приложение:");
                            Type(d, IDC_TASK_PROGRAM, "");
                            Type(d, IDC_TASK_COMMAND_LINE, "");
                            EXPECT_TRUE(Enabled(d, IDOK));
                            Press(d, IDCANCEL);
                          }}});
  EXPECT_FALSE(app::ShowAdditionalTaskDialog(nullptr, true, tasks, chooser));
  EXPECT_EQ(tasks, stored);
}

// The system's file dialog: the chosen file's path comes back whole, blanks and all.
TEST(AdditionalTaskDialog, TheProgramFileDialogReturnsTheChosenFile) {
  testsupport::ScratchFolder scratch;
  const std::string folder = scratch / "Мои программы";
  platform::fs::CreateFolder(folder);
  const std::string program = folder + "\\run.exe";
  testsupport::Write(program, "MZ");
  DialogOperator op({{"Выберите исполняемый файл", [&](HWND d) {
                        HWND name = GetDlgItem(d, 0x480);  // the file name edit
                        if (name == nullptr) name = GetDlgItem(d, 0x47c);
                        SetWindowTextW(name, platform::Widen(program).c_str());
                        PostMessageW(d, WM_COMMAND, IDOK, 0);
                      }}});
  EXPECT_EQ(app::ChooseProgramFile(nullptr, "Выберите исполняемый файл", "C:\\old.exe"), program);
  EXPECT_TRUE(op.Finished());
}

}  // namespace
