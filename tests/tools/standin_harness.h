// Kept for the launcher session tests (tests/launcher/launcher_sessiontest.cpp).
// Test harness for the stand-in programs: a scratch folder per test, starting a
// stand-in with a given command line and current folder, reading files back as 1251.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>

#include "platform/codepage.h"
#include "tools/shared/standin_io.h"

namespace standintest {

// The folder of the running test program, where the stand-ins are built too.
inline std::wstring BinFolder() {
  wchar_t path[MAX_PATH * 2];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
  std::wstring s(path, n);
  return s.substr(0, s.find_last_of(L'\\'));
}

inline std::wstring Exe(const wchar_t* name) { return BinFolder() + L"\\" + name; }

inline HANDLE Start(const std::wstring& commandLine, const std::wstring& cwd) {
  std::wstring buffer = commandLine;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, cwd.c_str(), &si,
                      &pi))
    return nullptr;
  CloseHandle(pi.hThread);
  return pi.hProcess;
}

// Runs the command to its end; the exit code, or nothing when it did not start or end.
inline std::optional<DWORD> Run(const std::wstring& commandLine, const std::wstring& cwd) {
  HANDLE p = Start(commandLine, cwd);
  if (!p) return std::nullopt;
  DWORD code = 0;
  const bool ended = WaitForSingleObject(p, 60000) == WAIT_OBJECT_0 && GetExitCodeProcess(p, &code);
  CloseHandle(p);
  return ended ? std::optional<DWORD>(code) : std::nullopt;
}

// Whether the command is still running half a second after its start; ends it either way.
inline bool KeepsRunning(const std::wstring& commandLine, const std::wstring& cwd) {
  HANDLE p = Start(commandLine, cwd);
  if (!p) return false;
  const bool running = WaitForSingleObject(p, 500) == WAIT_TIMEOUT;
  TerminateProcess(p, 9);
  WaitForSingleObject(p, 10000);
  CloseHandle(p);
  return running;
}

inline void RemoveTree(const std::wstring& folder) {
  std::error_code ec;
  std::filesystem::remove_all(std::filesystem::path(folder), ec);
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
