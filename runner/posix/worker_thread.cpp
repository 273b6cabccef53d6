#include "runner/worker_thread.h"

#include <thread>

struct WorkerThread::Impl {
  std::thread thread;
};

WorkerThread::WorkerThread() : impl_(std::make_unique<Impl>()) {}
WorkerThread::~WorkerThread() { Join(); }

bool WorkerThread::Start(std::function<void()> body) {
  if (impl_->thread.joinable()) return false;
  impl_->thread = std::thread(std::move(body));
  return true;
}

void WorkerThread::Join() {
  if (impl_->thread.joinable()) impl_->thread.join();
}

bool WorkerThread::Started() const { return impl_->thread.joinable(); }
