#include "runner/journal_file.h"

#include <windows.h>

#include "platform/codepage.h"

CJournalFile::CJournalFile(const std::string& path, bool clear) : path_(path) {
  HANDLE h = CreateFileW(platform::Widen(path).c_str(), GENERIC_WRITE, 0, nullptr,
                         clear ? CREATE_ALWAYS : OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    error_ = GetLastError();
    return;
  }
  LARGE_INTEGER zero{};
  SetFilePointerEx(h, zero, nullptr, FILE_END);
  handle_ = reinterpret_cast<intptr_t>(h);
}

CJournalFile::~CJournalFile() { Close(); }

bool CJournalFile::WriteLine(const std::string& text) {
  if (handle_ == -1) return false;
  HANDLE h = reinterpret_cast<HANDLE>(handle_);
  std::string line = text + "\r\n";
  DWORD written = 0;
  bool ok = ::WriteFile(h, line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
            written == line.size();
  FlushFileBuffers(h);
  return ok;
}

void CJournalFile::Close() {
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
  handle_ = -1;
}
