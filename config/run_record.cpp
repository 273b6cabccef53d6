#include "config/run_record.h"

#include <algorithm>
#include <utility>

#include "config/record_bytes.h"
#include "platform/registry.h"

namespace runs {
namespace {

using bytes::Reader;
using bytes::Writer;
using platform::RegRoot;

constexpr char kMagic[] = {'Z', 'R', 1};
enum Flag : uint8_t { kUnattended = 1, kAborted = 2, kUnreadable = 4 };

void WriteOne(Writer& w, const RunRecord& r) {
  w.Number(r.sequence);
  w.Number(static_cast<uint8_t>((r.unattended ? kUnattended : 0) | (r.aborted ? kAborted : 0) |
                                (r.unreadable ? kUnreadable : 0)));
  w.Number(static_cast<uint64_t>(r.started));
  w.Number(static_cast<uint64_t>(r.ended));
  w.Number(r.infobasesRun);
  w.Number(r.infobasesFailed);
  const size_t names = std::min(r.failedNames.size(), kNamedFailures);
  w.Number(static_cast<uint8_t>(names));
  for (size_t i = 0; i < names; ++i) w.Text(r.failedNames[i]);
  w.Text(r.journalPath);
}

bool ReadOne(Reader& in, RunRecord& r) {
  uint8_t flags = 0, names = 0;
  uint64_t started = 0, ended = 0;
  if (!in.Number(r.sequence) || !in.Number(flags) || !in.Number(started) || !in.Number(ended) ||
      !in.Number(r.infobasesRun) || !in.Number(r.infobasesFailed) || !in.Number(names) ||
      names > kNamedFailures)
    return false;
  r.started = static_cast<int64_t>(started);
  r.ended = static_cast<int64_t>(ended);
  r.unattended = (flags & kUnattended) != 0;
  r.aborted = (flags & kAborted) != 0;
  r.unreadable = (flags & kUnreadable) != 0;
  r.failedNames.resize(names);
  for (std::string& name : r.failedNames)
    if (!in.Text(name)) return false;
  return in.Text(r.journalPath);
}

}  // namespace

bool IsFailure(const RunRecord& r) {
  return r.aborted || r.unreadable || r.infobasesFailed > 0 || r.infobasesRun == 0;
}

std::string ResultText(const RunRecord& r) {
  if (r.unreadable) return "не выполнен: файл настройки не прочитан";
  const std::string counts =
      " (" + std::to_string(r.infobasesFailed) + " из " + std::to_string(r.infobasesRun) + ")";
  if (r.aborted) return r.infobasesFailed > 0 ? "прерван" + counts : "прерван";
  if (r.infobasesRun == 0) return "нет заданий";
  if (r.infobasesFailed > 0) return "с ошибками" + counts;
  return "успешно";
}

std::string Serialize(const std::vector<RunRecord>& records) {
  Writer w;
  w.Bytes(kMagic, sizeof kMagic);
  const size_t first =
      records.size() > kRecordsPerConfiguration ? records.size() - kRecordsPerConfiguration : 0;
  w.Number(static_cast<uint8_t>(records.size() - first));
  for (size_t i = first; i < records.size(); ++i) WriteOne(w, records[i]);
  return w.Take();
}

std::optional<std::vector<RunRecord>> Parse(const std::string& bytes) {
  if (bytes.compare(0, sizeof kMagic, kMagic, sizeof kMagic) != 0) return std::nullopt;
  Reader in(bytes);
  in.Skip(sizeof kMagic);
  uint8_t count = 0;
  if (!in.Number(count) || count > kRecordsPerConfiguration) return std::nullopt;
  std::vector<RunRecord> records(count);
  for (RunRecord& r : records)
    if (!ReadOne(in, r)) return std::nullopt;
  if (!in.AtEnd()) return std::nullopt;
  return records;
}

void Append(std::vector<RunRecord>& records, RunRecord record) {
  record.sequence = records.empty() ? 1 : records.back().sequence + 1;
  if (record.failedNames.size() > kNamedFailures) record.failedNames.resize(kNamedFailures);
  records.push_back(std::move(record));
  if (records.size() > kRecordsPerConfiguration)
    records.erase(records.begin(), records.end() - kRecordsPerConfiguration);
}

std::vector<RunRecord> ReadRecords(platform::Registry& registry, const std::string& configPath) {
  auto value = registry.ReadValue(RegRoot::CurrentUser, kRunsKey, configPath);
  if (!value) return {};
  return Parse(value->data).value_or(std::vector<RunRecord>{});
}

std::vector<ConfigurationRuns> ReadAllRecords(platform::Registry& registry) {
  std::vector<ConfigurationRuns> all;
  auto values = registry.EnumValues(RegRoot::CurrentUser, kRunsKey);
  if (!values) return all;
  for (const platform::RegNamedValue& v : *values) {
    auto records = Parse(v.value.data);
    if (!v.name.empty() && records && !records->empty())
      all.push_back({v.name, std::move(*records)});
  }
  return all;
}

bool WriteRecord(platform::Registry& registry, const std::string& configPath, RunRecord record) {
  if (configPath.empty() || !registry.CreateKey(RegRoot::CurrentUser, kRunsKey)) return false;
  std::vector<RunRecord> records = ReadRecords(registry, configPath);
  Append(records, std::move(record));
  return registry.WriteValue(RegRoot::CurrentUser, kRunsKey, configPath,
                             platform::RegValue::Binary(Serialize(records)));
}

}  // namespace runs
