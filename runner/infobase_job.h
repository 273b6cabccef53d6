// One infobase's jobs in a run: archive names and rotation, access checks, the batch
// parameter file, the external archiver, the 1C:Enterprise batch start with time-out,
// the event-log merge and the duplicate copies. Every step is journalled.
#pragma once

#include "config/entries.h"
#include "runner/run_control.h"
#include "runner/run_values.h"

namespace platform { class Registry; }

// Returns the success of the step. May change entry (external-archiver mode sets SaveData).
bool RunInfobaseJob(InfobaseEntry& entry, const RunValues& values, RunControl& control,
                    platform::Registry& registry);
