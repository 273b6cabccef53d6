#include "tree/tree_items.h"

#include <algorithm>

ItemHandle TreeItems::Insert(ItemHandle parent, ItemKind kind, std::string text, int image,
                             bool first) {
  std::vector<ItemHandle>* siblings = ChildList(parent);
  if (siblings == nullptr) return kNoItem;
  const ItemHandle handle = next_++;
  TreeItem item;
  item.kind = kind;
  item.text = std::move(text);
  item.image = image;
  item.parent = parent;
  if (first) {
    siblings->insert(siblings->begin(), handle);
  } else {
    siblings->push_back(handle);
  }
  items_.emplace(handle, std::move(item));
  return handle;
}

void TreeItems::Delete(ItemHandle handle,
                       const std::function<void(ItemHandle, const TreeItem&)>& onDelete) {
  const TreeItem* item = Get(handle);
  if (item == nullptr) return;
  const std::vector<ItemHandle> children = item->children;
  for (ItemHandle child : children) Delete(child, onDelete);
  item = Get(handle);
  if (onDelete) onDelete(handle, *item);
  if (std::vector<ItemHandle>* siblings = ChildList(item->parent)) {
    siblings->erase(std::remove(siblings->begin(), siblings->end(), handle), siblings->end());
  }
  items_.erase(handle);
}

void TreeItems::Clear() {
  items_.clear();
  roots_.clear();
}

const TreeItem* TreeItems::Get(ItemHandle handle) const {
  auto it = items_.find(handle);
  return it == items_.end() ? nullptr : &it->second;
}

TreeItem* TreeItems::Get(ItemHandle handle) {
  auto it = items_.find(handle);
  return it == items_.end() ? nullptr : &it->second;
}

const std::vector<ItemHandle>& TreeItems::Children(ItemHandle parent) const {
  static const std::vector<ItemHandle> kNone;
  if (parent == kNoItem) return roots_;
  const TreeItem* item = Get(parent);
  return item == nullptr ? kNone : item->children;
}

ItemHandle TreeItems::FirstChild(ItemHandle parent, ItemKind kind) const {
  for (ItemHandle child : Children(parent)) {
    if (Get(child)->kind == kind) return child;
  }
  return kNoItem;
}

void TreeItems::SortChildren(ItemHandle parent,
                             const std::function<bool(const std::string&, const std::string&)>& less) {
  std::vector<ItemHandle>* children = ChildList(parent);
  if (children == nullptr) return;
  std::stable_sort(children->begin(), children->end(), [&](ItemHandle a, ItemHandle b) {
    return less(Get(a)->text, Get(b)->text);
  });
}

std::vector<ItemHandle>* TreeItems::ChildList(ItemHandle parent) {
  if (parent == kNoItem) return &roots_;
  TreeItem* item = Get(parent);
  return item == nullptr ? nullptr : &item->children;
}
