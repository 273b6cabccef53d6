// Plays the operator in the modal dialogs this thread opens: at every tick of a thread
// timer the next step acts on the active dialog (visible and enabled) once that dialog's
// title is the step's. A step may open another modal window; the ticks go on inside it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "widgets/win32/dialog_text.h"

namespace apptest {

class DialogOperator {
 public:
  struct Step {
    std::string title;
    std::function<void(HWND dialog)> act;
  };

  explicit DialogOperator(std::vector<Step> steps) : steps_(std::move(steps)) {
    self_ = this;
    timer_ = SetTimer(nullptr, 0, 50, Tick);
  }
  ~DialogOperator() {
    KillTimer(nullptr, timer_);
    self_ = nullptr;
  }
  DialogOperator(const DialogOperator&) = delete;
  DialogOperator& operator=(const DialogOperator&) = delete;

  bool Finished() const { return next_ == steps_.size(); }

 private:
  static BOOL CALLBACK FindActive(HWND w, LPARAM found) {
    wchar_t cls[16] = {};
    GetClassNameW(w, cls, 16);
    if (!IsWindowVisible(w) || !IsWindowEnabled(w) || std::wstring(cls) != L"#32770") return TRUE;
    *reinterpret_cast<HWND*>(found) = w;
    return FALSE;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    DialogOperator* self = self_;
    HWND dialog = nullptr;
    if (self == nullptr || self->Finished()) return;
    EnumThreadWindows(GetCurrentThreadId(), FindActive, reinterpret_cast<LPARAM>(&dialog));
    if (dialog == nullptr ||
        widgets::GetWindowText1251(dialog) != self->steps_[self->next_].title) {
      return;
    }
    // Counted first: a step that opens a window is followed by the next one inside it.
    self->steps_[self->next_++].act(dialog);
  }

  static inline DialogOperator* self_ = nullptr;
  std::vector<Step> steps_;
  size_t next_ = 0;
  UINT_PTR timer_ = 0;
};

// Control actions as the operator's: a list choice, a button press, typing.
inline void ChooseInList(HWND dialog, int id, int position) {
  HWND list = GetDlgItem(dialog, id);
  SendMessageW(list, CB_SETCURSEL, position, 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}
inline void Press(HWND dialog, int id) { SendDlgItemMessageW(dialog, id, BM_CLICK, 0, 0); }
inline void Type(HWND dialog, int id, const std::string& text) {
  widgets::SetWindowText1251(GetDlgItem(dialog, id), text);
}

}  // namespace apptest
