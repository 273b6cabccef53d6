// The infobase tree on the real control inside the main window: marks by click and
// Space, the context menus, the in-place password, the user-name pop-up from a users
// file, and configurations built in the tree, saved and loaded again.
#include <windowsx.h>

#include "tests/app/window_fixture.h"
#include "tests/config/config_fixture.h"
#include "tests/tree/compound_file.h"
#include "tree/tree_commands.h"

namespace apptest {
namespace {

using widgets::TreeViewItem;

class TreeControlTest : public WindowTest {
 protected:
  TreeControlTest() {
    a = Folder("Бух");
    b = Folder("Склад");
    fixture::RegisterInfobases(registry, {{a, "Бухгалтерия"}, {b, "Склад"}});
  }

  std::string Folder(const std::string& name) {
    const std::string folder = scratch / name;
    platform::fs::CreateFolder(folder);
    platform::fs::CreateFolder(folder + "\\usrdef");
    return folder + "\\";
  }

  // A configuration made through the model: what the tests start from.
  void WriteModelConfig(const std::string& name,
                        const std::function<void(InfobaseTree&, Configuration&)>& build) {
    InfobaseTree tree(fixture::NoUsers(), nullptr);
    Configuration config;
    tree.RebuildFromRegistry(registry);
    config.options.BinaryDirectory = Enterprise();
    build(tree, config);
    SaveModel(name, config, tree);
  }
  std::string Enterprise() {
    const std::string path = scratch / "1cv7s.exe";
    testsupport::Write(path, "MZ");
    return path;
  }
  static void GiveJobs(InfobaseTree& tree, const std::string& path) {
    InfobaseEntry e = *tree.FindInfobase(fixture::ItemOf(tree, path));
    e.SaveData = 1;
    e.UserName = "Admin";
    tree.StoreInfobase(e);
  }

  ItemHandle Base(const std::string& path) { return fixture::ItemOf(Model(), path); }
  ItemHandle Child(ItemHandle parent, ItemKind kind) {
    return Model().Items().FirstChild(parent, kind);
  }
  TreeViewItem Shown(ItemHandle item) { return View().ReadBack(item).value_or(TreeViewItem{}); }
  int ShownMark(ItemHandle item) { return Shown(item).stateImage - 1; }

  POINT StateBox(ItemHandle item) {
    Reveal(item);
    const RECT text = View().TextRect(item).value();
    POINT p{text.left - 24, (text.top + text.bottom) / 2};  // left of the 16-pixel picture
    UINT flags = 0;
    EXPECT_EQ(View().HitTest(p, &flags), item);
    EXPECT_TRUE(flags & TVHT_ONITEMSTATEICON);
    return p;
  }
  void ClickBox(ItemHandle item) { Mouse(WM_LBUTTONDOWN, WM_LBUTTONUP, StateBox(item)); }
  // Types into the open in-place edit and ends it with a key.
  void TypeInPlace(const std::string& text, WPARAM key) {
    HWND edit = View().EditControl();
    ASSERT_NE(edit, nullptr);
    SetWindowTextW(edit, platform::Widen(text).c_str());
    PostMessageW(edit, WM_KEYDOWN, key, 0);
    window->Pump();
  }

  // The pop-up menus: what they offered, and the command to choose next (0: dismiss).
  void ChooseFromMenus() {
    treeServices.popupMenu = [this](const std::vector<MenuEntry>& entries, int defaultCommand,
                                    POINT) {
      menus.push_back(entries);
      defaults.push_back(defaultCommand);
      return choice;
    };
  }

