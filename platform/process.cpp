// Ownership of the process and thread handles; the system calls are in the platform parts.
#include "platform/process.h"

#include <utility>

namespace platform {

Process::~Process() { Close(); }

Process::Process(Process&& other) noexcept
    : process_(std::exchange(other.process_, nullptr)),
      thread_(std::exchange(other.thread_, nullptr)) {}

Process& Process::operator=(Process&& other) noexcept {
  if (this != &other) {
    Close();
    process_ = std::exchange(other.process_, nullptr);
    thread_ = std::exchange(other.thread_, nullptr);
  }
  return *this;
}

}  // namespace platform
