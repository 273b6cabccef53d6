#include "app/win32/schedule_editors.h"

#include "app/win32/schedule_dlg.h"
#include "app/win32/task_dlg.h"
#include "tree/schedule_placement.h"

namespace app {

void SetScheduleAndTaskEditors(TreeEditors& editors, InfobaseTree& tree,
                               std::function<HWND()> owner) {
  editors.schedule = [&tree, owner](ItemHandle item) {
    return EditScheduleItem(
        tree, item, [&](ScheduleEntry& entry) { return ShowScheduleDialog(owner(), entry); });
  };
  editors.task = [&tree, owner](bool after, AdditionalTasks& tasks) {
    if (!ShowAdditionalTaskDialog(owner(), after, tasks)) return false;
    tree.NotifyModified();
    return true;
  };
}

}  // namespace app
