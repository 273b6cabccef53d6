#include "app/launcher_hook.h"

namespace app {

void RegisterWithLauncher(const std::string&, bool) {}

}  // namespace app
