// The tree's commands without a window: the context menus by item kind, deleting,
// clearing a task, the in-place user name and password and the user-name choice.
#include "tree/tree_commands.h"

#include <gtest/gtest.h>

#include <map>

#include "tests/config/config_fixture.h"

namespace {

using namespace tree_command;

class CommandsTest : public ::testing::Test {
 protected:
  CommandsTest()
      : tree(
            [this](const std::string& path, std::vector<std::string>& names) {
              auto it = users.find(path);
              if (it == users.end()) return false;
              names = it->second;
              return true;
            },
            [this] { ++modified; }),
        commands(tree, tasks, Editors()) {
    fixture::RegisterInfobases(registry, {{"C:\\A\\", "A"}, {"C:\\B\\", "B"}});
    tree.RebuildFromRegistry(registry);
  }

  TreeEditors Editors() {
    TreeEditors e;
    e.jobParameters = [this](InfobaseEntry& entry) {
      ++dialogs;
      if (!title.empty()) entry.BaseName = title;
      if (!path.empty()) entry.path = path;
      return apply;
    };
    e.duplicateTitle = [this](const std::string& text) { messages.push_back(text); };
    return e;
  }

  ItemHandle Base(const std::string& path) const { return fixture::ItemOf(tree, path); }
  ItemHandle Child(ItemHandle parent, ItemKind kind) const {
    return tree.Items().FirstChild(parent, kind);
  }
  const std::string& Text(ItemHandle item) const { return tree.Item(item)->text; }
  ItemHandle AddByHand(const std::string& name) {
    title = name;
    commands.RunMenuCommand(tree.UnregisteredGroup(), kAdd);
    return tree.Items().Children(tree.UnregisteredGroup()).back();
  }

