// The tray's stop command: the launcher's autostart and every registration go, and each
// listed configuration file that exists loses its "Schedule" section (its jobs stay).
#pragma once

#include "platform/registry.h"

namespace launcher {

// Deletes the Run value; for each list value naming an existing file, deletes that
// file's schedules (a file that cannot be opened keeps them) and the value. Values of
// missing files stay for the poll to prune.
void StopScheduler(platform::Registry& registry);

}  // namespace launcher
