// Checks arbitrary bytes as a ZIP archive, with and without a password: the check must
// end, and never read outside the bytes (the buffer is exactly the input).
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "archive/zip_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A copy of exactly size bytes, so that a read past the end is caught.
  std::unique_ptr<char[]> bytes(new char[size ? size : 1]);
  if (size) std::memcpy(bytes.get(), data, size);
  ziparc::MemorySource source(std::string_view(bytes.get(), size));
  ziparc::CheckZip(source);
  ziparc::CheckZip(source, {"secret", {}});
  ziparc::CheckZip(source, {"Parol1", {}});
  return 0;
}
