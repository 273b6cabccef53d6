#include "app/query_layout.h"

#include <gtest/gtest.h>

namespace app {
namespace {

TEST(QueryLayout, GrowsOnlyWhenTheMessageNeedsRoom) {
  QueryGeometry g;
  g.width = 300;
  g.height = 100;
  g.message = {50, 10, 200, 40};
  g.ok = {80, 70, 60, 20};
  g.cancel = {160, 70, 60, 20};
  g.counter = {250, 74, 40, 12};
  struct Case {
    int textW, textH, iconKind;
    int width, height, okX, okY, messageH;
    bool hidden;
  } cases[] = {
      {180, 30, 0, 300, 100, 80, 70, 40, false},   // fits: nothing moves
      {200, 70, 0, 300, 130, 80, 100, 70, false},  // taller: buttons move down
      {260, 40, 1, 360, 100, 150, 70, 40, true},   // wider with an icon: OK alone, centred
      {200, 52, 2, 300, 112, 120, 82, 52, true},
      {200, 52, 7, 300, 112, 80, 82, 52, false},  // another kind counts as 0
  };
  for (const Case& c : cases) {
    const QueryLayout l = LayOutQuery(g, c.textW, c.textH, c.iconKind);
    EXPECT_EQ(l.geometry.width, c.width);
    EXPECT_EQ(l.geometry.height, c.height);
    EXPECT_EQ(l.geometry.ok.x, c.okX);
    EXPECT_EQ(l.geometry.ok.y, c.okY);
    EXPECT_EQ(l.geometry.cancel.y, c.okY);
    EXPECT_EQ(l.geometry.message.h, c.messageH);
    EXPECT_EQ(l.hideCancelAndCounter, c.hidden);
  }
}

}  // namespace
}  // namespace app
