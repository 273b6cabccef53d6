// Icon buttons: push buttons that show a picture from the program's icons (beside their
// text, if any) and a tool tip.
#pragma once

#include <windows.h>

#include <string>

namespace widgets {

void SetButtonIcon(HWND dialog, int buttonId, int iconId, int size = 16);

// One tool-tip window for the buttons of a dialog; destroyed with the dialog.
class ButtonTips {
 public:
  void Create(HWND dialog);
  void Add(int buttonId, const std::string& tip);

 private:
  HWND dialog_ = nullptr;
  HWND tips_ = nullptr;
};

}  // namespace widgets
