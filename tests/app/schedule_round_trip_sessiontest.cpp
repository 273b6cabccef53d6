// A weekly schedule (through each mode's layout of the dialog) and a before-task added
// through their dialogs from the main window's tree, saved, and the file compared byte for byte
// with the same configuration made without a window.
#include "tests/app/dialog_script.h"
#include "tests/app/window_fixture.h"
#include "tree/tree_commands.h"

namespace apptest {
namespace {

bool Visible(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }
int Height(HWND dialog) {
  RECT r;
  GetClientRect(dialog, &r);
  return r.bottom;
}

using ScheduleRoundTripTest = WindowTest;

TEST_F(ScheduleRoundTripTest, AWeeklyScheduleAndABeforeTaskAreSavedAsTheModelWould) {
  WriteConfig("m.cfg", GeneralOptions{});
  treeServices.popupMenu = [](const std::vector<MenuEntry>&, int, POINT) {
    return tree_command::kEdit;
  };
  Open("m.cfg");
  const ItemHandle placeholder = Model().Items().Children(Model().ScheduleRoot()).back();
  const SYSTEMTIME at{2026, 3, 1, 2, 2, 30, 0, 0};  // Monday, 2 March, 02:30
  DialogScript op({
      {"Расписание",
       [&](HWND d) {
         // Each mode's layout: the weekdays (full height) only every week, the time not at
         // start-up; a weekday is needed, and the weekdays keep their ticks across modes.
         const int compact = Height(d);
         EXPECT_FALSE(apptest::Enabled(d, IDOK) || apptest::Enabled(d, IDC_SCHEDULE_TIME));
         ChooseInList(d, IDC_SCHEDULE_MODE, 1);
         const int full = Height(d);
         EXPECT_GT(full, compact);
         EXPECT_TRUE(Visible(d, IDC_SCHEDULE_SUNDAY) && apptest::Enabled(d, IDC_SCHEDULE_TIME));
         EXPECT_FALSE(apptest::Enabled(d, IDOK));
         Press(d, IDC_SCHEDULE_SUNDAY);
         Press(d, IDC_SCHEDULE_FRIDAY);
         EXPECT_TRUE(apptest::Enabled(d, IDOK));
         const std::string shown = widgets::GetItemText(d, IDC_SCHEDULE_DESCRIPTION);
         EXPECT_NE(shown.find(",  каждую неделю по Вс, Пт"), std::string::npos) << shown;
         ChooseInList(d, IDC_SCHEDULE_MODE, 2);
         EXPECT_EQ(Height(d), compact);
         ChooseInList(d, IDC_SCHEDULE_MODE, 3);
         EXPECT_TRUE(Visible(d, IDC_SCHEDULE_ONCE) && !apptest::Enabled(d, IDC_SCHEDULE_TIME));
         ChooseInList(d, IDC_SCHEDULE_MODE, 1);
         EXPECT_EQ(Height(d), full);
         SendDlgItemMessageW(d, IDC_SCHEDULE_TIME, DTM_SETSYSTEMTIME, GDT_VALID,
                             reinterpret_cast<LPARAM>(&at));
         Press(d, IDOK);
       }},
      {"Дополнительная задача",
       [](HWND d) {
         Type(d, IDC_TASK_PROGRAM, "\"C:\\Program Files\\Сжатие\\pre.exe\"");
         Type(d, IDC_TASK_COMMAND_LINE, "/silent ");
         Press(d, IDOK);
       }},
  });
  TreeKey(placeholder, VK_RETURN);
  RightClick(Model().PreTaskItem());
  ASSERT_TRUE(op.Done());

  const std::vector<ItemHandle> schedules = Model().Items().Children(Model().ScheduleRoot());
  ASSERT_EQ(schedules.size(), 2u);
  const std::string weekly = "В 02:30,  каждую неделю по Вс, Пт";
  EXPECT_EQ(View().ReadBack(schedules[0])->text, weekly);
  EXPECT_EQ(View().ReadBack(Model().PreTaskItem())->text,
            "\"C:\\Program Files\\Сжатие\\pre.exe\" /silent");
  EXPECT_EQ(Title(), std::string(app::kWindowTitle) + "*");
  Command(IDC_APPLY);
  EXPECT_TRUE(messages.empty());

  InfobaseTree tree(nullptr, nullptr);
  tree.RebuildFromRegistry(registry);
  tree.ApplySchedule(
      {.name = weekly, .Days = 0x21, .Mode = ScheduleMode::Weekly,
       .Time = static_cast<uint32_t>(platform::FromLocalTime({2026, 3, 2, 2, 30, 0}).value())});
  Configuration config;
  config.tasks.PreProcessFileName = "\"C:\\Program Files\\Сжатие\\pre.exe\"";
  config.tasks.PreProcessCmdLine = "/silent";
  SaveModel("expected.cfg", config, tree);
  EXPECT_EQ(Read(ConfigAt("m.cfg")), Read(ConfigAt("expected.cfg")));
  EXPECT_NE(Read(ConfigAt("m.cfg")).find(weekly), std::string::npos);  // the section name
}

}  // namespace
}  // namespace apptest
