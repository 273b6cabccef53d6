#include "runner/worker_thread.h"

#include <process.h>
#include <windows.h>

#include "platform/win32/handles.h"

struct WorkerThread::Impl {
  platform::win32::KernelHandle thread;
};

namespace {

unsigned __stdcall ThreadMain(void* argument) {
  std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(argument));
  (*body)();
  return 0;
}

// Handles the messages other threads sent to this one (not posted ones).
void DeliverSentMessages() {
  MSG msg;
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

}  // namespace

WorkerThread::WorkerThread() : impl_(std::make_unique<Impl>()) {}
WorkerThread::~WorkerThread() { Join(); }

bool WorkerThread::Start(std::function<void()> body) {
  if (impl_->thread.Valid()) return false;
  auto* argument = new std::function<void()>(std::move(body));
  uintptr_t h = _beginthreadex(nullptr, 0, ThreadMain, argument, 0, nullptr);
  if (h == 0) {
    delete argument;
    return false;
  }
  impl_->thread.Reset(reinterpret_cast<HANDLE>(h));
  return true;
}

void WorkerThread::Join() {
  HANDLE h = impl_->thread.Get();
  if (h == nullptr) return;
  for (;;) {
    DeliverSentMessages();
    DWORD r = MsgWaitForMultipleObjects(1, &h, FALSE, INFINITE, QS_SENDMESSAGE);
    if (r != WAIT_OBJECT_0 + 1) break;  // the thread ended (or the wait failed)
  }
  if (WaitForSingleObject(h, INFINITE) == WAIT_OBJECT_0) impl_->thread.Close();
}

bool WorkerThread::Started() const { return impl_->thread.Valid(); }
