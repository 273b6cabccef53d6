// Infobases added by hand may not share a folder with another infobase: the folder
// names the section of its parameters in the configuration file.
#include <gtest/gtest.h>

#include "tests/config/config_fixture.h"
#include "tree/tree_commands.h"

namespace {

TEST(DuplicateFolder, AddCopyAndEditRefuseAFolderInUse) {
  platform::MemoryRegistry registry;
  fixture::RegisterInfobases(registry, {{"C:\\A\\", "A"}});
  InfobaseTree tree(fixture::NoUsers(), [] {});
  tree.RebuildFromRegistry(registry);
  AdditionalTasks tasks;
  InfobaseEntry typed;  // what the operator types into the dialog
  std::vector<std::string> messages;
  TreeEditors editors;
  editors.jobParameters = [&](InfobaseEntry& e) {
    e.BaseName = typed.BaseName;
    e.path = typed.path;
    return true;
  };
  editors.duplicateTitle = [&](const std::string& text) { messages.push_back(text); };
  TreeCommands commands(tree, tasks, editors);
  const auto byHand = [&] { return tree.Items().Children(tree.UnregisteredGroup()); };
  struct Step {
    const char *title, *path;
    int command;  // on the first infobase added by hand, or "Добавить"
    size_t count;
    const char* message;
  } steps[] = {
      {"X", "C:\\A\\", tree_command::kAdd, 0,
       "Папка \"C:\\A\\\" уже указана для базы данных \"A\"!"},
      {"X", "D:\\X", tree_command::kAdd, 1, ""},
      {"Y", "D:\\X", tree_command::kCopy, 1, "Папка \"D:\\X\" уже указана для базы данных \"X\"!"},
      {"Y", "D:\\Y", tree_command::kCopy, 2, ""},
      {"X", "D:\\Z", tree_command::kEdit, 2, "База данных с именем \"X\" уже существует!"},
  };
  for (const Step& s : steps) {
    typed.BaseName = s.title;
    typed.path = s.path;
    messages.clear();
    if (s.command == tree_command::kEdit) {
      commands.RunMenuCommand(byHand().back(), s.command);
    } else {
      commands.RunMenuCommand(
          s.command == tree_command::kAdd ? tree.UnregisteredGroup() : byHand().front(), s.command);
    }
    EXPECT_EQ(byHand().size(), s.count) << s.title << s.path;
    EXPECT_EQ(messages, std::vector<std::string>(*s.message ? 1 : 0, s.message)) << s.path;
  }
  EXPECT_EQ(tree.FindInfobase(byHand().back())->path, "D:\\Y");  // the refused edit changed nothing
}

}  // namespace
