#include "config/schedule_record.h"

#include "config/infobase_record.h"
#include "store/settings_file.h"

namespace {

// Readers copy at most this many bytes of a value; longer values count as unreadable.
constexpr uint32_t kReadCapacity = cfg::kMaxTextBytes + 1;
// The bytes of a value, or nullopt when it is missing or unreadable.
std::optional<std::string> ReadRaw(CSettingsFile& file, int32_t sectionId, const char* name) {
  std::string buffer(kReadCapacity, '\0');
  int32_t type = 0;
  uint32_t size = kReadCapacity;
  if (!file.ReadValue(sectionId, name, type, size, buffer.data()) || size > kReadCapacity)
    return std::nullopt;
  buffer.resize(size);
  return buffer;
}

// The first byte of a value (0 for an empty one), or fallback when it cannot be read.
uint8_t ReadByte(CSettingsFile& file, int32_t sectionId, const char* name, uint8_t fallback) {
  auto raw = ReadRaw(file, sectionId, name);
  if (!raw) return fallback;
  return raw->empty() ? 0 : static_cast<uint8_t>((*raw)[0]);
}

std::optional<uint32_t> ReadTime(CSettingsFile& file, int32_t sectionId) {
  auto raw = ReadRaw(file, sectionId, cfg::kTime);
  if (!raw || raw->size() < 4) return std::nullopt;  // too short to be a time
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<uint8_t>((*raw)[i])) << 8 * i;
  return v;
}

bool WriteByte(CSettingsFile& file, int32_t sectionId, const char* name, uint8_t value) {
  return file.WriteBinary(sectionId, name, &value, 1);
}

}  // namespace

bool WriteScheduleSection(CSettingsFile& file, int32_t scheduleSectionId,
                          const ScheduleEntry& entry) {
  int32_t id = file.CreateSection(entry.name, scheduleSectionId);
  if (id == 0) return false;
  const uint8_t time[4] = {static_cast<uint8_t>(entry.Time), static_cast<uint8_t>(entry.Time >> 8),
                           static_cast<uint8_t>(entry.Time >> 16),
                           static_cast<uint8_t>(entry.Time >> 24)};
  return WriteByte(file, id, cfg::kDate, entry.Date) &&
         WriteByte(file, id, cfg::kDays, entry.Days) &&
         WriteByte(file, id, cfg::kMode, static_cast<uint8_t>(entry.Mode)) &&
         (!entry.HasTime() || file.WriteBinary(id, cfg::kTime, time, 4)) &&
         WriteByte(file, id, cfg::kOnce, entry.Once);
}

bool WriteSchedules(CSettingsFile& file, int32_t rootId, const std::vector<ScheduleEntry>& list) {
  int32_t scheduleId = file.CreateSection(cfg::kScheduleSection, rootId);
  if (scheduleId == 0) return false;
  bool ok = true;
  for (const auto& entry : list)
    if (entry.Mode != ScheduleMode::Placeholder)
      ok = WriteScheduleSection(file, scheduleId, entry) && ok;
  return ok;
}

std::optional<ScheduleRecord> ReadScheduleSection(CSettingsFile& file, int32_t sectionId,
                                                  const std::string& name) {
  uint8_t mode = ReadByte(file, sectionId, cfg::kMode, 0);
  if (mode == 0) return std::nullopt;
  ScheduleRecord record;
  record.entry.name = name;
  record.entry.Mode = static_cast<ScheduleMode>(mode);
  record.entry.Date = ReadByte(file, sectionId, cfg::kDate, cfg::kDefaultDate);
  record.entry.Days = ReadByte(file, sectionId, cfg::kDays, cfg::kDefaultDays);
  record.entry.Once = ReadByte(file, sectionId, cfg::kOnce, cfg::kDefaultOnce);
  if (auto time = ReadTime(file, sectionId)) {
    record.entry.Time = *time;
    record.hasTime = true;
  }
  return record;
}

std::vector<ScheduleRecord> ReadSchedules(CSettingsFile& file, int32_t rootId) {
  std::vector<ScheduleRecord> list;
  int32_t scheduleId = file.OpenSection(rootId, cfg::kScheduleSection);
  if (scheduleId == 0) return list;
  std::string name;
  for (int32_t index = 0;; ++index) {
    int32_t id = file.EnumSection(scheduleId, index, name);
    if (id == 0) break;
    if (name.size() > cfg::kMaxSectionName) continue;  // no schedule for either program
    if (auto record = ReadScheduleSection(file, id, name)) list.push_back(std::move(*record));
  }
  return list;
}

std::optional<std::vector<ScheduleRecord>> ReadConfigSchedules(
    const std::string& path, platform::FileErrorReporter reporter,
    platform::fs::Attributes* read) {
  CSettingsFile file(path, SF_MODE_READ, std::move(reporter));
  int32_t root = file.OpenSectionPath(cfg::kRootSection);
  if (root == 0) return std::nullopt;
  auto list = ReadSchedules(file, root);
  if (read) *read = file.OpenAttributes();
  file.Close();
  return list;
}
