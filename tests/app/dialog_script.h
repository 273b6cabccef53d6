// Plays the operator inside the modal dialogs this thread opens: at every tick of a thread
// timer the next step acts on a dialog that takes input now (a nested dialog disables its
// owner) and is its own, by title or by a test. The step is counted before it acts, so a
// step that opens another modal dialog is followed by the next one inside it.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "widgets/win32/dialog_text.h"

namespace apptest {

class DialogScript {
 public:
  struct Step {
    using Act = std::function<void(HWND dialog)>;
    Step(std::function<bool(HWND)> mine, Act act) : mine(std::move(mine)), act(std::move(act)) {}
    Step(const std::string& title, Act act)
        : Step([title](HWND d) { return widgets::GetWindowText1251(d) == title; }, std::move(act)) {
    }
    // Any dialog that takes input.
    template <typename F, typename = std::enable_if_t<std::is_invocable_v<F&, HWND>>>
    Step(F act) : Step([](HWND) { return true; }, Act(std::move(act))) {}
    std::function<bool(HWND)> mine;
    Act act;
  };

  explicit DialogScript(std::deque<Step> steps) : steps_(std::move(steps)) {
    self_ = this;
    timer_ = SetTimer(nullptr, 0, 50, Tick);
  }
  ~DialogScript() {
    KillTimer(nullptr, timer_);
    self_ = nullptr;
  }
  DialogScript(const DialogScript&) = delete;
  DialogScript& operator=(const DialogScript&) = delete;

  bool Done() const { return steps_.empty() && !gaveUp_; }

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
    DialogScript* self = self_;
    if (self == nullptr || (self->steps_.empty() && !self->gaveUp_)) return;
    if (self->gaveUp_ || ++self->ticks_ > kGiveUpTicks) return self->GiveUp();
    for (HWND dialog : ActiveDialogs()) {
      if (dialog == self->last_ || !self->steps_.front().mine(dialog)) continue;
      const Step step = std::move(self->steps_.front());
      self->steps_.pop_front();
      step.act(dialog);
      // The next step waits for another dialog when this one was closed or covered.
      const bool open = IsWindow(dialog) && IsWindowEnabled(dialog) && IsWindowVisible(dialog);
      self->last_ = open ? nullptr : dialog;
      return;
    }
  }

  // A step that never finds its dialog would leave the test waiting in a modal loop:
  // after about half a minute every dialog is cancelled and the test fails.
  void GiveUp() {
    if (!gaveUp_) ADD_FAILURE() << steps_.size() << " dialog steps were not run";
    gaveUp_ = true;
    steps_.clear();
    for (HWND dialog : ActiveDialogs()) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  }
  static constexpr int kGiveUpTicks = 600;

  static inline DialogScript* self_ = nullptr;
  std::deque<Step> steps_;
  UINT_PTR timer_ = 0;
  HWND last_ = nullptr;
  int ticks_ = 0;
  bool gaveUp_ = false;
};

// Control actions as the operator's: a list choice, a button press (posted when it opens
// another dialog that a later step closes), typing.
inline void ChooseInList(HWND dialog, int id, int position) {
  HWND list = GetDlgItem(dialog, id);
  SendMessageW(list, CB_SETCURSEL, position, 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}
inline void Press(HWND dialog, int id) { SendDlgItemMessageW(dialog, id, BM_CLICK, 0, 0); }
inline void PostClick(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}
inline void Type(HWND dialog, int id, const std::string& text) {
  widgets::SetWindowText1251(GetDlgItem(dialog, id), text);
}
inline bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != 0; }

}  // namespace apptest
