#include "tree/infobase_tree.h"

#include <algorithm>

#include "config/enterprise.h"
#include "platform/registry.h"
#include "tree/text_order.h"

namespace {

constexpr size_t kMaxTitlesBytes = 255;  // the 256-byte buffers of the enumeration

bool IsNetworkPath(const std::string& path) { return path.find("\\\\") != std::string::npos; }

std::string UpToNul(const std::string& data) { return data.substr(0, data.find('\0')); }

}  // namespace

InfobaseTree::InfobaseTree(UserListReader readUsers, std::function<void()> onModified)
    : readUsers_(std::move(readUsers)), onModified_(std::move(onModified)) {}

void InfobaseTree::SetItemText(ItemHandle item, std::string text) {
  if (TreeItem* it = items_.Get(item)) it->text = std::move(text);
}

void InfobaseTree::SetItemImage(ItemHandle item, int image) {
  if (TreeItem* it = items_.Get(item)) it->image = image;
}

void InfobaseTree::DeleteItem(ItemHandle item) {
  items_.Delete(item, [this](ItemHandle handle, const TreeItem& it) {
    if (it.kind == ItemKind::ScheduleItem) RemoveSchedule(handle);
    if (it.kind == ItemKind::InfobaseItem) RemoveInfobase(handle);
  });
  for (ItemHandle* fixed : {&localGroup_, &networkGroup_, &unregisteredGroup_, &scheduleRoot_,
                            &preTask_, &postTask_}) {
    if (items_.Get(*fixed) == nullptr) *fixed = kNoItem;
  }
}

namespace {

// The two record lists are kept the same way: one record per item handle, in list order.
template <typename Entry>
std::optional<Entry> FindByItem(const std::vector<Entry>& list, ItemHandle item) {
  for (const Entry& e : list) {
    if (e.item == item) return e;
  }
  return std::nullopt;
}

template <typename Entry>
void StoreByItem(std::vector<Entry>& list, const Entry& entry) {
  for (Entry& e : list) {
    if (e.item == entry.item) {
      e = entry;
      return;
    }
  }
  list.push_back(entry);
}

template <typename Entry>
bool RemoveByItem(std::vector<Entry>& list, ItemHandle item) {
  return std::erase_if(list, [&](const Entry& e) { return e.item == item; }) != 0;
}

}  // namespace

std::optional<InfobaseEntry> InfobaseTree::FindInfobase(ItemHandle item) const {
  return FindByItem(infobases_, item);
}
void InfobaseTree::StoreInfobase(const InfobaseEntry& entry) { StoreByItem(infobases_, entry); }
bool InfobaseTree::RemoveInfobase(ItemHandle item) { return RemoveByItem(infobases_, item); }

std::optional<ScheduleEntry> InfobaseTree::FindSchedule(ItemHandle item) const {
  return FindByItem(schedules_, item);
}
void InfobaseTree::StoreSchedule(const ScheduleEntry& entry) { StoreByItem(schedules_, entry); }
bool InfobaseTree::RemoveSchedule(ItemHandle item) { return RemoveByItem(schedules_, item); }

void InfobaseTree::Clear() {
  infobases_.clear();
  held_.clear();
  schedules_.clear();
  items_.Clear();
  localGroup_ = networkGroup_ = unregisteredGroup_ = kNoItem;
  scheduleRoot_ = preTask_ = postTask_ = kNoItem;
}

void InfobaseTree::DiscoverInfobases(platform::Registry& registry) {
  const auto values = registry.EnumValues(platform::RegRoot::CurrentUser, enterprise::kTitlesKey);
  if (!values) return;
  for (const platform::RegNamedValue& v : *values) {
    const std::string title = UpToNul(v.value.data);
    // Names or titles beyond the enumeration buffers, and the default value, are skipped.
    if (v.name.empty() || v.name.size() > kMaxTitlesBytes || title.size() > kMaxTitlesBytes) {
      continue;
    }
    AddRegisteredInfobase(v.name, title);
  }
}

ItemHandle InfobaseTree::AddRegisteredInfobase(const std::string& path, const std::string& title) {
  const bool network = IsNetworkPath(path);
  ItemHandle& group = network ? networkGroup_ : localGroup_;
  if (group == kNoItem) {
    group = network ? items_.Insert(kNoItem, ItemKind::BaseGroup, "Сетевые", tree_image::kNetworkGroup)
                    : items_.Insert(kNoItem, ItemKind::BaseGroup, "Локальные", tree_image::kLocalGroup);
    SetMark(group, Mark::Unmarked);
  }
  const ItemHandle item = items_.Insert(group, ItemKind::InfobaseItem, title,
                                        network ? tree_image::kNetworkBase : tree_image::kLocalBase);
  SetMark(item, Mark::Unmarked);
  items_.Insert(item, ItemKind::UserItem, UserItemText(""), tree_image::kUser);
  items_.Insert(item, ItemKind::PasswordItem, PasswordItemText(""), tree_image::kPassword);
  items_.Insert(item, ItemKind::ParametersItem, "Параметры", tree_image::kParameters);
  InfobaseEntry entry;
  entry.item = item;
  entry.BaseName = title;
  entry.path = path;
  infobases_.push_back(entry);
  return item;
}

