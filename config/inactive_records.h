// The section "Inactive" beside "Parameters": the records of infobases that do not run
// (unmarked, blocked, or not registered for this user at the moment), in the layout of
// "Parameters" with "State" 0. The run and the launcher never open it, and older
// versions of the programs ignore it, so kept parameters never run.
#pragma once

#include <cstdint>

#include "config/configuration.h"

class CSettingsFile;
class RecordWriter;

inline constexpr char kInactiveSection[] = "Inactive";

// Hands every record of the section to the tree, in file order.
void ApplyInactiveRecords(CSettingsFile& file, int32_t rootId, ConfigurationTree& tree);

// Writes the tree's inactive entries; no section at all when there are none, so that a
// configuration without them is stored exactly as before.
void WriteInactiveRecords(RecordWriter& out, int32_t rootId, const ConfigurationTree& tree);
