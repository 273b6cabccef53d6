// The items of the infobase tree without a window: kind, text, image, state image,
// parent and ordered children. Handles are never 0 and never reused.
#pragma once

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "config/entries.h"

// What a tree item is; the numbers are the item data the tree control carries.
enum class ItemKind : int {
  TasksRoot = 0,
  PreTaskItem = 1,
  PostTaskItem = 2,
  ScheduleRoot = 4,
  ScheduleItem = 5,
  UnregisteredGroup = 6,
  BaseGroup = 8,
  InfobaseItem = 9,
  UserItem = 10,
  PasswordItem = 11,
  ParametersItem = 12,
};

struct TreeItem {
  ItemKind kind = ItemKind::TasksRoot;
  std::string text;
  int image = 0;
  int stateImage = 0;  // 0 no box; mark m shows as m + 1
  ItemHandle parent = kNoItem;
  std::vector<ItemHandle> children;
};

class TreeItems {
 public:
  // Appends (or, with first, prepends) an item under parent (kNoItem: the root).
  ItemHandle Insert(ItemHandle parent, ItemKind kind, std::string text, int image,
                    bool first = false);
  // Removes the item with its descendants; onDelete sees every removed item first.
  void Delete(ItemHandle item, const std::function<void(ItemHandle, const TreeItem&)>& onDelete);
  void Clear();

  const TreeItem* Get(ItemHandle item) const;
  TreeItem* Get(ItemHandle item);
  const std::vector<ItemHandle>& Children(ItemHandle parent) const;
  // First child of the given kind, kNoItem if none.
  ItemHandle FirstChild(ItemHandle parent, ItemKind kind) const;
  // Stable sort of the children of parent by their texts.
  void SortChildren(ItemHandle parent,
                    const std::function<bool(const std::string&, const std::string&)>& less);

 private:
  std::vector<ItemHandle>* ChildList(ItemHandle parent);

  std::unordered_map<ItemHandle, TreeItem> items_;
  std::vector<ItemHandle> roots_;
  ItemHandle next_ = 1;
};
