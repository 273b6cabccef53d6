// Plain records of one infobase with its job parameters and of one schedule.
// Texts are Windows-1251 byte strings; flags hold 0 or 1.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Identifies the tree item that shows a record; kNoItem in a copy outside the tree.
using ItemHandle = std::uintptr_t;
inline constexpr ItemHandle kNoItem = 0;

struct InfobaseEntry {
  ItemHandle item = kNoItem;
  std::string BaseName;
  std::string path;  // infobase folder as registered; its section name under "Parameters"
  std::string UserName;
  std::string Pswd;
  std::string DuplicateDirectory;
  std::string ArchiveName;
  int32_t SaveData = 0;
  int32_t UnloadData = 0;
  int32_t IncludeUserDef = 0;
  std::string PswdZIP;
  int32_t AutoExchange = 0;
  int32_t SendByEmail = 0;
  int32_t PhisicalIntegrity = 0;
  int32_t Reindex = 0;
  int32_t LogicalIntegrity = 0;
  int32_t RecalcSecondaries = 0;
  int32_t RecalcTotals = 0;
  int32_t Pack = 0;
  std::string ReadFrom;
  std::string WriteTo;
  std::string ReceiveFrom;
  std::string SendTo;
  int32_t CheckAndRepairMode = 0;
  int32_t LinksCreatingMode = 0;
  int32_t ObjectsCreatingMode = 0;
  int32_t UseExternalArchiver = 0;
  std::string ExternalArchiverName;
  std::string ExternalArchiveExtention;
  std::string ExternalArchiverParameters;
  std::vector<std::string> FileList;
  uint8_t Type = 0;  // 0 registered with 1C:Enterprise, 1 added by hand

  // Bitwise OR of the six check-and-repair actions (stored as "CheckAndRepair").
  int32_t CheckAndRepair() const {
    return PhisicalIntegrity | Reindex | LogicalIntegrity | RecalcSecondaries | RecalcTotals | Pack;
  }

  bool operator==(const InfobaseEntry&) const = default;
};

struct ScheduleEntry {
  std::string name;        // description text; also its section name under "Schedule"
  std::string secondText;  // kept empty
  ItemHandle item = kNoItem;
  uint8_t Days = 0;  // bit n = weekday n, 0 Sunday .. 6 Saturday
  int32_t Mode = 0;  // 0 placeholder, 1 daily, 2 weekly, 3 monthly, 4 at start-up
  uint32_t Time = 0; // seconds since 1970 UTC; only local hour and minute count
  uint8_t Date = 1;  // day of the month for mode 3
  uint8_t Once = 0;  // mode 4: at most one start per calendar day

  bool operator==(const ScheduleEntry&) const = default;
};
