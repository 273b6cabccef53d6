// Win32 file helpers shared by the stand-in programs: whole-file reads and writes,
// numbered invocation records, ZIP files written through zip::ZipWriter, path tests.
// Header-only, because this folder must not become a program of its own.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/codepage.h"
#include "platform/win32/handles.h"
#include "tools/shared/zip_writer.h"

namespace standin {

using FileHandle = platform::win32::FileHandle;

inline bool WriteAll(HANDLE h, const char* data, size_t size) {
  return platform::win32::WriteFully(h, data, size);
}

// Reads a whole file; other programs may keep it open for reading or writing.
inline std::optional<std::string> ReadWholeFile(const std::wstring& path) {
  FileHandle f(CreateFileW(path.c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!f.Valid()) return std::nullopt;
  std::string out;
  char buffer[65536];
  for (;;) {
    const int64_t got = platform::win32::ReadFully(f.Get(), buffer, sizeof buffer);
    if (got > 0) out.append(buffer, static_cast<size_t>(got));
    if (got < static_cast<int64_t>(sizeof buffer)) return out;
  }
}

// disposition: CREATE_ALWAYS to replace, CREATE_NEW to fail when the file exists.
inline bool WriteWholeFile(const std::wstring& path, const std::string& bytes,
                           DWORD disposition = CREATE_ALWAYS) {
  FileHandle f(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, disposition,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
  return f.Valid() && WriteAll(f.Get(), bytes.data(), bytes.size());
}

inline bool FolderExists(const std::wstring& path) {
  DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// Writes "<folder>\<prefix>N.args" with the first free N (created exclusively, so two
// programs never take the same number) and returns N, or 0 when nothing could be written.
inline int RecordNextCall(const std::wstring& folder, const std::wstring& prefix,
                          const std::string& args) {
  for (int n = 1; n < 100000; ++n) {
    std::wstring path = folder + L"\\" + prefix + std::to_wstring(n) + L".args";
    if (WriteWholeFile(path, args, CREATE_NEW)) return n;
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) return 0;
  }
  return 0;
}

inline std::wstring CurrentFolder() {
  DWORD n = GetCurrentDirectoryW(0, nullptr);
  std::wstring out(n, L'\0');
  n = GetCurrentDirectoryW(n, out.data());
  out.resize(n);
  return out;
}

inline std::wstring FullPath(const std::wstring& path) {
  DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (n == 0) return path;
  std::wstring out(n, L'\0');
  n = GetFullPathNameW(path.c_str(), n, out.data(), nullptr);
  out.resize(n);
  return out;
}

inline bool SamePath(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

inline zip::DosStamp LocalDosStamp(const SYSTEMTIME& t) {
  return zip::MakeDosStamp(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
}

inline zip::DosStamp LocalDosStamp(const FILETIME& utc) {
  FILETIME local;
  SYSTEMTIME t;
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &t)) return {};
  return LocalDosStamp(t);
}

// Writes the entries as a ZIP file; a partly written file is removed.
inline bool WriteZipFile(const std::wstring& path, const std::vector<zip::ZipEntry>& entries,
                         const zip::WriteOptions& options = {}) {
  bool ok = false;
  {
    FileHandle f(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f.Valid()) return false;
    zip::ZipWriter writer(
        [&f](const char* data, size_t size) { return WriteAll(f.Get(), data, size); }, options);
    ok = true;
    for (const zip::ZipEntry& e : entries) ok = ok && writer.Add(e.name, e.data, e.stamp);
    ok = ok && writer.Finish();
  }
  if (!ok) DeleteFileW(path.c_str());
  return ok;
}

// Cuts the last `bytes` bytes off a file, as a writer stopped midway leaves it.
inline bool CutFileShort(const std::wstring& path, uint64_t bytes) {
  FileHandle f(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size;
  if (!f.Valid() || !GetFileSizeEx(f.Get(), &size)) return false;
  LARGE_INTEGER keep;
  keep.QuadPart = static_cast<uint64_t>(size.QuadPart) > bytes ? size.QuadPart - bytes : 0;
  return SetFilePointerEx(f.Get(), keep, nullptr, FILE_BEGIN) && SetEndOfFile(f.Get());
}

}  // namespace standin
