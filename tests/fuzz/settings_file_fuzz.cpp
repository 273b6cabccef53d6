// Opens arbitrary bytes as a settings file and runs every reader and a few writers.
#include <unistd.h>

#include <cstdint>
#include <string>

#include "platform/fs.h"
#include "store/settings_file.h"

namespace {

const std::string& ScratchPath() {
  static const std::string path = "/tmp/zv_settings_fuzz_" + std::to_string(getpid()) + ".cfg";
  return path;
}

const char* const kNames[] = {"Zorvan", "abc", "a", "Name", "Flag", "Data", "Schedule", "1"};

void ReadEverything(CSettingsFile& f) {
  std::string name, out;
  f.OpenSectionPath("Zorvan");
  f.OpenSectionPath("Zorvan\\Parameters");
  for (int32_t id = 0; id < 8; ++id) {
    for (int32_t i = 0; i < 4; ++i) {
      int32_t child = f.EnumSection(id, i, name);
      if (child) f.OpenSection(id, name);
    }
    for (const char* value : kNames) {
      char buf[16];
      int32_t type = 0;
      uint32_t size = sizeof buf;
      f.ReadValue(id, value, type, size, buf);
      f.ReadBytes(id, value, out);
      f.OpenSection(id, value);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& path = ScratchPath();
  if (!platform::fs::WriteWholeFile(path, {reinterpret_cast<const char*>(data), size})) return 0;
  CSettingsFile f(path, SF_MODE_READ, platform::SilentFileErrorReporter());
  ReadEverything(f);
  // Writers on whatever the file holds, then everything read again.
  f.WriteString(1, "Name", "text");
  f.WriteDword(2, "Flag", 7);
  f.WriteBinary(1, "Data", "\x01\x02", 2);
  f.CreateSection("abc", 1);
  f.DeleteSection(3);
  ReadEverything(f);
  f.Close();
  platform::fs::RemoveFile(path);
  return 0;
}
