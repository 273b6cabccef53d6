// Writes and reads back configuration-shaped settings files: n infobase sections of 30
// values each with a file-list child, general options and schedules. Prints the time
// per n. Usage: settings_file_bench [repetitions]
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "store/settings_file.h"

namespace {

using Clock = std::chrono::steady_clock;

void WriteConfiguration(const std::string& path, int n) {
  CSettingsFile f(path, SF_MODE_CREATE_READWRITE, platform::SilentFileErrorReporter());
  f.Open();
  f.Clear();
  int32_t root = f.CreateSection("Zorvan", 0);
  int32_t general = f.CreateSection("GeneralOptions", root);
  for (int i = 0; i < 15; ++i) f.WriteDword(general, "Option" + std::to_string(i), i);
  int32_t params = f.CreateSection("Parameters", root);
  for (int b = 0; b < n; ++b) {
    int32_t base = f.CreateSection("C:\\Bases\\Infobase" + std::to_string(b), params);
    for (int v = 0; v < 15; ++v)
      f.WriteString(base, "Text" + std::to_string(v), "D:\\Archive\\value " + std::to_string(v));
    for (int v = 0; v < 14; ++v) f.WriteDword(base, "Flag" + std::to_string(v), v & 1);
    uint8_t type = 1;
    f.WriteBinary(base, "Type", &type, 1);
    int32_t list = f.CreateSection("FileList", base);
    f.CreateSection("*.dbf", list);
    f.CreateSection("*.md", list);
  }
  int32_t schedule = f.CreateSection("Schedule", root);
  for (int s = 0; s < 3; ++s) {
    int32_t entry = f.CreateSection("Schedule " + std::to_string(s), schedule);
    uint32_t value = 7;
    for (const char* key : {"Date", "Days", "Mode", "Time", "Once"})
      f.WriteBinary(entry, key, &value, 4);
  }
}

// Reads everything back as a load does; returns the number of values read.
long ReadConfiguration(const std::string& path) {
  CSettingsFile f(path, SF_MODE_READ, platform::SilentFileErrorReporter());
  f.Open();
  long count = 0;
  char buf[260];
  int32_t type = 0;
  uint32_t size = 0;
  int32_t root = f.OpenSectionPath("Zorvan");
  int32_t general = f.OpenSection(root, "GeneralOptions");
  for (int i = 0; i < 15; ++i)
    count += f.ReadValue(general, "Option" + std::to_string(i), type, size = 260, buf);
  int32_t params = f.OpenSection(root, "Parameters");
  std::string name, entry;
  for (int32_t i = 0;; ++i) {
    int32_t base = f.EnumSection(params, i, name);
    if (!base) break;
    for (int v = 0; v < 15; ++v)
      count += f.ReadValue(base, "Text" + std::to_string(v), type, size = 260, buf);
    for (int v = 0; v < 14; ++v)
      count += f.ReadValue(base, "Flag" + std::to_string(v), type, size = 260, buf);
    count += f.ReadValue(base, "Type", type, size = 260, buf);
    int32_t list = f.OpenSection(base, "FileList");
    for (int32_t j = 0; f.EnumSection(list, j, entry); ++j) ++count;
  }
  int32_t schedule = f.OpenSection(root, "Schedule");
  for (int32_t i = 0;; ++i) {
    int32_t s = f.EnumSection(schedule, i, name);
    if (!s) break;
    for (const char* key : {"Mode", "Date", "Days", "Time", "Once"})
      count += f.ReadValue(s, key, type, size = 260, buf);
  }
  return count;
}

double Milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace

int main(int argc, char** argv) {
  int repetitions = argc > 1 ? std::atoi(argv[1]) : 3;
  std::string path = "/tmp/zv_settings_bench_" + std::to_string(getpid()) + ".cfg";
  std::printf("%6s %10s %10s %10s %10s %8s\n", "n", "bytes", "write ms", "read ms", "total ms",
              "values");
  for (int n : {10, 50, 200}) {
    double bestWrite = 1e99, bestRead = 1e99;
    long values = 0;
    for (int r = 0; r < repetitions; ++r) {
      auto t0 = Clock::now();
      WriteConfiguration(path, n);
      auto t1 = Clock::now();
      values = ReadConfiguration(path);
      auto t2 = Clock::now();
      bestWrite = std::min(bestWrite, Milliseconds(t1 - t0));
      bestRead = std::min(bestRead, Milliseconds(t2 - t1));
    }
    FILE* f = std::fopen(path.c_str(), "rb");
    long bytes = 0;
    if (f) {
      std::fseek(f, 0, SEEK_END);
      bytes = std::ftell(f);
      std::fclose(f);
    }
    std::printf("%6d %10ld %10.2f %10.2f %10.2f %8ld\n", n, bytes, bestWrite, bestRead,
                bestWrite + bestRead, values);
  }
  std::remove(path.c_str());
  return 0;
}
