// One infobase section of a configuration file (a child of "Parameters"): written from
// an InfobaseEntry under the write conditions of each key, read back under the read
// conditions. Also the small value readers shared by the configuration load.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/config_schema.h"
#include "config/entries.h"

class CSettingsFile;

// Who reads a record. The load takes the first byte of flags and modes and reads the
// e-mail sides whatever the flags; the run takes 32-bit values and reads the e-mail
// sides only with AutoExchange and SendByEmail set.
enum class RecordReader { Load, Run };

struct InfobaseRecord {
  InfobaseEntry entry;   // path = section name; "BaseName", "UserName", "Pswd" always read
  bool hasState = false;
  uint32_t State = 0;  // 0 when missing
};

// Writes sections and values and remembers whether every write succeeded, so that a
// save can tell a complete file from a damaged one.
class RecordWriter {
 public:
  explicit RecordWriter(CSettingsFile& file) : file_(file) {}
  int32_t Section(const std::string& name, int32_t parentId);
  void Text(int32_t sectionId, const std::string& name, const std::string& text);
  void Dword(int32_t sectionId, const std::string& name, uint32_t value);
  void Binary(int32_t sectionId, const std::string& name, const void* data, uint32_t size);
  bool Complete() const { return complete_; }

 private:
  CSettingsFile& file_;
  bool complete_ = true;
};

// Writes the section named by entry.path under parametersId; returns its id, 0 on failure.
int32_t WriteInfobaseRecord(RecordWriter& out, int32_t parametersId, const InfobaseEntry& entry);

InfobaseRecord ReadInfobaseRecord(CSettingsFile& file, int32_t sectionId,
                                  const std::string& sectionName,
                                  RecordReader reader = RecordReader::Load);

// Names of the direct children of a section in file order (overlong names skipped).
std::vector<std::string> ReadChildNames(CSettingsFile& file, int32_t parentId);

// Value readers: false (out unchanged) when the value is missing.
bool ReadTextValue(CSettingsFile& file, int32_t sectionId, const std::string& name,
                   std::string& out);
// The first four bytes as a little-endian number (missing bytes count as 0).
bool ReadInt32Value(CSettingsFile& file, int32_t sectionId, const std::string& name,
                    int32_t& out);
bool ReadUInt32Value(CSettingsFile& file, int32_t sectionId, const std::string& name,
                     uint32_t& out);
// The first byte (0 for an empty value).
bool ReadByteValue(CSettingsFile& file, int32_t sectionId, const std::string& name,
                   uint8_t& out);
