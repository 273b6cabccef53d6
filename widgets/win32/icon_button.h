// Icon buttons: push buttons that show a picture from the program's icons (beside their
// text, if any) and a tool tip.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace widgets {

// The pictures of a dialog's push buttons, drawn through the buttons' custom draw: centred,
// or beside the text where the button has one, greyed while the button is disabled, on the
// background, pressed and hot states the button draws itself. Setting a picture costs no
// window message, and an icon is loaded when first drawn, so a dialog starts without the
// work; the dialog passes its WM_NOTIFY here.
class ButtonPictures {
 public:
  static constexpr int kSize = 16;

  void Set(HWND dialog, int buttonId, int iconId);
  // For the dialog procedure's WM_NOTIFY: true when it was the custom draw of a button
  // with a picture, answered through DWLP_MSGRESULT.
  bool OnNotify(HWND dialog, const NMHDR& header);

 private:
  struct Picture {
    HWND button;
    int iconId;
  };
  std::vector<Picture> pictures_;
};

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