  platform::MemoryRegistry registry;
  std::map<std::string, std::vector<std::string>> users;
  AdditionalTasks tasks;
  int modified = 0, dialogs = 0;
  bool apply = true;
  std::string title, path;  // typed into the dialog
  std::vector<std::string> messages;
  InfobaseTree tree;
  TreeCommands commands;
};

std::vector<int> Commands(const std::vector<MenuEntry>& menu) {
  std::vector<int> ids;
  for (const MenuEntry& m : menu) ids.push_back(m.command);
  return ids;
}

TEST_F(CommandsTest, ContextMenusByItemKind) {
  const ItemHandle byHand = AddByHand("Ручная");
  tree.ApplySchedule({.name = "02:00 каждый день", .Mode = ScheduleMode::Daily});
  const auto schedules = tree.Items().Children(tree.ScheduleRoot());
  tasks.PreProcessFileName = "pre.exe";  // "Очистить" on either task once any is set
  const ItemHandle a = Base("C:\\A\\");
  const std::vector<std::pair<ItemHandle, std::vector<int>>> cases = {
      {tree.PreTaskItem(), {kEdit, kDelete}},
      {tree.PostTaskItem(), {kEdit, kDelete}},
      {schedules[0], {kEdit, kDelete}},
      {schedules[1], {kAdd}},
      {tree.UnregisteredGroup(), {kAdd, kDeleteAll}},
      {byHand, {kEdit, kCopy, kDelete}},
      {a, {}},
      {tree.LocalGroup(), {}},
      {Child(a, ItemKind::UserItem), {}},
      {tree.ScheduleRoot(), {}},
  };
  for (const auto& [item, expected] : cases) {
    EXPECT_EQ(Commands(commands.ContextMenu(item)), expected) << Text(item);
  }
  tasks = {};
  EXPECT_EQ(Commands(commands.ContextMenu(tree.PostTaskItem())), std::vector<int>{kEdit});
  // Without the task dialog its command is offered disabled and does nothing.
  EXPECT_FALSE(commands.ContextMenu(tree.PreTaskItem())[0].enabled);
  // A double-click on a schedule's picture opens it, on other pictures nothing (gestures
  // the window tests do not make).
  EXPECT_EQ(commands.DoubleClickAction(schedules[0], false, true), ItemAction::EditSchedule);
  EXPECT_EQ(commands.DoubleClickAction(Child(a, ItemKind::UserItem), false, true),
            ItemAction::None);
}

TEST_F(CommandsTest, AddCopyAndDeleteInfobasesAddedByHand) {
  const ItemHandle first = AddByHand("Склад");
  EXPECT_EQ(Text(first), "Склад");
  EXPECT_EQ(tree.GetMark(first), Mark::Marked);  // the new entry uses the external archiver
  EXPECT_EQ(tree.FindInfobase(first)->UseExternalArchiver, 1);
  EXPECT_NE(Child(first, ItemKind::ParametersItem), kNoItem);
  EXPECT_EQ(modified, 1);

  title = "Склад 2";
  commands.RunMenuCommand(first, kCopy);
  const ItemHandle second = tree.Items().Children(tree.UnregisteredGroup()).back();
  EXPECT_EQ(Text(second), "Склад 2");
  apply = false;  // a cancelled dialog adds nothing
  commands.RunMenuCommand(tree.UnregisteredGroup(), kAdd);
  EXPECT_EQ(tree.Items().Children(tree.UnregisteredGroup()).size(), 2u);

  tree.ToggleMark(second);
  commands.RunMenuCommand(second, kDelete);  // the marked one is left: the group follows
  EXPECT_EQ(tree.GetMark(tree.UnregisteredGroup()), Mark::Marked);
  EXPECT_FALSE(tree.FindInfobase(second));
  commands.RunMenuCommand(tree.UnregisteredGroup(), kDeleteAll);
  EXPECT_TRUE(tree.Items().Children(tree.UnregisteredGroup()).empty());
  EXPECT_EQ(tree.GetMark(tree.UnregisteredGroup()), Mark::NoBox);
  EXPECT_EQ(tree.InfobaseEntries().size(), 2u);  // the registered ones
}

// The folder names the section of an infobase's parameters in the file, the title its
// item: both must stay unique among the infobases.
TEST_F(CommandsTest, AddCopyAndEditRefuseATitleOrAFolderInUse) {
  const auto byHand = [&] { return tree.Items().Children(tree.UnregisteredGroup()); };
  struct Step {
    const char *title, *path;
    int command;  // "Добавить", a copy of the first added by hand, an edit of the last
    size_t count;
    const char* message;
  } steps[] = {
      {"X", "C:\\A\\", kAdd, 0, "Папка \"C:\\A\\\" уже указана для базы данных \"A\"!"},
      {"X", "D:\\X", kAdd, 1, ""},
      {"Y", "D:\\X", kCopy, 1, "Папка \"D:\\X\" уже указана для базы данных \"X\"!"},
      {"Y", "D:\\Y", kCopy, 2, ""},
      {"X", "D:\\Z", kEdit, 2, "База данных с именем \"X\" уже существует!"},
  };
  for (const Step& s : steps) {
    title = s.title;
    path = s.path;
    messages.clear();
    if (s.command == kEdit) {
      commands.EditParameters(Child(byHand().back(), ItemKind::ParametersItem));
    } else {
      commands.RunMenuCommand(s.command == kAdd ? tree.UnregisteredGroup() : byHand().front(),
                              s.command);
    }
    EXPECT_EQ(byHand().size(), s.count) << s.title << s.path;
    EXPECT_EQ(messages, std::vector<std::string>(*s.message ? 1 : 0, s.message)) << s.path;
  }
  EXPECT_EQ(tree.FindInfobase(byHand().back())->path, "D:\\Y");  // the refused edit changed nothing
  title = "Первый";
  commands.RunMenuCommand(byHand().front(), kEdit);
  EXPECT_EQ(Text(byHand().front()), "Первый");
  EXPECT_EQ(tree.FindInfobase(byHand().front())->BaseName, "Первый");
}

TEST_F(CommandsTest, InPlaceEditsStoreUserAndPasswordAndValidate) {
  const ItemHandle a = Base("C:\\A\\");
  InfobaseEntry e = *tree.FindInfobase(a);
  e.SaveData = 1;
  e.Pswd = "old";
  tree.StoreInfobase(e);
  users["C:\\A\\"] = {"Admin", "Иванов"};
  tree.ToggleMark(a);
  EXPECT_EQ(tree.GetMark(a), Mark::Blocked);  // "" is not a listed user
  const ItemHandle user = Child(a, ItemKind::UserItem), password = Child(a, ItemKind::PasswordItem);
  EXPECT_EQ(commands.InPlaceText(password), "old");
  EXPECT_EQ(commands.InPlaceText(Child(a, ItemKind::ParametersItem)), std::nullopt);
  EXPECT_EQ(commands.InPlaceText(a), std::nullopt);

  commands.CommitInPlace(password, "abc");
  EXPECT_EQ(Text(password), "Пароль: <***>");
  commands.CommitInPlace(user, "Иванов");
  EXPECT_EQ(Text(user), "Пользователь: <Иванов>");
  EXPECT_EQ(tree.GetMark(a), Mark::Marked);
  EXPECT_EQ(tree.GetMark(tree.LocalGroup()), Mark::Mixed);
  commands.CommitInPlace(password, "");
  EXPECT_EQ(Text(password), "Пароль: <...>");
  EXPECT_EQ(tree.FindInfobase(a)->Pswd, "");
}

TEST_F(CommandsTest, UserChoiceFromTheListValidatesEvenWithoutAChoice) {
  const ItemHandle a = Base("C:\\A\\"), b = Base("C:\\B\\");
  for (ItemHandle item : {a, b}) {
    InfobaseEntry e = *tree.FindInfobase(item);
    e.SaveData = 1;
    e.UserName = "Admin";
    tree.StoreInfobase(e);
    tree.ToggleMark(item);
  }
  const ItemHandle user = Child(a, ItemKind::UserItem);  // a choice: the window tests
  users["C:\\A\\"] = {"Петров"};
  commands.EndUserChoice(user, std::nullopt);  // dismissed: the name is checked anyway
  EXPECT_EQ(tree.GetMark(a), Mark::Blocked);
  EXPECT_EQ(tree.GetMark(tree.LocalGroup()), Mark::PartlyBlocked);
  commands.EndUserChoice(user, "Петров");
  EXPECT_EQ(tree.GetMark(tree.LocalGroup()), Mark::Marked);
}

}  // namespace
