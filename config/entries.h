// Plain records of one infobase with its job parameters and of one schedule.
// Texts are Windows-1251 byte strings; flags hold 0 or 1.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Where an infobase comes from ("Type" in its section).
enum class InfobaseType : uint8_t { Registered = 0, AddedByHand = 1 };

// When a schedule starts a run ("Mode" in its section). A stored value outside these
// is kept as it is and is never due.
enum class ScheduleMode : uint8_t {
  Placeholder = 0,
  Daily = 1,
  Weekly = 2,
  Monthly = 3,
  AtStartUp = 4
};

// Whether an infobase takes part in runs (its check box in the tree, "State" in its
// section); only Marked runs and is saved. A group's mark is derived from its children.
enum class Mark : int {
  NoBox = -1,  // the item carries no check box
  Unmarked = 0,
  Marked = 1,
  Mixed = 2,          // group: some children marked, none blocked
  Blocked = 3,        // marked, but it cannot run (no job, or a user not in its list)
  PartlyBlocked = 4,  // group: some children blocked
};
inline constexpr int kLowestMark = 0, kHighestMark = 4;

// The mark a stored number stands for (0..4), or NoBox for any other number.
inline Mark MarkFromNumber(int64_t number) {
  return number >= kLowestMark && number <= kHighestMark ? static_cast<Mark>(number) : Mark::NoBox;
}

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
  InfobaseType Type = InfobaseType::Registered;

  // Bitwise OR of the six check-and-repair actions (stored as "CheckAndRepair").
  int32_t CheckAndRepair() const {
    return PhisicalIntegrity | Reindex | LogicalIntegrity | RecalcSecondaries | RecalcTotals | Pack;
  }

  // Which jobs the entry asks for. Flags edited in the window hold 0 or 1, but a run
  // reads 32-bit values from the file: the batch file and the journal's job list take a
  // job only when its flag is exactly 1, the other questions any nonzero flag.
  // Any job at all (nonzero flag): without one the tree blocks the infobase.
  bool ChoosesAnyJob() const {
    return AutoExchange || LogicalIntegrity || Pack || PhisicalIntegrity || RecalcSecondaries ||
           RecalcTotals || Reindex || SaveData || UnloadData || UseExternalArchiver;
  }
  // A job 1C:Enterprise does (nonzero flag): a save then checks the executable's path.
  bool AsksForEnterpriseJob() const {
    return SaveData || UnloadData || AutoExchange || CheckAndRepair() != 0;
  }
  // Whether the job step starts 1C:Enterprise: always, except for an external archiver
  // run without a repair or an exchange (the archiver then makes the save archive).
  bool StartsEnterprise() const {
    return UseExternalArchiver != 1 || CheckAndRepair() != 0 || AutoExchange != 0;
  }
  // Jobs the batch file asks 1C:Enterprise for; the archives only without an external
  // archiver (which makes the save archive itself).
  bool BatchSavesData() const { return SaveData == 1 && UseExternalArchiver == 0; }
  bool BatchUnloadsData() const { return UnloadData == 1 && UseExternalArchiver == 0; }
  bool BatchRepairs() const { return CheckAndRepair() == 1; }
  bool BatchExchanges() const { return AutoExchange == 1; }
  // An archive of the data is asked for (the job step sets SaveData for the archiver).
  bool AsksForArchive() const { return SaveData || UnloadData; }

  bool operator==(const InfobaseEntry&) const = default;
};

// Time of a schedule read without "Time" (a file edited by other means): such a schedule
// is never due, and a save writes it back without "Time" again. A value no dialog
// produces (a moment in 2106 one second before the last one); an edit of the time
// replaces it with a real one.
inline constexpr uint32_t kNoScheduleTime = 0xFFFFFFFE;

struct ScheduleEntry {
  std::string name;        // description text; also its section name under "Schedule"
  std::string secondText;  // kept empty
  ItemHandle item = kNoItem;
  uint8_t Days = 0;  // bit n = weekday n, 0 Sunday .. 6 Saturday
  ScheduleMode Mode = ScheduleMode::Placeholder;
  uint32_t Time = 0; // seconds since 1970 UTC; only local hour and minute count
  uint8_t Date = 1;  // day of the month for Monthly
  uint8_t Once = 0;  // AtStartUp: at most one start per calendar day

  bool HasTime() const { return Time != kNoScheduleTime; }

  bool operator==(const ScheduleEntry&) const = default;
};
