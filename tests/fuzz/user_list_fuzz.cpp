// The users-stream scan on arbitrary bytes: no crash, and names within the stream's size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "tree/user_list_scan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  size_t total = 0;
  for (const auto& name : ScanUserNames(bytes)) {
    if (name.empty() || name.find('"') != std::string::npos) std::abort();
    total += name.size();
  }
  if (total > size) std::abort();
  return 0;
}
