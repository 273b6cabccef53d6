#include "app/query_layout.h"

#include <algorithm>

namespace app {

QueryLayout LayOutQuery(const QueryGeometry& original, int textW, int textH, int iconKind) {
  QueryLayout layout{original, false};
  QueryGeometry& g = layout.geometry;
  const int extraW = std::max(0, textW - g.message.w);
  const int extraH = std::max(0, textH - g.message.h);
  if (extraW == 0 && extraH == 0) return layout;
  g.message.w += extraW;
  g.message.h += extraH;
  g.width += extraW;
  g.height += extraH;
  for (Box* b : {&g.ok, &g.cancel, &g.counter}) b->y += extraH;
  if (iconKind == 1 || iconKind == 2) {
    // A grown message with a warning or error icon is a plain message: OK alone, centred.
    layout.hideCancelAndCounter = true;
    g.ok.x = (g.width - g.ok.w) / 2;
  }
  return layout;
}

}  // namespace app
