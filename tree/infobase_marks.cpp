// Marks of infobases and groups: validation, group marks derived from the children,
// and the operator's toggle.
#include <algorithm>

#include "tree/infobase_tree.h"

namespace {

bool ChoosesJob(const InfobaseEntry& e) {
  return e.AutoExchange || e.LogicalIntegrity || e.Pack || e.PhisicalIntegrity ||
         e.RecalcSecondaries || e.RecalcTotals || e.Reindex || e.SaveData || e.UnloadData ||
         e.UseExternalArchiver;
}

bool CarriesBox(ItemKind kind) {
  return kind == ItemKind::InfobaseItem || kind == ItemKind::BaseGroup ||
         kind == ItemKind::UnregisteredGroup;
}

}  // namespace

bool InfobaseTree::SetMark(ItemHandle item, int mark) {
  TreeItem* it = items_.Get(item);
  if (it == nullptr || mark < 0 || mark > 4) return false;
  it->stateImage = mark + 1;
  return true;
}

int InfobaseTree::GetMark(ItemHandle item) const {
  const TreeItem* it = items_.Get(item);
  return it == nullptr ? -1 : it->stateImage - 1;
}

// A user name not in a readable, non-empty user list blocks the infobase, unless only
// the external archiver (which needs no 1C:Enterprise log-on) is used.
bool InfobaseTree::UserIsListed(const InfobaseEntry& entry) {
  if (entry.UseExternalArchiver) return true;
  std::vector<std::string> names;
  if (!readUsers_ || !readUsers_(entry.path, names) || names.empty()) return true;
  return std::find(names.begin(), names.end(), entry.UserName) != names.end();
}

int InfobaseTree::ValidateInfobase(ItemHandle item) {
  const TreeItem* it = items_.Get(item);
  if (it == nullptr || it->kind != ItemKind::InfobaseItem) return 1;
  const std::optional<InfobaseEntry> entry = FindInfobase(item);
  if (!entry) return 1;
  bool valid = UserIsListed(*entry);
  SetItemImage(items_.FirstChild(item, ItemKind::UserItem),
               valid ? tree_image::kUserVerified : tree_image::kUser);
  const bool jobs = ChoosesJob(*entry);
  SetItemImage(items_.FirstChild(item, ItemKind::ParametersItem),
               jobs ? tree_image::kParametersChosen : tree_image::kParameters);
  if (!jobs) valid = false;
  const int mark = GetMark(item);
  if (mark == 0) return 1;
  if (mark == 1 && !valid) SetMark(item, 3);
  if (mark == 3 && valid) SetMark(item, 1);
  return valid ? 1 : 0;
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
    const int m = GetMark(child);
    c0 += m == 0;
    c1 += m == 1;
    c3 += m == 3;
  }
  const size_t n = children.size();
  int mark = 2;
  if (c1 == n) {
    mark = 1;
  } else if (c0 == n) {
    mark = 0;
  } else if (c3 == n) {
    mark = 3;
  } else if (c3 > 0) {
    mark = 4;
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
  const int a = GetMark(item);
  const int newMark = a == 0 ? 1 : 0;
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
    if (newMark == 1 && ValidateInfobase(child) == 0) ++failed;
  }
  int groupMark = newMark;
  if (failed == children.size()) {
    groupMark = 3;
  } else if (failed > 0) {
    groupMark = 4;
  }
  SetMark(item, groupMark);
}