void InfobaseTree::AddFixedItems() {
  unregisteredGroup_ = items_.Insert(kNoItem, ItemKind::UnregisteredGroup, "Незарегистрированные",
                                     tree_image::kNetworkGroup);
  scheduleRoot_ = items_.Insert(kNoItem, ItemKind::ScheduleRoot, "Расписание",
                                tree_image::kScheduleRoot);
  ScheduleEntry placeholder;
  placeholder.name = "Новое расписание";
  placeholder.item = items_.Insert(scheduleRoot_, ItemKind::ScheduleItem, placeholder.name,
                                   tree_image::kSchedulePlaceholder);
  schedules_.push_back(placeholder);
  const ItemHandle tasks = items_.Insert(kNoItem, ItemKind::TasksRoot, "Дополнительные задачи",
                                         tree_image::kTasksRoot);
  preTask_ = items_.Insert(tasks, ItemKind::PreTaskItem, "<Не задано ...>", tree_image::kPreTask);
  postTask_ = items_.Insert(tasks, ItemKind::PostTaskItem, "<Не задано ...>", tree_image::kPostTask);
}

void InfobaseTree::RebuildFromRegistry(platform::Registry& registry) {
  Clear();
  DiscoverInfobases(registry);
  AddFixedItems();
}

void InfobaseTree::ApplyAdditionalTasks(const AdditionalTasks& tasks) {
  if (!tasks.PreProcessFileName.empty()) {
    SetItemText(preTask_, tasks.PreProcessFileName + " " + tasks.PreProcessCmdLine);
    SetItemImage(preTask_, tree_image::kPreTaskSet);
  }
  if (!tasks.PostProcessFileName.empty()) {
    SetItemText(postTask_, tasks.PostProcessFileName + " " + tasks.PostProcessCmdLine);
    SetItemImage(postTask_, tree_image::kPostTaskSet);
  }
}

void InfobaseTree::ApplyInfobaseRecord(const InfobaseRecord& record) {
  if (record.entry.Type == InfobaseType::AddedByHand) {
    ApplyUnregistered(record);
  } else {
    ApplyRegistered(record);
  }
}

void InfobaseTree::ApplyUnregistered(const InfobaseRecord& record) {
  AddUnregistered(record.entry, Mark::Marked);
}

ItemHandle InfobaseTree::AddUnregistered(InfobaseEntry entry, Mark mark) {
  if (unregisteredGroup_ == kNoItem) return kNoItem;
  entry.item = items_.Insert(unregisteredGroup_, ItemKind::InfobaseItem, entry.BaseName,
                             tree_image::kUnregisteredBase);
  // The parameters item exists before validation so that its image follows the jobs.
  items_.Insert(entry.item, ItemKind::ParametersItem, "Параметры", tree_image::kParametersChosen);
  StoreInfobase(entry);
  SetMark(entry.item, mark);
  ValidateInfobase(entry.item);
  UpdateGroupMark(entry.item);
  return entry.item;
}

void InfobaseTree::ApplyRegistered(const InfobaseRecord& record) {
  auto it = std::find_if(infobases_.begin(), infobases_.end(), [&](const InfobaseEntry& e) {
    return e.Type == InfobaseType::Registered && e.path == record.entry.path;
  });
  if (it == infobases_.end()) {
    held_.push_back(record.entry);  // not registered now: kept for a later load
    return;
  }
  ApplyParameters(it, record);
  if (!record.hasState) return;
  SetMark(it->item, MarkFromNumber(record.State));  // refused for other numbers
  ValidateInfobase(it->item);
  UpdateGroupMark(it->item);
}

// Takes a record's user, password and jobs into a registered infobase.
void InfobaseTree::ApplyParameters(std::vector<InfobaseEntry>::iterator it,
                                   const InfobaseRecord& record) {
  InfobaseEntry entry = record.entry;
  entry.item = it->item;
  entry.BaseName = it->BaseName;
  entry.Type = it->Type;
  SetItemText(items_.FirstChild(entry.item, ItemKind::UserItem), UserItemText(entry.UserName));
  SetItemText(items_.FirstChild(entry.item, ItemKind::PasswordItem), PasswordItemText(entry.Pswd));
  *it = entry;
}

void InfobaseTree::ApplySchedule(const ScheduleEntry& schedule) {
  if (schedule.Mode == ScheduleMode::Placeholder || scheduleRoot_ == kNoItem) return;
  ScheduleEntry entry = schedule;
  entry.item = items_.Insert(scheduleRoot_, ItemKind::ScheduleItem, entry.name,
                             tree_image::kSchedule, /*first=*/true);
  schedules_.push_back(entry);
}

void InfobaseTree::SortGroups() {
  for (ItemHandle group : {localGroup_, networkGroup_, unregisteredGroup_}) {
    if (group != kNoItem) items_.SortChildren(group, TextLess1251);
  }
}

std::string InfobaseTree::UserItemText(const std::string& userName) {
  return "Пользователь: <" + (userName.empty() ? std::string("...") : userName) + ">";
}

std::string InfobaseTree::PasswordItemText(const std::string& password) {
  return "Пароль: <" + (password.empty() ? std::string("...") : std::string(password.size(), '*')) +
         ">";
}
