// The one place where the main program hands a saved configuration to the launcher
// registration (whether it has schedules). Until the registration is built in, a save
// registers nothing.
#pragma once

#include <string>

namespace app {

void RegisterWithLauncher(const std::string& configPath, bool hasSchedules);

}  // namespace app
