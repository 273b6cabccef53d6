// What the operator's mouse, keys and context menus do on the infobase tree, without a
// window: which commands an item offers, what a double-click or Enter starts, deleting,
// clearing a task, the in-place user name and password, and the user-name choice. The
// tree control turns its notifications into these calls and then shows the model again.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "config/general_options.h"
#include "tree/infobase_tree.h"

// Context-menu command numbers.
namespace tree_command {
inline constexpr int kAdd = 4096;
inline constexpr int kEdit = 4097;    // "Редактировать" or "Изменить"
inline constexpr int kDelete = 4098;  // "Удалить" or "Очистить"
inline constexpr int kCopy = 4099;
inline constexpr int kDeleteAll = 5000;
}  // namespace tree_command

struct MenuEntry {
  int command = 0;
  std::string text;
  bool enabled = true;

  bool operator==(const MenuEntry&) const = default;
};

// What a double-click or Enter starts on an item.
enum class ItemAction { None, EditTask, EditSchedule, ChooseUser, EditPassword, EditParameters };

// The dialogs the commands open; each returns true when it ended with "Применить". An
// empty function leaves its commands shown but disabled.
struct TreeEditors {
  std::function<bool(InfobaseEntry& entry)> jobParameters;
  // The schedule dialog for a schedule item (it updates the tree itself).
  std::function<bool(ItemHandle schedule)> schedule;
  // The task dialog for the before (after = false) or after task.
  std::function<bool(bool after, AdditionalTasks& tasks)> task;
  // The message about a duplicate title (or folder) of an infobase added by hand.
  std::function<void(const std::string& text)> duplicateTitle;
};

class TreeCommands {
 public:
  TreeCommands(InfobaseTree& tree, AdditionalTasks& tasks, TreeEditors editors);

  std::vector<MenuEntry> ContextMenu(ItemHandle item) const;
  void RunMenuCommand(ItemHandle item, int command);

  // A double-click on an item (onText: on its label, onIcon: on its image).
  ItemAction DoubleClickAction(ItemHandle item, bool onText, bool onIcon) const;
  ItemAction EnterAction(ItemHandle item) const;
  // Runs the actions that need no window of the tree control's own.
  void Run(ItemAction action, ItemHandle item);

  // Delete key: deletes a real schedule; false when nothing happened.
  bool DeleteKey(ItemHandle item);
  // Space: toggles the mark of an item with a box; false for the others.
  bool SpaceKey(ItemHandle item);

  // In-place edits of the user name and the password: the stored value an edit starts
  // with, or nullopt when the item cannot be edited in place.
  std::optional<std::string> InPlaceText(ItemHandle item) const;
  bool IsPasswordItem(ItemHandle item) const;
  // Enter in the edit: stores the typed value.
  void CommitInPlace(ItemHandle item, const std::string& text);

  // The names of the infobase's own user list for its user item (empty: type it in place)
  // and the stored name, which the pop-up shows as its default.
  std::vector<std::string> UserChoices(ItemHandle userItem) const;
  std::string StoredUserName(ItemHandle userItem) const;
  // Ends the user-name choice: the chosen name (nullopt: none chosen) is stored, then
  // the infobase is validated in either case.
  void EndUserChoice(ItemHandle userItem, const std::optional<std::string>& name);

  // Opens the job parameters of a parameters item's infobase.
  void EditParameters(ItemHandle parametersItem);
  // Opens the job parameters on a prepared entry and adds it under "Незарегистрированные".
  void AddUnregistered(InfobaseEntry entry);
  void EditTask(ItemHandle taskItem);
  void ClearTask(ItemHandle taskItem);
  void DeleteUnregistered(ItemHandle infobase);
  void DeleteAllUnregistered();

 private:
  const TreeItem* Get(ItemHandle item) const { return tree_.Item(item); }
  ItemKind KindOf(ItemHandle item) const;
  bool IsRealSchedule(ItemHandle item) const;
  bool IsDuplicate(const InfobaseEntry& entry) const;
  void ShowTask(bool after);
  void SetValidated(ItemHandle infobase);

  InfobaseTree& tree_;
  AdditionalTasks& tasks_;
  TreeEditors editors_;
};
