// Lane marker geometry and the "Lanes" INI value.
#include "race_timing/lane.h"
#include "race_timing/lane_result.h"
#include "support/test_env.h"

namespace {

using Lanes_Test = qmtest::Test;

qm::Cls_lane At(int16_t number, int32_t x, int32_t y) {
  qm::Cls_lane l;
  l.Set_Lane_number(number);
  l.Lane_pos_X(x);
  l.Lane_pos_Y(y);
  return l;
}

TEST_F(Lanes_Test, WithinIsAnOpenSquareOf25Pixels) {
  const qm::Cls_lane l = At(1, 100, 200);
  EXPECT_TRUE(l.Within(100, 200));
  EXPECT_TRUE(l.Within(112.49f, 187.51f));
  EXPECT_TRUE(l.Within(112.4f, 212.4f));  // a corner of the square, outside the drawn circle
  EXPECT_FALSE(l.Within(112.5f, 200));
  EXPECT_FALSE(l.Within(87.5f, 200));
  EXPECT_FALSE(l.Within(100, 212.5f));
  EXPECT_FALSE(l.Within(100, 187.5f));
}

TEST_F(Lanes_Test, FirstMarkerInListWinsWhereTheyOverlap) {
  qm::Lane_markers m;
  m.Add() = At(4, 100, 100);
  m.Add() = At(5, 110, 100);
  int pos = -1;
  EXPECT_EQ(qm::Check_within_lanes(m, 105, 100, &pos), 4);
  EXPECT_EQ(pos, 1);
  EXPECT_EQ(qm::Check_within_lanes(m, 118, 100, &pos), 5);
  EXPECT_EQ(pos, 2);
  EXPECT_EQ(qm::Check_within_lanes(m, 300, 100, &pos), -1);
  EXPECT_EQ(pos, 0);
}

TEST_F(Lanes_Test, BoundingSquareRoundsHalvesToEven) {
  // 100 - 12.5 = 87.5 -> 88; 101 - 12.5 = 88.5 -> 88.
  EXPECT_EQ(At(0, 100, 101).Bounding_Square(), QRect(88, 88, 25, 25));
  EXPECT_EQ(At(0, 13, 14).Bounding_Square(), QRect(0, 2, 25, 25));
}

TEST_F(Lanes_Test, StyleFollowsTime) {
  EXPECT_EQ(qm::Lane_Style_For(0).fill, QColor(200, 200, 200));
  EXPECT_TRUE(qm::Lane_Style_For(qm::No_result).transparent_text_background);
  EXPECT_EQ(qm::Lane_Style_For(61000).text, QColor(0, 0, 255));
  EXPECT_EQ(qm::Lane_Style_For(qm::Status_DNF).text, QColor(255, 0, 0));
  EXPECT_EQ(qm::Lane_Style_For(qm::Status_DNF).fill, QColor(255, 255, 255));
}

TEST_F(Lanes_Test, LanesValueParsing) {
  qm::Lane_markers m;
  qm::Parse_Lanes(m, QStringLiteral("None"));
  ASSERT_EQ(m.Count(), 16);
  EXPECT_EQ(m.Item(16).Lane_number(), 15);
  EXPECT_EQ(m.Item(16).X(), 225);
  EXPECT_EQ(m.Item(16).Y(), 300);

  // Two full groups, then a lone X piece: the rest take (20, 30).
  qm::Parse_Lanes(m, QStringLiteral("100200 50 60777"));
  ASSERT_EQ(m.Count(), 16);
  EXPECT_EQ(m.Item(1).X(), 100);
  EXPECT_EQ(m.Item(1).Y(), 200);
  EXPECT_EQ(m.Item(2).X(), 50);
  EXPECT_EQ(m.Item(2).Y(), 60);
  EXPECT_EQ(m.Item(3).X(), 777);
  EXPECT_EQ(m.Item(3).Y(), 30);
  EXPECT_EQ(m.Item(4).X(), 20);
  EXPECT_EQ(m.Item(16).Y(), 30);
  EXPECT_EQ(m.Item(3).Lane_number(), 2);
  Expect_No_Reports();
  EXPECT_TRUE(dialogs.records().empty());
}

TEST_F(Lanes_Test, NonNumericPieceRaisesTypeMismatch) {
  qm::Lane_markers m;
  const bool ok = qm::Trapped(QStringLiteral("Load_Lanes of Form Frm_kanot"),
                              [&] { qm::Parse_Lanes(m, QStringLiteral("100abc")); });
  EXPECT_FALSE(ok);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].errnum, qm::Err_Type_Mismatch);
}

TEST_F(Lanes_Test, DraggingRules) {
  qm::Lane_markers m;
  m.Add() = At(1, 100, 100);
  qm::Lane_Drag d;
  EXPECT_FALSE(qm::Begin_Lane_Drag(m, true, 100, 100, d));   // locked: a timing press
  EXPECT_FALSE(qm::Begin_Lane_Drag(m, false, 300, 300, d));  // no marker there
  ASSERT_TRUE(qm::Begin_Lane_Drag(m, false, 105, 95, d));
  EXPECT_TRUE(qm::Drag_Lane_To(m, d, 115.5f, 90, 720, 576, true));
  EXPECT_EQ(m.Item(1).X(), 110);  // 100 + 10.5 -> 110 (half to even)
  EXPECT_EQ(m.Item(1).Y(), 95);
  // Travel is from the press, not from the last move.
  EXPECT_TRUE(qm::Drag_Lane_To(m, d, 106, 96, 720, 576, true));
  EXPECT_EQ(m.Item(1).X(), 101);
  // Off the picture, onto its edge, or with markers hidden: refused.
  EXPECT_FALSE(qm::Drag_Lane_To(m, d, 5, 95, 720, 576, true));      // x = 0
  EXPECT_FALSE(qm::Drag_Lane_To(m, d, 725, 95, 720, 576, true));    // x = 720
  EXPECT_FALSE(qm::Drag_Lane_To(m, d, 200, 200, 720, 576, false));  // hidden
  EXPECT_EQ(m.Item(1).X(), 101);
  EXPECT_EQ(m.Item(1).Y(), 101);
}

}  // namespace
