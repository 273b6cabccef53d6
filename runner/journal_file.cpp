#include "runner/journal_file.h"

CJournalFile::CJournalFile(const std::string& path, bool clear) : path_(path) {
  using namespace platform;
  const uint32_t flags = kFileWrite | kFileCreate | (clear ? 0 : kFileNoTruncate);
  FileError error;
  if (!file_.Open(path, flags, &error)) {
    error_ = static_cast<unsigned long>(error.osError);
    return;
  }
  file_.Seek(file_.GetLength());  // lines are appended to what the file holds
}

CJournalFile::~CJournalFile() { Close(); }

bool CJournalFile::WriteLine(const std::string& text) {
  if (!file_.IsOpen()) return false;
  const std::string line = text + "\r\n";
  const bool written = file_.Write(line.data(), line.size());
  return file_.Flush() && written;
}

void CJournalFile::Close() { file_.Close(); }
