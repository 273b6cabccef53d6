#include "tree/tree_commands.h"

#include <algorithm>

namespace {

constexpr char kNotSet[] = "<Не задано ...>";

std::string TrimRight(std::string text) {
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

std::string DuplicateText(const std::string& title) {
  return "База данных с именем \"" + title + "\" уже существует!";
}

}  // namespace

TreeCommands::TreeCommands(InfobaseTree& tree, AdditionalTasks& tasks, TreeEditors editors)
    : tree_(tree), tasks_(tasks), editors_(std::move(editors)) {}

ItemKind TreeCommands::KindOf(ItemHandle item) const {
  const TreeItem* it = Get(item);
  return it == nullptr ? ItemKind::TasksRoot : it->kind;
}

bool TreeCommands::IsRealSchedule(ItemHandle item) const {
  const std::optional<ScheduleEntry> s = tree_.FindSchedule(item);
  return s && s->Mode != ScheduleMode::Placeholder;
}

std::vector<MenuEntry> TreeCommands::ContextMenu(ItemHandle item) const {
  using namespace tree_command;
  const TreeItem* it = Get(item);
  if (it == nullptr) return {};
  const bool jobs = static_cast<bool>(editors_.jobParameters);
  switch (it->kind) {
    case ItemKind::PreTaskItem:
    case ItemKind::PostTaskItem: {
      std::vector<MenuEntry> menu = {{kEdit, "Редактировать", static_cast<bool>(editors_.task)}};
      const AdditionalTasks& t = tasks_;
      if (!t.PreProcessFileName.empty() || !t.PreProcessCmdLine.empty() ||
          !t.PostProcessFileName.empty() || !t.PostProcessCmdLine.empty()) {
        menu.push_back({kDelete, "Очистить"});
      }
      return menu;
    }
    case ItemKind::ScheduleItem:
      if (!IsRealSchedule(item)) return {{kAdd, "Добавить", static_cast<bool>(editors_.schedule)}};
      return {{kEdit, "Редактировать", static_cast<bool>(editors_.schedule)}, {kDelete, "Удалить"}};
    case ItemKind::UnregisteredGroup: {
      std::vector<MenuEntry> menu = {{kAdd, "Добавить", jobs}};
      if (!it->children.empty()) menu.push_back({kDeleteAll, "Удалить все"});
      return menu;
    }
    case ItemKind::InfobaseItem: {
      const std::optional<InfobaseEntry> e = tree_.FindInfobase(item);
      if (!e || e->Type != InfobaseType::AddedByHand) return {};
      return {{kEdit, "Изменить", jobs}, {kCopy, "Копировать", jobs}, {kDelete, "Удалить"}};
    }
    default:
      return {};
  }
}

void TreeCommands::RunMenuCommand(ItemHandle item, int command) {
  using namespace tree_command;
  const auto offered = ContextMenu(item);
  const bool found = std::any_of(offered.begin(), offered.end(), [&](const MenuEntry& m) {
    return m.command == command && m.enabled;
  });
  if (!found) return;
  const ItemKind kind = KindOf(item);
  if (kind == ItemKind::PreTaskItem || kind == ItemKind::PostTaskItem) {
    return command == kEdit ? EditTask(item) : ClearTask(item);
  }
  if (kind == ItemKind::ScheduleItem) {
    if (command != kDelete) {
      editors_.schedule(item);
      return;
    }
    tree_.NotifyModified();
    tree_.DeleteItem(item);
  } else if (kind == ItemKind::UnregisteredGroup) {
    if (command == kDeleteAll) return DeleteAllUnregistered();
    InfobaseEntry entry;
    entry.Type = InfobaseType::AddedByHand;
    entry.UseExternalArchiver = 1;
    AddUnregistered(entry);
  } else if (kind == ItemKind::InfobaseItem) {
    if (command == kDelete) return DeleteUnregistered(item);
    if (command == kEdit) return EditParameters(tree_.Items().FirstChild(item, ItemKind::ParametersItem));
    InfobaseEntry copy = *tree_.FindInfobase(item);
    copy.item = kNoItem;
    AddUnregistered(copy);
  }
}

ItemAction TreeCommands::DoubleClickAction(ItemHandle item, bool onText, bool onIcon) const {
  const ItemKind kind = KindOf(item);
  if (!onText && !(onIcon && kind == ItemKind::ScheduleItem)) return ItemAction::None;
  switch (kind) {
    case ItemKind::PreTaskItem:
    case ItemKind::PostTaskItem: return ItemAction::EditTask;
    case ItemKind::ScheduleItem: return ItemAction::EditSchedule;
    case ItemKind::UserItem: return ItemAction::ChooseUser;
    case ItemKind::PasswordItem: return ItemAction::EditPassword;
    case ItemKind::ParametersItem: return ItemAction::EditParameters;
    default: return ItemAction::None;
  }
}

ItemAction TreeCommands::EnterAction(ItemHandle item) const {
  switch (KindOf(item)) {
    case ItemKind::UserItem: return ItemAction::ChooseUser;
    case ItemKind::PasswordItem: return ItemAction::EditPassword;
    case ItemKind::ParametersItem: return ItemAction::EditParameters;
    case ItemKind::ScheduleItem: return ItemAction::EditSchedule;
    default: return ItemAction::None;
  }
}

void TreeCommands::Run(ItemAction action, ItemHandle item) {
  if (Get(item) == nullptr) return;
  if (action == ItemAction::EditTask) EditTask(item);
  if (action == ItemAction::EditParameters) EditParameters(item);
  if (action == ItemAction::EditSchedule && editors_.schedule) editors_.schedule(item);
}

bool TreeCommands::DeleteKey(ItemHandle item) {
  if (KindOf(item) != ItemKind::ScheduleItem || !IsRealSchedule(item)) return false;
  tree_.NotifyModified();
  tree_.DeleteItem(item);
  return true;
}

// Items without a box are left alone, and nothing changed is not a change.
bool TreeCommands::SpaceKey(ItemHandle item) {
  if (tree_.GetMark(item) == Mark::NoBox) return false;
  tree_.ToggleMark(item);
  return true;
}

std::optional<std::string> TreeCommands::InPlaceText(ItemHandle item) const {
  const TreeItem* it = Get(item);
  if (it == nullptr || (it->kind != ItemKind::UserItem && it->kind != ItemKind::PasswordItem)) {
    return std::nullopt;
  }
  const std::optional<InfobaseEntry> e = tree_.FindInfobase(it->parent);
  if (!e) return std::nullopt;
  return it->kind == ItemKind::UserItem ? e->UserName : e->Pswd;
}

bool TreeCommands::IsPasswordItem(ItemHandle item) const {
  return KindOf(item) == ItemKind::PasswordItem && Get(item) != nullptr;
}

void TreeCommands::CommitInPlace(ItemHandle item, const std::string& text) {
  if (!InPlaceText(item)) return;
  const ItemHandle infobase = Get(item)->parent;
  InfobaseEntry e = *tree_.FindInfobase(infobase);
  if (IsPasswordItem(item)) {
    e.Pswd = text;
    tree_.SetItemText(item, InfobaseTree::PasswordItemText(text));
  } else {
    e.UserName = text;
    tree_.SetItemText(item, InfobaseTree::UserItemText(text));
  }
  tree_.StoreInfobase(e);
  tree_.NotifyModified();
  SetValidated(infobase);
}

void TreeCommands::SetValidated(ItemHandle infobase) {
  tree_.ValidateInfobase(infobase);
  tree_.UpdateGroupMark(infobase);
}

std::vector<std::string> TreeCommands::UserChoices(ItemHandle userItem) const {
  std::vector<std::string> names;
  if (KindOf(userItem) != ItemKind::UserItem || Get(userItem) == nullptr) return names;
  const std::optional<InfobaseEntry> e = tree_.FindInfobase(Get(userItem)->parent);
  if (e) tree_.ReadUsers(*e, names);
  return names;
}

std::string TreeCommands::StoredUserName(ItemHandle userItem) const {
  return InPlaceText(userItem).value_or("");
}

void TreeCommands::EndUserChoice(ItemHandle userItem, const std::optional<std::string>& name) {
  if (KindOf(userItem) != ItemKind::UserItem || !InPlaceText(userItem)) return;
  const ItemHandle infobase = Get(userItem)->parent;
  if (name) {
    InfobaseEntry e = *tree_.FindInfobase(infobase);
    e.UserName = *name;
    tree_.SetItemText(userItem, InfobaseTree::UserItemText(*name));
    tree_.StoreInfobase(e);
    tree_.NotifyModified();
  }
  // The group follows as well: validation may turn a mark into a red one or back.
  SetValidated(infobase);
}

// Another entry with the same title, or with the same folder: the folder names the
// entry's section in the configuration file, and two sections of one name would give
// both infobases the first one's parameters at the next load.
bool TreeCommands::IsDuplicate(const InfobaseEntry& entry) const {
  const auto& all = tree_.InfobaseEntries();
  const auto other = [&](auto same) {
    return std::find_if(all.begin(), all.end(),
                        [&](const InfobaseEntry& e) { return e.item != entry.item && same(e); });
  };
  std::string text;
  if (other([&](const InfobaseEntry& e) { return e.BaseName == entry.BaseName; }) != all.end()) {
    text = DuplicateText(entry.BaseName);
  } else if (const auto it = other([&](const InfobaseEntry& e) {
               return !entry.path.empty() && e.path == entry.path;
             });
             it != all.end()) {
    text = "Папка \"" + entry.path + "\" уже указана для базы данных \"" + it->BaseName + "\"!";
  }
  if (!text.empty() && editors_.duplicateTitle) editors_.duplicateTitle(text);
  return !text.empty();
}

void TreeCommands::EditParameters(ItemHandle parametersItem) {
  const TreeItem* it = Get(parametersItem);
  if (it == nullptr || it->kind != ItemKind::ParametersItem || !editors_.jobParameters) return;
  std::optional<InfobaseEntry> e = tree_.FindInfobase(it->parent);
  if (!e || !editors_.jobParameters(*e)) return;
  const bool byHand = e->Type == InfobaseType::AddedByHand;
  if (byHand && IsDuplicate(*e)) return;
  tree_.NotifyModified();
  tree_.StoreInfobase(*e);
  SetValidated(e->item);
  if (byHand) tree_.SetItemText(e->item, e->BaseName);
}

void TreeCommands::AddUnregistered(InfobaseEntry entry) {
  if (!editors_.jobParameters || !editors_.jobParameters(entry)) return;
  entry.item = kNoItem;
  if (IsDuplicate(entry)) return;
  if (tree_.AddUnregistered(entry, Mark::Marked) != kNoItem) tree_.NotifyModified();
}

void TreeCommands::EditTask(ItemHandle taskItem) {
  const bool after = KindOf(taskItem) == ItemKind::PostTaskItem;
  if (!after && KindOf(taskItem) != ItemKind::PreTaskItem) return;
  if (!editors_.task || !editors_.task(after, tasks_)) return;
  ShowTask(after);
}

void TreeCommands::ClearTask(ItemHandle taskItem) {
  const bool after = KindOf(taskItem) == ItemKind::PostTaskItem;
  if (!after && KindOf(taskItem) != ItemKind::PreTaskItem) return;
  tree_.NotifyModified();
  (after ? tasks_.PostProcessFileName : tasks_.PreProcessFileName).clear();
  (after ? tasks_.PostProcessCmdLine : tasks_.PreProcessCmdLine).clear();
  ShowTask(after);
}

// The task item's text and image from the stored program and command line.
void TreeCommands::ShowTask(bool after) {
  const ItemHandle item = after ? tree_.PostTaskItem() : tree_.PreTaskItem();
  const std::string text = TrimRight(after ? tasks_.PostProcessFileName + " " + tasks_.PostProcessCmdLine
                                           : tasks_.PreProcessFileName + " " + tasks_.PreProcessCmdLine);
  tree_.SetItemText(item, text.empty() ? kNotSet : text);
  const int unset = after ? tree_image::kPostTask : tree_image::kPreTask;
  const int set = after ? tree_image::kPostTaskSet : tree_image::kPreTaskSet;
  tree_.SetItemImage(item, text.empty() ? unset : set);
}

void TreeCommands::DeleteUnregistered(ItemHandle infobase) {
  const std::optional<InfobaseEntry> e = tree_.FindInfobase(infobase);
  if (!e || e->Type != InfobaseType::AddedByHand) return;
  tree_.NotifyModified();
  tree_.DeleteItem(infobase);
  const ItemHandle group = tree_.UnregisteredGroup();
  if (tree_.Items().Children(group).empty()) {
    tree_.RemoveBox(group);
  } else {
    tree_.UpdateGroupMark(tree_.Items().Children(group).front());
  }
}

void TreeCommands::DeleteAllUnregistered() {
  const ItemHandle group = tree_.UnregisteredGroup();
  if (tree_.Items().Children(group).empty()) return;
  tree_.NotifyModified();
  const std::vector<ItemHandle> children = tree_.Items().Children(group);
  for (ItemHandle child : children) tree_.DeleteItem(child);
  tree_.RemoveBox(group);
}
