// The thread a job run works on. Join waits for its end; on Windows it lets messages
// sent to the joining thread through meanwhile, so a worker blocked in a synchronous
// notification to that thread can finish instead of deadlocking the two.
#pragma once

#include <functional>
#include <memory>

class WorkerThread {
 public:
  WorkerThread();
  ~WorkerThread();  // joins
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  // Starts body on a new thread; false when the thread cannot be created or one was
  // started and not joined yet.
  bool Start(std::function<void()> body);
  // Waits for the thread's end and forgets it; nothing when none was started.
  void Join();
  bool Started() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};
