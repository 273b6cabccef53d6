// Plays the operator inside modal dialogs: a thread timer runs the steps in order, each
// on a dialog of this thread that takes input now (a nested dialog disables its owner).
// A step returns false, without acting, on a dialog that is not its own. A step that
// opens another dialog posts its click and returns.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "widgets/win32/dialog_text.h"

namespace apptest {

class DialogScript {
 public:
  using Step = std::function<bool(HWND dialog)>;

  explicit DialogScript(std::deque<Step> steps) : steps_(std::move(steps)) {
    self_ = this;
    timer_ = SetTimer(nullptr, 0, 50, Tick);
  }
  ~DialogScript() {
    KillTimer(nullptr, timer_);
    self_ = nullptr;
  }
  bool Done() const { return steps_.empty() && !gaveUp_; }

  // Helpers for steps.
  static void Type(HWND dialog, int id, const std::string& text) {
    SetWindowTextW(GetDlgItem(dialog, id), platform::Widen(text).c_str());
  }
  static void Click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
  static void PostClick(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
  }
  static bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != 0; }

 private:
  static std::vector<HWND> ActiveDialogs() {
    std::vector<HWND> found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM p) -> BOOL {
          wchar_t cls[16] = {};
          GetClassNameW(w, cls, 16);
          if (IsWindowVisible(w) && IsWindowEnabled(w) && std::wstring(cls) == L"#32770") {
            reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
  }

  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (self_ == nullptr || self_->busy_ || (self_->steps_.empty() && !self_->gaveUp_)) return;
    if (self_->gaveUp_ || ++self_->ticks_ > kGiveUpTicks) return GiveUp();
    self_->busy_ = true;
    for (HWND dialog : ActiveDialogs()) {
      if (dialog == self_->last_ || !self_->steps_.front()(dialog)) continue;
      self_->steps_.pop_front();
      // The next step waits for another dialog when this one was closed or covered.
      const bool open = IsWindow(dialog) && IsWindowEnabled(dialog) && IsWindowVisible(dialog);
      self_->last_ = open ? nullptr : dialog;
      break;
    }
    self_->busy_ = false;
  }

  // A step that never finds its dialog would leave the test waiting in a modal loop:
  // after about half a minute every dialog is cancelled and the test fails.
  static void GiveUp() {
    if (!self_->gaveUp_) ADD_FAILURE() << self_->steps_.size() << " dialog steps were not run";
    self_->gaveUp_ = true;
    self_->steps_.clear();
    for (HWND dialog : ActiveDialogs()) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  }
  static constexpr int kGiveUpTicks = 600;

  static inline DialogScript* self_ = nullptr;
  std::deque<Step> steps_;
  UINT_PTR timer_ = 0;
  HWND last_ = nullptr;
  bool busy_ = false;
  int ticks_ = 0;
  bool gaveUp_ = false;
};

}  // namespace apptest
