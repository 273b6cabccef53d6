// Writes users files as 1C:Enterprise keeps them: a compound file made through the
// system's structured-storage functions, with one stream.
#pragma once

#include <objbase.h>
#include <windows.h>

#include <string>

namespace testtree {

inline const char kTwoUsers[] = R"({"Users",{"1","u1","Admin","d"},{"2","u2","Иванов","d"}})";

// Writes a compound file with one stream of the given content, grown to size if larger.
inline bool WriteCompoundFile(const std::wstring& path, const wchar_t* streamName,
                              const std::string& content, ULONGLONG size = 0) {
  const DWORD mode = STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE;
  IStorage* stg = nullptr;
  IStream* stream = nullptr;
  if (FAILED(StgCreateDocfile(path.c_str(), mode, 0, &stg))) return false;
  bool ok = SUCCEEDED(stg->CreateStream(streamName, mode, 0, 0, &stream));
  if (ok) {
    ok = SUCCEEDED(stream->Write(content.data(), static_cast<ULONG>(content.size()), nullptr));
    ULARGE_INTEGER newSize;
    newSize.QuadPart = size;
    if (size) ok = ok && SUCCEEDED(stream->SetSize(newSize));
    stream->Release();
  }
  stg->Release();
  return ok;
}

}  // namespace testtree
