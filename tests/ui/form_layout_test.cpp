#include "ui/form_layout.h"

#include <gtest/gtest.h>

namespace mirotabe {
namespace {

struct CentringCase {
  float width;
  float splitterLeft;
};

class FormLayoutCentringTest : public testing::TestWithParam<CentringCase> {};

TEST_P(FormLayoutCentringTest, CentresTheSplitterAndFillsBothSides) {
  FormGeometry geometry;
  const float width = GetParam().width;
  LayOutForm(geometry, width, 5280, false);
  const float left = GetParam().splitterLeft;
  EXPECT_EQ(geometry.image1.left, left);
  EXPECT_EQ(geometry.image1.height, 5280);
  EXPECT_EQ(geometry.text1, (TwipsRect{0, 0, left, 5280}));
  EXPECT_EQ(geometry.text2, (TwipsRect{left + 60, 0, width - left - 60, 5280}));
}

INSTANTIATE_TEST_SUITE_P(Widths, FormLayoutCentringTest,
                         testing::Values(CentringCase{9060, 4500},  // the opening size
                                         CentringCase{9075, 4507},  // 9015 / 2, fraction dropped
                                         CentringCase{9076.5f, 4508}, CentringCase{60, 0},
                                         CentringCase{61, 0}, CentringCase{62.5f, 1}));

TEST(FormLayoutTest, DraggingKeepsTheSplitterWhereItWas) {
  FormGeometry geometry;
  geometry.image1.left = 1000;
  LayOutForm(geometry, 9060, 5280, true);
  EXPECT_EQ(geometry.image1.left, 1000);
  EXPECT_EQ(geometry.text1, (TwipsRect{0, 0, 1000, 5280}));
  EXPECT_EQ(geometry.text2, (TwipsRect{1060, 0, 8000, 5280}));
}

TEST(FormLayoutTest, PanesThatWouldGetANegativeWidthKeepTheirGeometry) {
  FormGeometry start;
  LayOutForm(start, 9060, 5280, false);

  FormGeometry pastLeft = start;
  pastLeft.image1.left = -200;
  LayOutForm(pastLeft, 9060, 5280, true);
  EXPECT_EQ(pastLeft.text1, start.text1);
  EXPECT_EQ(pastLeft.text2, (TwipsRect{-140, 0, 9200, 5280}));

  FormGeometry pastRight = start;
  pastRight.image1.left = 9030;
  LayOutForm(pastRight, 9060, 5280, true);
  EXPECT_EQ(pastRight.text1, (TwipsRect{0, 0, 9030, 5280}));
  EXPECT_EQ(pastRight.text2, start.text2);

  // A minimised window: nothing fits, both panes wait for the restore.
  FormGeometry minimised = start;
  LayOutForm(minimised, 0, 0, false);
  EXPECT_EQ(minimised.text1, start.text1);
  EXPECT_EQ(minimised.text2, start.text2);
  LayOutForm(minimised, 9060, 5280, false);
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
