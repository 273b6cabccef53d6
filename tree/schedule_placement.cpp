#include "tree/schedule_placement.h"

namespace {

// The item of the first schedule in list order with this mode; kNoItem if none.
ItemHandle ItemWithMode(const InfobaseTree& tree, ScheduleMode mode) {
  for (const ScheduleEntry& e : tree.ScheduleEntries()) {
    if (e.Mode == mode) return e.item;
  }
  return kNoItem;
}

void StoreAt(InfobaseTree& tree, ItemHandle item, ScheduleEntry entry) {
  entry.item = item;
  tree.SetItemText(item, entry.name);
  tree.StoreSchedule(entry);
}

}  // namespace

void PlaceSchedule(InfobaseTree& tree, ItemHandle edited, const ScheduleEntry& result) {
  const std::optional<ScheduleEntry> former = tree.FindSchedule(edited);
  if (!former) return;
  tree.NotifyModified();
  if (result.Mode == ScheduleMode::Placeholder) return;
  const bool wasReal = former->Mode != ScheduleMode::Placeholder;
  const ItemHandle holder = ItemWithMode(tree, result.Mode);
  if (holder != kNoItem) {
    StoreAt(tree, holder, result);
    if (holder != edited && wasReal) tree.DeleteItem(edited);
  } else if (wasReal) {
    StoreAt(tree, edited, result);
  } else {
    tree.ApplySchedule(result);
  }
}

bool EditScheduleItem(InfobaseTree& tree, ItemHandle item,
                      const std::function<bool(ScheduleEntry& entry)>& dialog) {
  const TreeItem* it = tree.Item(item);
  std::optional<ScheduleEntry> entry = tree.FindSchedule(item);
  if (it == nullptr || it->kind != ItemKind::ScheduleItem || !entry || !dialog(*entry)) {
    return false;
  }
  PlaceSchedule(tree, item, *entry);
  return true;
}
