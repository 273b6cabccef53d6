// The result of one run of a configuration, as the main program records it at the end of
// every run and the launcher reads it: HKEY_CURRENT_USER\SOFTWARE\Zorvan\Runs holds one
// REG_BINARY value per configuration file (named by its path) with its last records.
// The key lies beside the launcher's list key, never under it: every value there is read
// as a configuration path, and a subkey would stop its deletion.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {
class Registry;
}

namespace runs {

inline constexpr char kRunsKey[] = "SOFTWARE\\Zorvan\\Runs";
// Records kept per configuration; the oldest go first.
inline constexpr size_t kRecordsPerConfiguration = 20;
// Failed infobases named in one record (the count is always whole).
inline constexpr size_t kNamedFailures = 32;

struct RunRecord {
  uint32_t sequence = 0;    // 1, 2, ... per configuration, in the order of the runs
  bool unattended = false;  // started with /BEGIN (by the launcher), not by the operator
  int64_t started = 0;      // seconds since 1970 UTC
  int64_t ended = 0;
  uint32_t infobasesRun = 0;
  uint32_t infobasesFailed = 0;
  std::vector<std::string> failedNames;  // at most kNamedFailures
  bool aborted = false;
  bool unreadable = false;  // the configuration could not be read: nothing ran
  std::string journalPath;  // empty when the run wrote no journal
  bool operator==(const RunRecord&) const = default;
};

// A run that did not do all it was to do: failed infobases, an abort, an unreadable
// configuration or nothing to run.
bool IsFailure(const RunRecord& record);

// The result in words: "успешно", "с ошибками (2 из 5)", "прерван", ...
std::string ResultText(const RunRecord& record);

// The value's bytes; Parse gives nullopt for anything it did not write.
std::string Serialize(const std::vector<RunRecord>& records);
std::optional<std::vector<RunRecord>> Parse(const std::string& bytes);

// Appends with the next sequence number and keeps the last kRecordsPerConfiguration.
void Append(std::vector<RunRecord>& records, RunRecord record);

// The records of one configuration, oldest first (none when unreadable).
std::vector<RunRecord> ReadRecords(platform::Registry& registry, const std::string& configPath);

struct ConfigurationRuns {
  std::string configPath;
  std::vector<RunRecord> records;
};
std::vector<ConfigurationRuns> ReadAllRecords(platform::Registry& registry);

// Adds a record to the configuration's value, creating the key when missing. Never
// throws; false when the registry refused.
bool WriteRecord(platform::Registry& registry, const std::string& configPath, RunRecord record);

}  // namespace runs
