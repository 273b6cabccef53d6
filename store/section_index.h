// The section records of an open settings file in file order, as a scan from the
// header sees them: at most sectionCount records, ending early at the end of the file
// or at a damaged record. Built on first use and kept in step with the changes the
// settings file makes, so a lookup does not re-read every head.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "store/record_layout.h"
#include "store/record_storage.h"

namespace store {

// Reads the section head at offset and checks that the record, with its name, lies
// inside the file.
bool ReadSectionHead(RecordStorage& storage, int64_t offset, SectionHead& head);

class SectionIndex {
 public:
  struct Entry {
    int64_t offset;
    SectionHead head;
  };

  // Builds the index if needed; false when the file has no readable header.
  bool Ensure(RecordStorage& storage);
  void Invalidate() { built_ = false; }
  const std::vector<Entry>& Entries() const { return entries_; }
  // True when the scan stopped at a damaged record before sectionCount records.
  bool DamagedTail() const { return damagedTail_; }
  // Position of the entry at offset, or Entries().size().
  size_t Find(int64_t offset) const;

  // A section record was appended at the end of the file.
  void Appended(int64_t offset, const SectionHead& head);
  // The section at position grew by delta bytes; every later record moved with it.
  void Resized(size_t position, int32_t delta);

 private:
  bool built_ = false;
  bool damagedTail_ = false;
  std::vector<Entry> entries_;
};

}  // namespace store
