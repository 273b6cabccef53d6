// Layout arithmetic of the countdown prompt: a message that needs more room than its
// field grows the field and the dialog, and moves the buttons and the counter down.
#pragma once

namespace app {

struct Box {
  int x = 0, y = 0, w = 0, h = 0;
  bool operator==(const Box&) const = default;
};

struct QueryGeometry {
  int width = 0, height = 0;  // the dialog's client area
  Box message, ok, cancel, counter;
  bool operator==(const QueryGeometry&) const = default;
};

struct QueryLayout {
  QueryGeometry geometry;
  bool hideCancelAndCounter = false;
};

// textW, textH: the message measured with word wrapping in the field's width.
QueryLayout LayOutQuery(const QueryGeometry& original, int textW, int textH, int iconKind);

}  // namespace app
