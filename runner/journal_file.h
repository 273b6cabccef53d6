// CJournalFile: the run's plain-text journal. Opened exclusively (no sharing), created
// when missing, emptied with the clear flag, otherwise appended to. Every line is
// written as its bytes plus CR LF and handed to the system before WriteLine returns.
#pragma once

#include <string>

#include "platform/file.h"

class CJournalFile {
 public:
  CJournalFile(const std::string& path, bool clear);
  ~CJournalFile();
  CJournalFile(const CJournalFile&) = delete;
  CJournalFile& operator=(const CJournalFile&) = delete;

  // System error code of the failed open; 0 when the journal is usable.
  unsigned long ErrorCode() const { return error_; }
  const std::string& Path() const { return path_; }
  // False when the line could not be written completely.
  bool WriteLine(const std::string& text);
  void Close();

 private:
  std::string path_;
  unsigned long error_ = 0;
  platform::File file_;
};
