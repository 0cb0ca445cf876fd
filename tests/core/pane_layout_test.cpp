#include "core/pane_layout.h"

#include <gtest/gtest.h>

#include <utility>

namespace mirotabe {
namespace {

struct CentringCase {
  float width;
  float splitterLeft;
  double split = kMiddleSplit;
};

class FormLayoutCentringTest : public testing::TestWithParam<CentringCase> {};

TEST_P(FormLayoutCentringTest, CentresTheSplitterAndFillsBothSides) {
  PaneGeometry geometry;
  geometry.split = GetParam().split;
  const float width = GetParam().width;
  PlacePanes(geometry, width, 5280, false);
  const float left = GetParam().splitterLeft;
  EXPECT_EQ(geometry.splitter.left, left);
  EXPECT_EQ(geometry.splitter.height, 5280);
  EXPECT_EQ(geometry.input, (TwipsRect{0, 0, left, 5280}));
  EXPECT_EQ(geometry.output, (TwipsRect{left + 60, 0, width - left - 60, 5280}));
}

INSTANTIATE_TEST_SUITE_P(Widths, FormLayoutCentringTest,
                         testing::Values(CentringCase{9060, 4500},  // the opening size
                                         CentringCase{9075, 4507},  // 9015 / 2, fraction dropped
                                         CentringCase{9076.5f, 4508}, CentringCase{60, 0},
                                         CentringCase{61, 0}, CentringCase{62.5f, 1},
                                         // A share the user chose is kept.
                                         CentringCase{9060, 2250, 0.25},
                                         CentringCase{9075, 2253, 0.25}, CentringCase{9060, 0, 0},
                                         CentringCase{9060, 9000, 1}));

TEST(FormLayoutTest, TheShareIsWhereTheSplitterStandsWithinTheRoom) {
  PaneGeometry geometry;
  for (const auto& [left, share] : {std::pair{2250.0f, 0.25}, std::pair{-100.0f, 0.0},
                                    std::pair{9500.0f, 1.0}, std::pair{4500.0f, 0.5}}) {
    geometry.splitter.left = left;
    EXPECT_EQ(SplitShare(geometry, 9060), share) << left;
  }
  EXPECT_EQ(SplitShare(geometry, 30), kMiddleSplit);
}

TEST(FormLayoutTest, DraggingKeepsTheSplitterWhereItWas) {
  PaneGeometry geometry;
  geometry.splitter.left = 1000;
  PlacePanes(geometry, 9060, 5280, true);
  EXPECT_EQ(geometry.splitter.left, 1000);
  EXPECT_EQ(geometry.input, (TwipsRect{0, 0, 1000, 5280}));
  EXPECT_EQ(geometry.output, (TwipsRect{1060, 0, 8000, 5280}));
}

TEST(FormLayoutTest, PanesThatWouldGetANegativeWidthKeepTheirGeometry) {
  PaneGeometry start;
  PlacePanes(start, 9060, 5280, false);

  PaneGeometry pastLeft = start;
  pastLeft.splitter.left = -200;
  PlacePanes(pastLeft, 9060, 5280, true);
  EXPECT_EQ(pastLeft.input, start.input);
  EXPECT_EQ(pastLeft.output, (TwipsRect{-140, 0, 9200, 5280}));

  PaneGeometry pastRight = start;
  pastRight.splitter.left = 9030;
  PlacePanes(pastRight, 9060, 5280, true);
  EXPECT_EQ(pastRight.input, (TwipsRect{0, 0, 9030, 5280}));
  EXPECT_EQ(pastRight.output, start.output);

  // A minimised window: nothing fits, both panes wait for the restore.
  PaneGeometry minimised = start;
  PlacePanes(minimised, 0, 0, false);
  EXPECT_EQ(minimised.input, start.input);
  EXPECT_EQ(minimised.output, start.output);
  PlacePanes(minimised, 9060, 5280, false);
  EXPECT_EQ(minimised, start);
}

TEST(SplitterDragTest, KeepsTheGrabbedPointUnderThePointer) {
  SplitterDrag drag;
  TwipsRect splitter{4500, 0, 60, 5280};
  EXPECT_FALSE(drag.Move(40, splitter));  // hovering moves nothing
  EXPECT_EQ(splitter.left, 4500);

  drag.Press(10.5f);  // rounds half to even: 10
  EXPECT_TRUE(drag.Move(40, splitter));
  EXPECT_EQ(splitter.left, 4530);
  EXPECT_TRUE(drag.Move(-5.25f, splitter));
  EXPECT_EQ(splitter.left, 4514.75f);
  drag.Release();
  EXPECT_FALSE(drag.dragging());

  drag.Press(11.5f);  // 12
  EXPECT_TRUE(drag.Move(12, splitter));
  EXPECT_EQ(splitter.left, 4514.75f);
}

}  // namespace
}  // namespace mirotabe
