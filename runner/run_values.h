// The values one run reads from its configuration and hands to every job step.
#pragma once

#include <cstdint>
#include <string>

struct RunValues {
  std::string enterprisePath;    // "BinaryDirectory": full path of the 1C:Enterprise executable
  std::string enterpriseFolder;  // its folder, up to and including the last backslash
  std::string destination;       // "DestinationDirectory"; never empty during a run
  uint32_t copyCount = 0;        // "CopyCount"
  int32_t saveMode = 0;          // "SaveMode": 1 keeps an archive of today and skips its job
  uint32_t timeoutMs = 0;        // "TimeOut" in milliseconds; 0 waits without limit
  bool terminateAfterTimeOut = false;
  std::string batchFilePath;     // the run's temporary batch parameter file
};
