// The general options of a configuration and its two additional tasks, with the
// defaults of a freshly opened main window. Texts are Windows-1251 byte strings.
#pragma once

#include <cstdint>
#include <string>

#include "config/config_schema.h"

// The programs started before and after the jobs of a run. Stored as the first four
// general values ("PreProcessFileName" .. "PostProcessCmdLine").
struct AdditionalTasks {
  std::string PreProcessFileName;
  std::string PostProcessFileName;
  std::string PreProcessCmdLine;
  std::string PostProcessCmdLine;

  bool operator==(const AdditionalTasks&) const = default;
};

// The other eleven general values; together with AdditionalTasks the fifteen values of
// the "GeneralOptions" section.
struct GeneralOptions {
  std::string BinaryDirectory;  // full path of the 1C:Enterprise executable file
  std::string DestinationDirectory;
  uint32_t CopyCount = cfg::kDefaultCopyCount;
  int32_t SaveMode = cfg::kDefaultSaveMode;  // 0 overwrite today's copy, 1 leave it
  int32_t Journal = cfg::kDefaultJournal;
  std::string JournalFileName = cfg::kDefaultJournalFileName;
  int32_t ClearJournal = 0;
  int32_t TimeOut = cfg::kDefaultTimeOutMinutes;  // minutes; 0 waits without limit
  int32_t TerminateAfterTimeOut = 0;
  int32_t QuitAfterSave = 0;
  int32_t ShutDownAfterSave = 0;

  bool operator==(const GeneralOptions&) const = default;
};
