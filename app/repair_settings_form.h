// The three repair modes of an infobase without a window: which radios are enabled and
// whether "Применить" may be pressed.
#pragma once

#include <cstdint>

#include "config/entries.h"

namespace app {

struct RepairModes {
  int32_t check = 0;    // CheckAndRepairMode: 0 test and repair, 1 test only
  int32_t links = 0;    // LinksCreatingMode: 0 create, 1 clear, 2 leave unchanged
  int32_t objects = 0;  // ObjectsCreatingMode: 0 create, 1 delete the data

  bool operator==(const RepairModes&) const = default;
};

class RepairSettingsForm {
 public:
  explicit RepairSettingsForm(const InfobaseEntry& entry)
      : stored_{entry.CheckAndRepairMode, entry.LinksCreatingMode, entry.ObjectsCreatingMode},
        modes_(stored_) {}

  RepairModes& Modes() { return modes_; }
  // The link and object radios apply only while the test also repairs.
  bool RepairRadiosEnabled() const { return modes_.check == 0; }
  bool ApplyEnabled() const { return modes_ != stored_; }
  void Apply(InfobaseEntry& entry) const {
    entry.CheckAndRepairMode = modes_.check;
    entry.LinksCreatingMode = modes_.links;
    entry.ObjectsCreatingMode = modes_.objects;
  }

 private:
  RepairModes stored_;
  RepairModes modes_;
};

}  // namespace app
