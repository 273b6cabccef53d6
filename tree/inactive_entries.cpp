// Parameters of infobases that do not run: those the operator left unmarked or that are
// blocked, and records of infobases not registered for this user at the moment. They are
// kept beside the run's records so that one unticked box never loses an infobase's
// user, password and jobs.
#include <algorithm>

#include "tree/infobase_tree.h"

namespace {

// Whether an entry holds anything beyond what discovery gives every infobase.
bool CarriesParameters(const InfobaseEntry& e) {
  if (e.Type == InfobaseType::AddedByHand) return true;  // the entry is the operator's work
  InfobaseEntry bare;
  bare.item = e.item;
  bare.BaseName = e.BaseName;
  bare.path = e.path;
  bare.Type = e.Type;
  return !(e == bare);
}

}  // namespace

void InfobaseTree::ApplyInactiveRecord(const InfobaseRecord& record) {
  if (record.entry.Type == InfobaseType::AddedByHand) {
    AddUnregistered(record.entry, Mark::Unmarked);
    return;
  }
  auto it = std::find_if(infobases_.begin(), infobases_.end(), [&](const InfobaseEntry& e) {
    return e.Type == InfobaseType::Registered && e.path == record.entry.path;
  });
  if (it == infobases_.end()) {
    held_.push_back(record.entry);
    return;
  }
  // A record that runs wins over a kept one for the same infobase.
  if (GetMark(it->item) != Mark::Unmarked || CarriesParameters(*it)) return;
  ApplyParameters(it, record);
  ValidateInfobase(it->item);  // images only: the mark stays 0
}

std::vector<InfobaseEntry> InfobaseTree::InactiveEntries() const {
  std::vector<InfobaseEntry> kept;
  for (const InfobaseEntry& e : infobases_) {
    if (GetMark(e.item) != Mark::Marked && CarriesParameters(e)) kept.push_back(e);
  }
  kept.insert(kept.end(), held_.begin(), held_.end());
  return kept;
}
