// A weekly schedule and a before-task added through their dialogs from the main window's
// tree, saved, and the file compared byte for byte with the same configuration made
// without a window.
#include "tests/app/dialog_operator.h"
#include "tests/app/window_fixture.h"
#include "tree/tree_commands.h"

namespace apptest {
namespace {

class ScheduleRoundTripTest : public WindowTest {
 protected:
  InfobaseTree& Model() { return window->Controller().Tree(); }
  widgets::TreeView& View() { return window->Tree().View(); }
  HWND TreeWindow() const { return Item(IDC_TREE); }

  void Enter(ItemHandle item) {
    View().Expand(Model().Item(item)->parent);
    View().Select(item);
    SetFocus(TreeWindow());
    PostMessageW(TreeWindow(), WM_KEYDOWN, VK_RETURN, 0);
    window->Pump();
  }
  void RightClick(ItemHandle item) {
    View().Expand(Model().Item(item)->parent);
    window->Pump();
    const RECT text = View().TextRect(item).value();
    const LPARAM at = MAKELPARAM(text.left + 4, (text.top + text.bottom) / 2);
    PostMessageW(TreeWindow(), WM_RBUTTONDOWN, MK_RBUTTON, at);
    PostMessageW(TreeWindow(), WM_RBUTTONUP, 0, at);
    window->Pump();
  }
};

TEST_F(ScheduleRoundTripTest, AWeeklyScheduleAndABeforeTaskAreSavedAsTheModelWould) {
  WriteConfig("m.cfg", GeneralOptions{});
  treeServices.popupMenu = [](const std::vector<MenuEntry>&, int, POINT) {
    return tree_command::kEdit;
  };
  Open("m.cfg");
  const ItemHandle placeholder = Model().Items().Children(Model().ScheduleRoot()).back();
  const SYSTEMTIME at{2026, 3, 1, 2, 2, 30, 0, 0};  // Monday, 2 March, 02:30
  DialogOperator op({
      {"Расписание",
       [&](HWND d) {
         ChooseInList(d, IDC_SCHEDULE_MODE, 1);
         Press(d, IDC_SCHEDULE_SUNDAY);
         Press(d, IDC_SCHEDULE_FRIDAY);
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
  Enter(placeholder);
  RightClick(Model().PreTaskItem());
  ASSERT_TRUE(op.Finished());

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
  ScheduleEntry entry;
  entry.name = weekly;
  entry.Mode = ScheduleMode::Weekly;
  entry.Days = 0x21;
  entry.Time = static_cast<uint32_t>(platform::FromLocalTime({2026, 3, 2, 2, 30, 0}).value());
  tree.ApplySchedule(entry);
  Configuration config;
  config.tasks.PreProcessFileName = "\"C:\\Program Files\\Сжатие\\pre.exe\"";
  config.tasks.PreProcessCmdLine = "/silent";
  ConfigurationSeams seams(registry, platform::SilentFileErrorReporter());
  seams.autoRun = true;
  SaveConfiguration(SaveTarget::CurrentFile, ConfigAt("expected.cfg"), config, tree, seams);
  EXPECT_EQ(Read(ConfigAt("m.cfg")), Read(ConfigAt("expected.cfg")));
  EXPECT_NE(Read(ConfigAt("m.cfg")).find(weekly), std::string::npos);  // the section name
}

}  // namespace
}  // namespace apptest
