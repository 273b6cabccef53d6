// A started child process: move-only owner of its process and thread handles (the
// Windows part keeps them in the owners of platform/win32/handles.h).
// Command lines and folders are Windows-1251 texts.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace platform {

enum class ShowWindow { Hidden, Normal };
enum class WaitResult { Ended, TimedOut, Failed };

inline constexpr uint32_t kWaitForever = 0xFFFFFFFF;

class Process {
 public:
  Process();
  ~Process();
  Process(Process&& other) noexcept;
  Process& operator=(Process&& other) noexcept;
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  // Starts commandLine with no inherited handles in folder (empty: the caller's current
  // folder). Hidden asks for a hidden 0x0 window, Normal for a normal visible one.
  // On failure error holds the system error code.
  bool Start(const std::string& commandLine, const std::string& folder, ShowWindow show,
             unsigned long* error = nullptr);
  bool Running() const { return handles_ != nullptr; }

  // Waits up to timeoutMs (kWaitForever: no limit). Failed sets error.
  WaitResult Wait(uint32_t timeoutMs, unsigned long* error = nullptr);
  // The exit code, or the "still active" code 259 while it runs; nullopt on failure.
  std::optional<uint32_t> ExitCode() const;
  // Ends the process with exitCode. Safe to call from another thread while Wait runs.
  bool Terminate(uint32_t exitCode);
  // Ends the process with the exit code read just before (259 while it runs).
  bool TerminateWithCurrentCode();
  void Close();

 private:
  struct Handles;  // the system's owners of the process and its first thread
  std::unique_ptr<Handles> handles_;
};

uint32_t CurrentProcessId();
// False once the process with this id has ended (or when there never was one).
bool ProcessRunning(uint32_t id);

}  // namespace platform
