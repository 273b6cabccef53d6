#include "platform/registry.h"

namespace platform {

// There is no machine registry outside Windows.
std::unique_ptr<Registry> MakeWin32Registry() { return nullptr; }

}  // namespace platform
