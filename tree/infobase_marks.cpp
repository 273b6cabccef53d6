// Marks of infobases and groups: validation, group marks derived from the children,
// and the operator's toggle.
#include <algorithm>

#include "tree/infobase_tree.h"

namespace {

bool CarriesBox(ItemKind kind) {
  return kind == ItemKind::InfobaseItem || kind == ItemKind::BaseGroup ||
         kind == ItemKind::UnregisteredGroup;
}

}  // namespace

bool InfobaseTree::SetMark(ItemHandle item, Mark mark) {
  TreeItem* it = items_.Get(item);
  const int number = static_cast<int>(mark);
  if (it == nullptr || number < kLowestMark || number > kHighestMark) return false;
  it->stateImage = number + 1;
  return true;
}

Mark InfobaseTree::GetMark(ItemHandle item) const {
  const TreeItem* it = items_.Get(item);
  return it == nullptr ? Mark::NoBox : MarkFromNumber(it->stateImage - 1);
}

// A user name not in a readable, non-empty user list blocks the infobase, unless only
// the external archiver (which needs no 1C:Enterprise log-on) is used.
bool InfobaseTree::UserIsListed(const InfobaseEntry& entry) {
  if (entry.UseExternalArchiver) return true;
  std::vector<std::string> names;
  if (!readUsers_ || !readUsers_(entry.path, names) || names.empty()) return true;
  return std::find(names.begin(), names.end(), entry.UserName) != names.end();
}

Validity InfobaseTree::ValidateInfobase(ItemHandle item) {
  const TreeItem* it = items_.Get(item);
  if (it == nullptr || it->kind != ItemKind::InfobaseItem) return Validity::MayRun;
  const std::optional<InfobaseEntry> entry = FindInfobase(item);
  if (!entry) return Validity::MayRun;
  bool valid = UserIsListed(*entry);
  SetItemImage(items_.FirstChild(item, ItemKind::UserItem),
               valid ? tree_image::kUserVerified : tree_image::kUser);
  const bool jobs = entry->ChoosesAnyJob();
  SetItemImage(items_.FirstChild(item, ItemKind::ParametersItem),
               jobs ? tree_image::kParametersChosen : tree_image::kParameters);
  if (!jobs) valid = false;
  const Mark mark = GetMark(item);
  if (mark == Mark::Unmarked) return Validity::MayRun;
  if (mark == Mark::Marked && !valid) SetMark(item, Mark::Blocked);
  if (mark == Mark::Blocked && valid) SetMark(item, Mark::Marked);
  return valid ? Validity::MayRun : Validity::Blocked;
}

void InfobaseTree::UpdateGroupMark(ItemHandle item) {
  const TreeItem* it = items_.Get(item);
  if (it != nullptr && it->parent != kNoItem) SetGroupMark(it->parent);
}

void InfobaseTree::SetGroupMark(ItemHandle group) {
  const std::vector<ItemHandle>& children = items_.Children(group);
  if (children.empty()) return;
  size_t c0 = 0, c1 = 0, c3 = 0;
  for (ItemHandle child : children) {
    const Mark m = GetMark(child);
    c0 += m == Mark::Unmarked;
    c1 += m == Mark::Marked;
    c3 += m == Mark::Blocked;
  }
  const size_t n = children.size();
  Mark mark = Mark::Mixed;
  if (c1 == n) {
    mark = Mark::Marked;
  } else if (c0 == n) {
    mark = Mark::Unmarked;
  } else if (c3 == n) {
    mark = Mark::Blocked;
  } else if (c3 > 0) {
    mark = Mark::PartlyBlocked;
  }
  SetMark(group, mark);
}

void InfobaseTree::ToggleMark(ItemHandle item) {
  const TreeItem* it = items_.Get(item);
  // Items without a box (tasks, schedules, an empty group, user lines) do not toggle.
  if (it == nullptr || !CarriesBox(it->kind)) return;
  const bool group = it->kind != ItemKind::InfobaseItem;
  if (group && it->children.empty()) return;
  if (onModified_) onModified_();
  const Mark newMark = GetMark(item) == Mark::Unmarked ? Mark::Marked : Mark::Unmarked;
  if (!group) {
    SetMark(item, newMark);
    ValidateInfobase(item);
    UpdateGroupMark(item);
    return;
  }
  const std::vector<ItemHandle> children = it->children;
  size_t failed = 0;
  for (ItemHandle child : children) {
    SetMark(child, newMark);
    if (newMark == Mark::Marked && ValidateInfobase(child) == Validity::Blocked) ++failed;
  }
  Mark groupMark = newMark;
  if (failed == children.size()) {
    groupMark = Mark::Blocked;
  } else if (failed > 0) {
    groupMark = Mark::PartlyBlocked;
  }
  SetMark(item, groupMark);
}

void InfobaseTree::RemoveBox(ItemHandle item) {
  if (TreeItem* it = items_.Get(item)) it->stateImage = 0;
}

bool InfobaseTree::ReadUsers(const InfobaseEntry& entry, std::vector<std::string>& names) const {
  names.clear();
  return readUsers_ && readUsers_(entry.path, names) && !names.empty();
}

void InfobaseTree::NotifyModified() const {
  if (onModified_) onModified_();
}