  std::string a, b;
  std::vector<std::vector<MenuEntry>> menus;
  std::vector<int> defaults;
  int choice = 0;
};

TEST_F(TreeControlTest, MarksByClickAndSpaceOnInfobasesAndGroups) {
  WriteModelConfig("m.cfg", [&](InfobaseTree& tree, Configuration&) { GiveJobs(tree, a); });
  Open("m.cfg");
  const ItemHandle group = Model().LocalGroup(), first = Base(a), second = Base(b);
  EXPECT_FALSE(View().Expanded(group));  // collapsed after every rebuild
  EXPECT_EQ(Shown(group), (TreeViewItem{"Локальные", tree_image::kLocalGroup, 1}));
  EXPECT_EQ(Shown(first).image, tree_image::kLocalBase);
  struct Step {
    const char* what;
    ItemHandle item;
    bool click;  // else Space
    int first, second, group;
  } steps[] = {
      {"click the first", first, true, 1, 0, 2},
      {"Space on the second (no job: red)", second, false, 1, 3, 4},
      {"Space on the group unmarks all", group, false, 0, 0, 0},
      {"click the group marks all", group, true, 1, 3, 4},
      {"click the second unmarks it", second, true, 1, 0, 2},
  };
  for (const Step& s : steps) {
    s.click ? ClickBox(s.item) : TreeKey(s.item, VK_SPACE);
    EXPECT_EQ(ShownMark(first), s.first) << s.what;
    EXPECT_EQ(ShownMark(second), s.second) << s.what;
    EXPECT_EQ(ShownMark(group), s.group) << s.what;
    EXPECT_EQ(static_cast<int>(Model().GetMark(group)), s.group) << s.what;
    EXPECT_TRUE(IsWindowEnabled(Dialog())) << s.what;
  }
  EXPECT_EQ(Title(), std::string(app::kWindowTitle) + "*");
  EXPECT_EQ(Shown(Child(first, ItemKind::ParametersItem)).image, tree_image::kParametersChosen);
  EXPECT_EQ(Shown(Child(second, ItemKind::ParametersItem)).image, tree_image::kParameters);

  Command(IDC_APPLY);  // Space on an item without a box is no change
  TreeKey(Model().ScheduleRoot(), VK_SPACE);
  EXPECT_EQ(Title(), app::kWindowTitle);
  EXPECT_EQ(Text(IDC_SELECTED_PATH), "");
  TreeKey(Child(first, ItemKind::PasswordItem), VK_SPACE);
  EXPECT_EQ(Text(IDC_SELECTED_PATH), a);  // the selection names its infobase's folder
}

TEST_F(TreeControlTest, ContextMenusOfferAndRunTheirCommands) {
  WriteModelConfig("m.cfg", [&](InfobaseTree& tree, Configuration& config) {
    for (const char* name : {"02:00 каждый день", "Пн 03:00"}) {
      tree.ApplySchedule({.name = name, .Mode = ScheduleMode::Daily});
    }
    config.tasks.PreProcessFileName = "C:\\pre.exe";
    InfobaseRecord byHand{.entry = {.BaseName = "Ручная",
                                    .path = "F:\\Manual\\",
                                    .SaveData = 1,
                                    .Type = InfobaseType::AddedByHand}};
    tree.ApplyInfobaseRecord(byHand);
  });
  ChooseFromMenus();
  Open("m.cfg");
  const std::vector<ItemHandle> schedules = Model().Items().Children(Model().ScheduleRoot());
  ASSERT_EQ(schedules.size(), 3u);
  const ItemHandle manual = Model().Items().Children(Model().UnregisteredGroup())[0];
  const ItemHandle placeholder = schedules[2];

  RightClick(Base(a));  // a registered infobase has no menu
  RightClick(placeholder);
  EXPECT_EQ(View().Selected(), placeholder);
  choice = tree_command::kDelete;
  RightClick(schedules[0]);
  RightClick(Model().PostTaskItem());
  RightClick(manual);
  choice = 0;
  RightClick(Model().UnregisteredGroup());
  ASSERT_EQ(menus.size(), 5u);        // none for the registered infobase
  EXPECT_TRUE(menus[0][0].enabled);   // "Добавить" opens the schedule dialog
  EXPECT_EQ(menus[4].size(), 1u);     // its last infobase is gone: no "Удалить все"
  EXPECT_FALSE(View().Contains(schedules[0]));
  EXPECT_EQ(Shown(Model().PostTaskItem()),
            (TreeViewItem{"<Не задано ...>", tree_image::kPostTask, 0}));
  EXPECT_EQ(window->Controller().Config().tasks.PreProcessFileName, "C:\\pre.exe");
  EXPECT_FALSE(View().Contains(manual));
  EXPECT_EQ(Shown(Model().UnregisteredGroup()).stateImage, 0);  // no box left
  TreeKey(schedules[1], VK_DELETE);
  TreeKey(placeholder, VK_DELETE);  // the placeholder stays
  EXPECT_EQ(Model().Items().Children(Model().ScheduleRoot()), std::vector<ItemHandle>{placeholder});
  EXPECT_TRUE(View().Contains(placeholder));
  EXPECT_EQ(Title(), std::string(app::kWindowTitle) + "*");
}

// Enter commits; Esc and a lost focus keep the stored password, which the edit opens with.
TEST_F(TreeControlTest, PasswordInPlaceCommitsOnEnterAndEscKeepsTheStoredOne) {
  WriteModelConfig("m.cfg", [](InfobaseTree&, Configuration&) {});
  Open("m.cfg");
  const ItemHandle password = Child(Base(a), ItemKind::PasswordItem);
  for (const auto& [typed, key] :
       {std::pair{"abc", VK_RETURN}, {"zzzz", VK_ESCAPE}, {"lost", 0}}) {
    TreeKey(password, VK_RETURN);
    const HWND edit = View().EditControl();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(SendMessageW(edit, EM_GETPASSWORDCHAR, 0, 0), L'*');
    EXPECT_EQ(widgets::GetWindowText1251(edit), Model().FindInfobase(Base(a))->Pswd);
    widgets::SetWindowText1251(edit, typed);
    if (key) PostMessageW(edit, WM_KEYDOWN, key, 0);
    if (!key) SetFocus(Item(IDC_TIMEOUT));  // the edit loses the focus
    window->Pump();
    EXPECT_EQ(View().EditControl(), nullptr) << typed;
    EXPECT_EQ(Shown(password).text, "Пароль: <***>") << typed;
    EXPECT_EQ(Model().FindInfobase(Base(a))->Pswd, "abc") << typed;
  }
}

TEST_F(TreeControlTest, UserNameComesFromTheInfobasesUsersFileOrIsTyped) {
  ASSERT_TRUE(testtree::WriteCompoundFile(platform::Widen(a + "usrdef\\users.usr"),
                                          L"Container.Contents", testtree::kTwoUsers));
  WriteModelConfig("m.cfg", [&](InfobaseTree& tree, Configuration&) {
    GiveJobs(tree, a);
    tree.ToggleMark(fixture::ItemOf(tree, a));
  });
  ChooseFromMenus();
  choice = 2;
  Open("m.cfg");
  const ItemHandle user = Child(Base(a), ItemKind::UserItem);
  TreeKey(user, VK_RETURN);
  ASSERT_EQ(menus.size(), 1u);
  ASSERT_EQ(menus[0].size(), 2u);
  EXPECT_EQ(menus[0][0].text + "|" + menus[0][1].text, "Admin|Иванов");
  EXPECT_EQ(defaults[0], 1);  // the stored name
  EXPECT_EQ(Shown(user), (TreeViewItem{"Пользователь: <Иванов>", tree_image::kUserVerified, 0}));
  EXPECT_EQ(ShownMark(Base(a)), 1);

  const ItemHandle other = Child(Base(b), ItemKind::UserItem);  // no users file
  Mouse(WM_LBUTTONDOWN, WM_LBUTTONUP, TextOf(other));
  Mouse(WM_LBUTTONDBLCLK, WM_LBUTTONUP, TextOf(other));
  ASSERT_NE(View().EditControl(), nullptr);
  TypeInPlace("Петров", VK_RETURN);
  EXPECT_EQ(Shown(other).text, "Пользователь: <Петров>");
  EXPECT_EQ(menus.size(), 1u);
}

}  // namespace
}  // namespace apptest
