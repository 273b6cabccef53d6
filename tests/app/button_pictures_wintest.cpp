// A picture button of a real dialog drawn into a bitmap as the button paints itself: the
// picture shows in colour, greyed while the button is disabled.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/win32/job_parameters_dlg.h"
#include "resources/app/resource.h"
#include "tests/app/dialog_script.h"

namespace apptest {
namespace {

struct Pixels {
  int coloured = 0;  // clearly not grey
  int dark = 0;      // well darker than the button's face
};

// What the button draws in the middle 12 by 12 pixels of its client area.
Pixels MiddleOf(HWND button) {
  RECT rc;
  GetClientRect(button, &rc);
  HDC screen = GetDC(button);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, rc.right, rc.bottom);
  HGDIOBJ old = SelectObject(dc, bitmap);
  SendMessageW(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
  const COLORREF face = GetPixel(dc, 3, rc.bottom / 2);
  const int faceLight = GetRValue(face) + GetGValue(face) + GetBValue(face);
  Pixels p;
  for (int y = rc.bottom / 2 - 6; y < rc.bottom / 2 + 6; ++y) {
    for (int x = rc.right / 2 - 6; x < rc.right / 2 + 6; ++x) {
      const COLORREF c = GetPixel(dc, x, y);
      const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
      if (std::max({r, g, b}) - std::min({r, g, b}) > 60) ++p.coloured;
      if (r + g + b < faceLight - 120) ++p.dark;
    }
  }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(button, screen);
  return p;
}

TEST(ButtonPictures, DrawnInColourAndGreyedWhenDisabled) {
  InfobaseEntry entry;
  entry.BaseName = "Склад";
  DialogScript script({[](HWND d) {
    HWND button = GetDlgItem(d, IDC_JOB_PATH_CHOOSE);
    for (const bool enabled : {true, false}) {
      EnableWindow(button, enabled);
      const Pixels p = MiddleOf(button);
      EXPECT_EQ(p.coloured > 20, enabled) << enabled;
      EXPECT_GT(p.dark, 0) << enabled;  // a greyed picture is still drawn
    }
    Press(d, IDCANCEL);
  }});
  app::ShowJobParametersDialog(nullptr, entry);
  EXPECT_TRUE(script.Done());
}

}  // namespace
}  // namespace apptest
