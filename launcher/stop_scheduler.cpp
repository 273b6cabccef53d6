#include "launcher/stop_scheduler.h"

#include <string>
#include <vector>

#include "config/config_schema.h"
#include "launcher/launcher_names.h"
#include "platform/fs.h"
#include "store/settings_file.h"

namespace launcher {
namespace {

void DeleteSchedules(const std::string& path) {
  CSettingsFile file(path, SF_MODE_READWRITE, platform::SilentFileErrorReporter());
  if (!file.Open()) return;
  int32_t root = file.OpenSectionPath(cfg::kRootSection);
  int32_t schedules = root ? file.OpenSection(root, cfg::kScheduleSection) : 0;
  if (schedules) file.DeleteSection(schedules);
  file.Close();
}

}  // namespace

void StopScheduler(platform::Registry& registry) {
  using platform::RegRoot;
  registry.DeleteValue(RegRoot::CurrentUser, kRunKey, kLauncherName);
  auto values = registry.EnumValues(RegRoot::CurrentUser, kListKey);
  if (!values) return;
  std::vector<std::string> done;
  for (const platform::RegNamedValue& value : *values) {
    if (value.name.empty() || !platform::fs::FileExists(value.name)) continue;
    done.push_back(value.name);
    DeleteSchedules(value.name);
  }
  for (const std::string& name : done) registry.DeleteValue(RegRoot::CurrentUser, kListKey, name);
}

}  // namespace launcher
