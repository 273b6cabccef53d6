// The infobase's event log around a 1C:Enterprise start: the log is set aside (renamed
// to the backup name) and an empty one created, so that afterwards the new file holds
// just this run's entries; these are then appended to the backup, which becomes the log
// again. A backup left behind by an interrupted run is merged back first, so the earlier
// entries are never lost.
#pragma once

#include <optional>
#include <string>

struct EventLog {
  std::string log;     // infobase\SYSLOG\1cv7.mlg
  std::string backup;  // infobase\SYSLOG\1cv7_mlg.bak
  bool setAside = false;
};

EventLog SetAsideEventLog(const std::string& infobasePath);

// Reads this run's entries (nullopt when there are none or they cannot be read). When
// merge is true (the child has ended) they are appended to the backup, which replaces the
// log; otherwise, or when a step fails, both files stay for the next run to merge.
std::optional<std::string> CollectEventLog(EventLog& log, bool merge);

// The entries as the journal shows them: without the final line break.
std::string TrimFinalLineBreak(std::string text);
