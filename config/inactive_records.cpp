#include "config/inactive_records.h"

#include "config/config_schema.h"
#include "config/infobase_record.h"
#include "store/settings_file.h"

void ApplyInactiveRecords(CSettingsFile& file, int32_t rootId, ConfigurationTree& tree) {
  const int32_t section = file.OpenSection(rootId, kInactiveSection);
  if (section == 0) return;
  std::string name;
  for (int32_t i = 0;; ++i) {
    const int32_t id = file.EnumSection(section, i, name);
    if (id == 0) break;
    if (name.size() > cfg::kMaxSectionName) continue;
    tree.ApplyInactiveRecord(ReadInfobaseRecord(file, id, name, RecordReader::Load));
  }
}

void WriteInactiveRecords(RecordWriter& out, int32_t rootId, const ConfigurationTree& tree) {
  const std::vector<InfobaseEntry> entries = tree.InactiveEntries();
  if (entries.empty()) return;
  const int32_t section = out.Section(kInactiveSection, rootId);
  if (section == 0) return;
  for (const InfobaseEntry& e : entries) {
    const int32_t id = WriteInfobaseRecord(out, section, e);
    if (id != 0) out.Dword(id, cfg::kState, 0);  // never marked to run
  }
}
