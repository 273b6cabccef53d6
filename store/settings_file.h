// CSettingsFile: the keyed record file in which configurations are kept. A tree of
// named sections holding named values of the types SF_STRING, SF_DWORD and SF_BINARY,
// in one file opened exclusively. Operations return an id (0 = none), TRUE/FALSE as
// bool, or -1, and never throw.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/file_error.h"
#include "platform/fs.h"
#include "store/record_layout.h"
#include "store/record_storage.h"
#include "store/section_index.h"

enum SettingsValueType : int32_t { SF_STRING = 1, SF_DWORD = 2, SF_BINARY = 4 };

// Open modes (the values of the classic file-class flags).
enum SettingsOpenMode : uint32_t {
  SF_MODE_READ = 0,                // read only, file must exist
  SF_MODE_READWRITE = 2,           // read and write, file must exist
  SF_MODE_CREATE_READWRITE = 0x3002  // read and write, created if missing, never truncated
};

int32_t HashName(const std::string& name);

class CSettingsFile {
 public:
  // reporter shows a failed open once in the object's life (SilentFileErrorReporter:
  // the caller handles it).
  CSettingsFile(std::string path, uint32_t openFlags, platform::FileErrorReporter reporter);
  ~CSettingsFile();
  CSettingsFile(const CSettingsFile&) = delete;
  CSettingsFile& operator=(const CSettingsFile&) = delete;

  // Opens with the current mode; fills error (may be null); does not report.
  bool Open(platform::FileError* error = nullptr);
  void Close();
  bool IsOpen() const;
  const std::string& Path() const { return path_; }
  // Size and last write of the open file, in the units of fs::GetAttributes (folder and
  // readOnly left false); exists is false when it is not open.
  platform::fs::Attributes OpenAttributes() const;
  uint32_t OpenFlags() const { return openFlags_; }

  // Finds or appends the section; an empty name is refused (it could never be found).
  int32_t CreateSection(const std::string& name, int32_t parentId);
  int32_t OpenSection(int32_t parentId, const std::string& name);
  // Names separated by "\" from the top level; a name over 255 bytes is refused.
  int32_t OpenSectionPath(const std::string& path);
  // Index-th direct child of parentId in file order; its name goes to nameOut.
  int32_t EnumSection(int32_t parentId, int32_t index, std::string& nameOut);
  bool DeleteSection(int32_t sectionId);
  bool Clear();

  // type 1: data is the text (size ignored); type 2: 4 bytes at data; type 4: size bytes
  // (0 refused). An empty name or missing data is refused and changes nothing.
  bool WriteValue(int32_t sectionId, const std::string& name, int32_t type, uint32_t size,
                  const void* data);
  bool WriteString(int32_t sectionId, const std::string& name, const std::string& text);
  bool WriteDword(int32_t sectionId, const std::string& name, uint32_t value);
  bool WriteBinary(int32_t sectionId, const std::string& name, const void* data, uint32_t size);

  // On entry size is the capacity of buffer; a value longer than the capacity is
  // refused (FALSE, nothing written). A string gets a terminating zero only when the
  // capacity is larger than its length. On success type and size are the stored ones.
  bool ReadValue(int32_t sectionId, const std::string& name, int32_t& type, uint32_t& size,
                 void* buffer);
  // Convenience readers: the stored bytes (up to maxBytes) of a value, or false.
  bool ReadBytes(int32_t sectionId, const std::string& name, std::string& out,
                 uint32_t maxBytes = 259);

 private:
  // Lookups below return an offset (sections start at 8 or later, values at 0 or later
  // inside their section's value area), store::kNotFound or store::kDamaged.
  bool OpenFile(platform::FileError* error);
  bool EnsureOpen();
  bool EnsureWriting();
  bool ReadHeader(store::FileHeader& header);
  bool WriteHeader(const store::FileHeader& header);
  bool ReadSection(int64_t offset, store::SectionHead& head);
  bool ReadName(int64_t offset, int32_t length, std::string& name);
  int64_t FindSection(const std::string& name, int32_t parentId);
  int64_t AppendSection(const std::string& name, int32_t parentId);
  int64_t FindSectionById(int32_t id);
  int64_t NotFound() const;
  int64_t FindChildSection(int32_t parentId, int64_t start);
  bool ReadValueHead(int64_t sectionOffset, int64_t relative, store::ValueHead& head);
  int64_t FindValue(int64_t sectionOffset, const std::string& name);
  bool DeleteValue(int64_t sectionOffset, int64_t relative);
  bool DeleteRecord(int64_t offset);
  bool RemoveRange(int64_t start, int64_t size);
  bool StoreValue(int32_t sectionId, const std::string& name, int32_t type, const char* data,
                  uint32_t dataSize);
  bool LocateValue(int32_t sectionId, const std::string& name, int64_t& dataOffset,
                   store::ValueHead& head);

  std::string path_;
  uint32_t openFlags_;
  platform::FileErrorReporter reporter_;
  bool errorReported_ = false;
  platform::File file_;
  store::RecordStorage storage_;
  store::SectionIndex index_;
};
