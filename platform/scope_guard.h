// Cleanup that runs on every way out of a scope unless dismissed: the created archive
// folder of a job step, the batch parameter file after 1C:Enterprise has read it.
#pragma once

#include <functional>
#include <utility>

namespace platform {

class ScopeGuard {
 public:
  ScopeGuard() = default;
  explicit ScopeGuard(std::function<void()> onExit) : onExit_(std::move(onExit)) {}
  ~ScopeGuard() { Run(); }
  ScopeGuard(ScopeGuard&& other) noexcept : onExit_(std::exchange(other.onExit_, nullptr)) {}
  ScopeGuard& operator=(ScopeGuard&& other) noexcept {
    if (this != &other) {
      Run();
      onExit_ = std::exchange(other.onExit_, nullptr);
    }
    return *this;
  }
  ScopeGuard(const ScopeGuard&) = delete;
  ScopeGuard& operator=(const ScopeGuard&) = delete;

  // Keeps what the guard would clean up.
  void Dismiss() { onExit_ = nullptr; }
  // Cleans up now (once).
  void Run() {
    if (auto onExit = std::exchange(onExit_, nullptr)) onExit();
  }

 private:
  std::function<void()> onExit_;
};

}  // namespace platform
