// CSettingsFile: opening, the writing mode and the record primitives shared by the
// section and value operations.
#include "store/settings_file.h"

#include <utility>

using store::FileHeader;
using store::kHeaderSize;
using store::kHeadSize;
using store::SectionHead;

int32_t HashName(const std::string& name) {
  // Wrap-around arithmetic over the bytes taken as signed values.
  uint32_t h = 0;
  uint32_t previous = 0;
  for (size_t i = 0; i < name.size(); ++i) {
    auto c = static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(name[i])));
    h += c + 255;
    if (i > 0) h += (previous + 255) * (c - previous + 255);
    previous = c;
  }
  return static_cast<int32_t>(h);
}

CSettingsFile::CSettingsFile(std::string path, uint32_t openFlags,
                             platform::FileErrorReporter reporter)
    : path_(std::move(path)), openFlags_(openFlags), reporter_(std::move(reporter)) {}

CSettingsFile::~CSettingsFile() { Close(); }

bool CSettingsFile::Open(platform::FileError* error) { return OpenFile(error); }

bool CSettingsFile::OpenFile(platform::FileError* error) {
  storage_.Detach();
  index_.Invalidate();
  if (!file_.Open(path_, openFlags_, error)) return false;
  storage_.Attach(&file_);
  return true;
}

void CSettingsFile::Close() {
  storage_.Detach();
  index_.Invalidate();
  file_.Close();
}

bool CSettingsFile::IsOpen() const { return file_.IsOpen(); }

platform::fs::Attributes CSettingsFile::OpenAttributes() const {
  const auto written = file_.LastWriteTime();
  const int64_t length = storage_.Length();
  if (!file_.IsOpen() || !written || length < 0) return {};
  return {true, false, false, static_cast<uint64_t>(length), *written};
}

// Opens on first use; an open failure is shown once in the object's life.
bool CSettingsFile::EnsureOpen() {
  if (file_.IsOpen()) return true;
  platform::FileError error;
  if (OpenFile(&error)) return true;
  if (!errorReported_) {
    errorReported_ = true;
    if (reporter_) reporter_(error);
  }
  return false;
}

// Writing operations switch the object to read-write-create for the rest of its life.
bool CSettingsFile::EnsureWriting() {
  if (openFlags_ != SF_MODE_CREATE_READWRITE) {
    Close();
    openFlags_ = SF_MODE_CREATE_READWRITE;
  }
  return EnsureOpen();
}

bool CSettingsFile::ReadHeader(FileHeader& header) {
  unsigned char bytes[kHeaderSize];
  if (!storage_.ReadAt(0, bytes, sizeof bytes)) return false;
  header = store::DecodeHeader(bytes);
  return true;
}

bool CSettingsFile::WriteHeader(const FileHeader& header) {
  unsigned char bytes[kHeaderSize];
  store::Encode(header, bytes);
  if (storage_.WriteAt(0, bytes, sizeof bytes)) return true;
  index_.Invalidate();
  return false;
}

bool CSettingsFile::ReadSection(int64_t offset, SectionHead& head) {
  return store::ReadSectionHead(storage_, offset, head);
}

bool CSettingsFile::ReadName(int64_t offset, int32_t length, std::string& name) {
  if (length < 0 || offset + length > storage_.Length()) return false;
  name.resize(static_cast<size_t>(length));
  return storage_.ReadAt(offset, name.data(), name.size());
}

// Cuts the bytes [start, start + size) out of the file, moving what follows.
bool CSettingsFile::RemoveRange(int64_t start, int64_t size) {
  int64_t length = storage_.Length();
  int64_t rest = length - start - size;
  if (length < 0) return false;
  if (rest <= 0) return storage_.SetLength(start);
  return storage_.MoveBytes(start + size, start, rest) && storage_.SetLength(start + rest);
}

bool CSettingsFile::Clear() {
  if (!EnsureWriting()) return false;
  index_.Invalidate();
  return storage_.SetLength(0);
}
