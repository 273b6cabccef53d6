// Test harness for the stand-in programs: a scratch folder per test, starting a
// stand-in with a given command line and current folder, reading files back as 1251.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <utility>

#include "platform/codepage.h"
#include "tests/tools/zip_reader.h"
#include "tools/shared/standin_io.h"

namespace standintest {

// Owns a process handle; move-only.
class ProcessHandle {
 public:
  explicit ProcessHandle(HANDLE h = nullptr) : h_(h) {}
  ProcessHandle(ProcessHandle&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
  ProcessHandle& operator=(ProcessHandle&& o) noexcept {
    std::swap(h_, o.h_);
    return *this;
  }
  ProcessHandle(const ProcessHandle&) = delete;
  ProcessHandle& operator=(const ProcessHandle&) = delete;
  ~ProcessHandle() {
    if (h_) CloseHandle(h_);
  }
  HANDLE Get() const { return h_; }

 private:
  HANDLE h_;
};

// The folder of the running test program, where the stand-ins are built too.
inline std::wstring BinFolder() {
  wchar_t path[MAX_PATH * 2];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
  std::wstring s(path, n);
  return s.substr(0, s.find_last_of(L'\\'));
}

inline std::wstring Exe(const wchar_t* name) { return BinFolder() + L"\\" + name; }

inline ProcessHandle Start(const std::wstring& commandLine, const std::wstring& cwd) {
  std::wstring buffer = commandLine;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, cwd.c_str(), &si,
                      &pi))
    return ProcessHandle();
  CloseHandle(pi.hThread);
  return ProcessHandle(pi.hProcess);
}

// Runs the command to its end; the exit code, or nothing when it did not start or end.
inline std::optional<DWORD> Run(const std::wstring& commandLine, const std::wstring& cwd) {
  ProcessHandle p = Start(commandLine, cwd);
  if (!p.Get() || WaitForSingleObject(p.Get(), 60000) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(p.Get(), &code);
  return code;
}

inline void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW fd;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &fd);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = fd.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring path = folder + L"\\" + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(path);
      else
        DeleteFileW(path.c_str());
    } while (FindNextFileW(find, &fd));
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
}

inline bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Whole file as bytes; "<missing>" when it cannot be read.
inline std::string Slurp(const std::wstring& path) {
  return standin::ReadWholeFile(path).value_or("<missing>");
}

inline void Put(const std::wstring& path, const std::string& bytes) {
  ASSERT_TRUE(standin::WriteWholeFile(path, bytes)) << platform::Narrow(path);
}

// A fresh folder per test under the temporary folder, removed afterwards.
class ScratchTest : public testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    root_ = std::wstring(temp) + L"zv_standins_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
            platform::Widen(info->name());
    RemoveTree(root_);
    ASSERT_TRUE(CreateDirectoryW(root_.c_str(), nullptr));
  }
  void TearDown() override { RemoveTree(root_); }

  // Creates a folder below the scratch root and returns its full path.
  std::wstring Folder(const std::string& relative1251) {
    std::wstring path = root_ + L"\\" + platform::Widen(relative1251);
    CreateDirectoryW(path.c_str(), nullptr);
    return path;
  }

  std::wstring root_;
};

}  // namespace standintest
