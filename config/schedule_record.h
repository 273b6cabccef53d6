// Schedules in a configuration file: under the root section "Zorvan", the section
// "Schedule" holds one child section per schedule, named by its description, with the
// five SF_BINARY values "Date", "Days", "Mode", "Time" and "Once".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "config/config_schema.h"
#include "config/entries.h"
#include "platform/file_error.h"
#include "platform/fs.h"

class CSettingsFile;

// A schedule as read from its section. A section written by another tool may lack
// "Time"; such a schedule has no start time and a daily, weekly or monthly one is never
// due. entry.Time is 0 then.
struct ScheduleRecord {
  ScheduleEntry entry;
  bool hasTime = false;

  bool operator==(const ScheduleRecord&) const = default;
};

// Writes entry as the section entry.name under scheduleSectionId (an existing section of
// that name is reused, its values replaced). False when any step fails.
bool WriteScheduleSection(CSettingsFile& file, int32_t scheduleSectionId,
                          const ScheduleEntry& entry);

// Writes the "Schedule" section under rootId (always, even with no schedules) and one
// section per entry whose Mode is not 0, in list order.
bool WriteSchedules(CSettingsFile& file, int32_t rootId, const std::vector<ScheduleEntry>& list);

// Reads one schedule section. nullopt when it has no "Mode" or Mode 0 (such sections are
// ignored); a missing "Date", "Days" or "Once" reads as 1, 0, 0.
std::optional<ScheduleRecord> ReadScheduleSection(CSettingsFile& file, int32_t sectionId,
                                                  const std::string& name);

// Every schedule under rootId's "Schedule" section, in file order; empty without one.
// Sections with names over 255 bytes are skipped, as the configuration load does.
std::vector<ScheduleRecord> ReadSchedules(CSettingsFile& file, int32_t rootId);

// The schedules of a configuration file, opened read-only for the length of the call.
// nullopt when the file cannot be opened (reported through reporter) or has no "Zorvan"
// root; an empty list when it has no schedules. read, when given, receives the size and
// last write of the file as it was read.
std::optional<std::vector<ScheduleRecord>> ReadConfigSchedules(
    const std::string& path, platform::FileErrorReporter reporter,
    platform::fs::Attributes* read = nullptr);
