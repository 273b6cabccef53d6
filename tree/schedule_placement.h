// What the tree does with the schedule dialog's result: it holds at most one schedule
// per mode, so a schedule whose mode is taken replaces the one that has it.
#pragma once

#include <functional>

#include "tree/infobase_tree.h"

// Puts result (the entry of the schedule item edited, as the dialog left it) into the
// tree, and marks the configuration changed. The first entry in list order with the same
// mode takes it; an edited real schedule whose mode went to another item is deleted. A
// mode nobody has yet: an edited real schedule takes it in place, an edited placeholder
// stays and a new schedule item is put first under "Расписание".
void PlaceSchedule(InfobaseTree& tree, ItemHandle edited, const ScheduleEntry& result);

// Opens the dialog on a copy of the schedule item's entry and places what it applied;
// false when the item is no schedule or the dialog was cancelled.
bool EditScheduleItem(InfobaseTree& tree, ItemHandle item,
                      const std::function<bool(ScheduleEntry& entry)>& dialog);
