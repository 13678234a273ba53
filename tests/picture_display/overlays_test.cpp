// The overlay: key-colour composite, the anti-aliased goal line against its
// formula, lane markers by their result, the flipped band and the lap box.
#include "picture_display/overlays.h"
#include "picture_display/picture_surface.h"
#include "platform/fonts.h"
#include "race_timing/lane.h"
#include "support/test_env.h"

#include <QFontInfo>
#include <QFontMetricsF>

#include <cmath>

namespace {

const QColor Grey{128, 128, 128};

QColor At(const qm::Picture_Overlay& o, int x, int y) {
  return const_cast<qm::Picture_Overlay&>(o).DIB_graphics.hDC()->Pixel_Colour(x, y);
}

QColor Box_At(const qm::Picture_Surface& box, int x, int y) {
  return QColor::fromRgb(box.Image().pixel(x, y));
}

class Overlay : public qmtest::Test {};

TEST_F(Overlay, Faces_Of_The_Program_Are_Installed) {
  EXPECT_TRUE(qm::Missing_Font_Faces().isEmpty())
      << qm::Missing_Font_Faces().join(", ").toStdString();
  EXPECT_EQ(QFontInfo(qm::Program_Font(QStringLiteral("Arial"), 18)).family(),
            QStringLiteral("Liberation Sans"));
  EXPECT_EQ(QFontInfo(qm::Program_Font(QStringLiteral("Times New Roman"), 48)).family(),
            QStringLiteral("Liberation Serif"));
  // The lane number's cell height and average width as asked.
  for (auto [h, w] : {std::pair{18, 8}, std::pair{14, 6}}) {
    const QFontMetricsF fm(qm::Lane_Number_Font(h, w));
    EXPECT_NEAR(fm.ascent() + fm.descent(), h, 1.0);
    EXPECT_NEAR(fm.averageCharWidth(), w, 0.75);
  }
}

TEST_F(Overlay, Key_Grey_Never_Shows_And_Every_Other_Colour_Covers) {
  qm::Picture_Overlay o;
  o.Arrange(6, 2);
  qm::Dib_DC* dc = o.DIB_graphics.hDC();
  const QColor near_keys[] = {
      {128, 128, 129}, {127, 128, 128}, {128, 129, 128}, {0, 0, 0}, {255, 255, 255}};
  for (int x = 0; x < 5; ++x) dc->Set_Pixel(x, 0, near_keys[x]);
  o.Changed();
  qm::Picture_Surface box(6, 2);
  box.Image().fill(QColor(10, 20, 30));
  o.Blit_Graphics(box);
  for (int x = 0; x < 5; ++x) EXPECT_EQ(Box_At(box, x, 0), near_keys[x]) << x;
  EXPECT_EQ(Box_At(box, 5, 0), QColor(10, 20, 30));  // key: the picture shows
  for (int x = 0; x < 6; ++x) EXPECT_EQ(Box_At(box, x, 1), QColor(10, 20, 30));
  EXPECT_EQ(o.Opaque_Pixels(), 5);
}

TEST_F(Overlay, Span_List_Is_Rebuilt_Only_When_The_Overlay_Is) {
  qm::Picture_Overlay o;
  o.Arrange(720, 576);
  o.show_goal_line = true;
  o.Goal_line = {100, 10, 110, 500};
  qm::Picture_Surface box(720, 576);
  o.Draw_Graphics(box, true, false, false, 0);
  const int64_t after_build = o.Span_Rebuilds();
  for (int i = 0; i < 5; ++i) o.Blit_Graphics(box);  // fields shown: composite only
  EXPECT_EQ(o.Span_Rebuilds(), after_build);
  EXPECT_GT(o.Opaque_Pixels(), 490 * 2);  // 491 steps, two or three pixels each
  o.Goal_line = {0, 0, 0, 0};
  o.Draw_Graphics(box, true, false, false, 0);
  EXPECT_EQ(o.Span_Rebuilds(), after_build + 1);
  EXPECT_EQ(o.Opaque_Pixels(), 0);
  Expect_No_Reports();
}

// Reference of the blend: weight w of the line colour c over p, rounded half to even.
int Blend(double w, int c, int p) {
  return static_cast<int>(std::nearbyint(w * c + (1 - w) * p));
}

struct Line_Case {
  bool inverted;
  int x1, y1, x2, y2;
};

class Goal_Line : public qmtest::Test, public ::testing::WithParamInterface<Line_Case> {};

// Every pixel of a short line against the walk's formula: major axis stepped
// from the end with the smaller coordinate, three pixels across, the first
// blended by 1 - f, the last by f, over the overlay's key grey.
TEST_P(Goal_Line, Pixels_And_Blends_Follow_The_Formula) {
  const Line_Case c = GetParam();
  qm::Picture_Overlay o;
  o.Arrange(40, 40);
  o.show_goal_line = true;
  o.invert_goal_line = c.inverted;
  o.Goal_line = {static_cast<int16_t>(c.x1), static_cast<int16_t>(c.y1), static_cast<int16_t>(c.x2),
                 static_cast<int16_t>(c.y2)};
  o.Draw_Goal_line();
  const int colour = c.inverted ? 25 : 255;

  std::vector<std::vector<int>> expect(40, std::vector<int>(40, 128));
  const bool x_major = std::abs(c.x2 - c.x1) > std::abs(c.y2 - c.y1);
  int ma = x_major ? c.x1 : c.y1, mi = x_major ? c.y1 : c.x1;
  int mb = x_major ? c.x2 : c.y2, mib = x_major ? c.y2 : c.x2;
  if (mb < ma) std::swap(ma, mb), std::swap(mi, mib);
  for (int k = 0; k <= mb - ma; ++k) {
    const double m = k * double(mib - mi) / (mb - ma);
    const int m0 = mi + static_cast<int>(std::floor(m));
    const double f = m - std::floor(m);
    const int w[3] = {Blend(1 - f, colour, 128), colour, Blend(f, colour, 128)};
    for (int i = 0; i < 3; ++i) {
      const int x = x_major ? ma + k : m0 - 1 + i, y = x_major ? m0 - 1 + i : ma + k;
      expect[y][x] = w[i];
    }
  }
  int wrong = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) {
      const QColor p = At(o, x, y);
      if (p.red() != expect[y][x] || p.green() != expect[y][x] || p.blue() != expect[y][x]) {
        ++wrong;
        ADD_FAILURE() << "(" << x << "," << y << ") " << p.red() << " want " << expect[y][x];
      }
    }
  EXPECT_EQ(wrong, 0);
}

INSTANTIATE_TEST_SUITE_P(Lines, Goal_Line,
                         ::testing::Values(Line_Case{false, 2, 2, 8, 5},     // x-major, f 0 / 0.5
                                           Line_Case{true, 8, 5, 2, 2},      // reversed, dark
                                           Line_Case{false, 10, 30, 13, 3},  // y-major, upwards
                                           Line_Case{false, 5, 20, 30, 17}));

TEST_F(Overlay, Goal_Line_Halves_Round_To_Even) {
  qm::Picture_Overlay o;
  o.Arrange(20, 20);
  o.show_goal_line = true;
  o.Goal_line = {2, 2, 8, 5};  // step 1: f = 0.5
  o.Draw_Goal_line();
  EXPECT_EQ(At(o, 3, 1).red(), 192);  // 191.5
  EXPECT_EQ(At(o, 3, 3).red(), 192);
  EXPECT_EQ(At(o, 2, 1).red(), 255);  // f = 0: the first pixel is the line colour
  EXPECT_EQ(At(o, 2, 3), Grey);       // and the last keeps the key grey
  o.invert_goal_line = true;
  o.Clear_Graphics();
  o.Draw_Goal_line();
  EXPECT_EQ(At(o, 3, 1).red(), 76);  // 76.5
}

TEST_F(Overlay, No_Goal_Line_When_Off_Or_Without_Points) {
  qm::Picture_Overlay o;
  o.Arrange(20, 20);
  o.Goal_line = {2, 2, 8, 5};
  o.Draw_Goal_line();  // show goal line off
  o.show_goal_line = true;
  o.Goal_line = {0, 0, 0, 0};
  o.Draw_Goal_line();
  o.Goal_line = {4, 4, 4, 4};
  o.Draw_Goal_line();
  qm::Picture_Surface box(20, 20);
  o.Blit_Graphics(box);
  EXPECT_EQ(o.Opaque_Pixels(), 0);
}

TEST_F(Overlay, Dashed_Walk_Draws_10_Skips_11) {
  qm::cDIBSection dib;
  ASSERT_TRUE(dib.Create(10, 60));
  qm::Draw_AA_Line(dib.hDC(), 5, 0, 5, 59, QColor(255, 255, 255), 2, true);
  QString rows;
  for (int y = 0; y < 60; ++y) rows += dib.hDC()->Pixel_Colour(5, y).red() == 255 ? '#' : '.';
  EXPECT_EQ(rows, QStringLiteral("#########...........##########...........##########........."));
}

struct Marker_Case {
  int32_t time;
  QColor fill, text;
};

class Lane_Marker : public qmtest::Test, public ::testing::WithParamInterface<Marker_Case> {};

TEST_P(Lane_Marker, Circle_Outline_And_Number_In_The_Results_Colours) {
  const Marker_Case c = GetParam();
  qm::Lane_markers lanes;
  qm::Cls_lane& lane = lanes.Add();
  lane.Set_Lane_number(3);
  lane.Lane_pos_X(100);
  lane.Lane_pos_Y(50);
  lane.Set_time(c.time);
  qm::Picture_Overlay o;
  o.Arrange(720, 576);
  o.lanes = &lanes;
  o.markers_drawn = 1;
  o.show_lane_markers = true;
  o.Draw_lanes(false);
  // Square from (88, 38) (87.5 and 37.5 rounded to even) 25 pixels wide.
  EXPECT_EQ(At(o, 92, 50), c.fill);   // inside the circle, left of the number
  EXPECT_EQ(At(o, 100, 38), c.text);  // 2-pixel outline at the top
  EXPECT_EQ(At(o, 100, 39), c.text);
  EXPECT_EQ(At(o, 100, 40), c.fill);
  EXPECT_EQ(At(o, 88, 38), Grey);  // corner of the square outside the circle
  EXPECT_EQ(At(o, 87, 50), Grey);
  // The number: pixels near the text colour in the middle of the circle.
  int ink = 0;
  for (int y = 42; y < 60; ++y)
    for (int x = 95; x < 106; ++x) {
      const QColor p = At(o, x, y);
      if (std::abs(p.red() - c.text.red()) + std::abs(p.blue() - c.text.blue()) < 60) ++ink;
    }
  EXPECT_GT(ink, 12);
  Expect_No_Reports();
}

INSTANTIATE_TEST_SUITE_P(Results, Lane_Marker,
                         ::testing::Values(Marker_Case{0, {200, 200, 200}, {120, 120, 120}},
                                           Marker_Case{999999999, {200, 200, 200}, {120, 120, 120}},
                                           Marker_Case{83450, {255, 255, 255}, {0, 0, 255}},
                                           Marker_Case{100000001, {255, 255, 255}, {255, 0, 0}},
                                           Marker_Case{100000003, {255, 255, 255}, {255, 0, 0}}));

QString Band(const qm::Picture_Overlay& o, int y, int from, int to) {
  QString s;
  for (int x = from; x <= to; ++x) s += At(o, x, y) == QColor(255, 0, 0) ? '#' : '.';
  return s;
}

TEST_F(Overlay, Lane_Band_Runs_300_Pixels_Right_Or_Left_On_Three_Rows) {
  qm::Lane_markers lanes;
  qm::Cls_lane& lane = lanes.Add();
  lane.Set_Lane_number(12);
  lane.Lane_pos_X(361);  // square left 348 (348.5 to even), centre column 360 (360.5)
  lane.Lane_pos_Y(200);  // square top 188 (187.5), bottom edge row 213
  qm::Picture_Overlay o;
  o.Arrange(720, 576);
  o.lanes = &lanes;
  o.markers_drawn = 1;
  o.show_lane_markers = true;
  o.Draw_lanes(false);
  for (int y : {213, 214}) {
    EXPECT_EQ(Band(o, y, 357, 372), QStringLiteral("...###...###...#")) << y;
    EXPECT_EQ(Band(o, y, 654, 660), QStringLiteral("###....")) << y;  // 300 pixels, end left out
  }
  EXPECT_EQ(Band(o, 212, 366, 371), QStringLiteral("###..."));
  EXPECT_EQ(Band(o, 215, 357, 372), QStringLiteral("................"));

  o.Clear_Graphics();
  o.Draw_lanes(true);  // flipped: from the centre column to the left
  for (int y : {212, 213, 214}) {
    EXPECT_EQ(Band(o, y, 361, 372), QStringLiteral("............")) << y;
    EXPECT_EQ(Band(o, y, 58, 66), QStringLiteral("......###")) << y;  // ends at 61
  }
  EXPECT_EQ(Band(o, 213, 355, 360), QStringLiteral("...###"));
}

TEST_F(Overlay, Nothing_Drawn_With_Markers_Hidden) {
  qm::Lane_markers lanes;
  lanes.Add().Lane_pos_X(100);
  qm::Picture_Overlay o;
  o.Arrange(100, 100);
  o.lanes = &lanes;
  o.markers_drawn = 1;
  o.Draw_lanes(false);
  qm::Picture_Surface box(100, 100);
  o.Blit_Graphics(box);
  EXPECT_EQ(o.Opaque_Pixels(), 0);
}

struct Lap_Case {
  int w, h, x, y;
};

class Lap_Box : public qmtest::Test, public ::testing::WithParamInterface<Lap_Case> {};

TEST_P(Lap_Box, At_Three_Quarters_Across_And_92_Percent_Down) {
  const Lap_Case c = GetParam();
  EXPECT_EQ(qm::Picture_Overlay::Lap_Box_Position(c.w, c.h), QPoint(c.x, c.y));
  qm::Picture_Overlay o;
  o.Arrange(c.w, c.h);
  o.Overlay_Lap(0);
  qm::Picture_Surface box(c.w, c.h);
  o.Blit_Graphics(box);
  EXPECT_EQ(o.Opaque_Pixels(), 0);  // lap 0: no box

  o.Overlay_Lap(3);
  const QColor yellow(255, 255, 192);
  EXPECT_EQ(At(o, c.x + 1, c.y + 1), yellow);
  EXPECT_EQ(At(o, c.x - 1, c.y + 1), Grey);
  EXPECT_EQ(At(o, c.x + 1, c.y - 1), Grey);
  const QSize size = o.Pict_heat_time().size();
  EXPECT_GT(size.width(), 150);
  int green = 0;
  for (int y = c.y; y < std::min(c.h, c.y + size.height()); ++y)
    for (int x = c.x; x < std::min(c.w, c.x + size.width()); ++x) {
      const QColor p = At(o, x, y);
      if (p.green() == 255 && p.red() < 100 && p.blue() < 100) ++green;
    }
  EXPECT_GT(green, 20);  // "Lap: 3" in green
  Expect_No_Reports();
}

// 0.92 x 576 = 529.92, 0.92 x 720 = 662.4; the box runs past the bottom and is clipped.
INSTANTIATE_TEST_SUITE_P(Landscape_Rotated, Lap_Box,
                         ::testing::Values(Lap_Case{720, 576, 540, 530},
                                           Lap_Case{576, 720, 432, 662}));

TEST_F(Overlay, Draw_Graphics_Rebuilds_Composites_And_Refreshes) {
  qm::Lane_markers lanes;
  qm::Cls_lane& lane = lanes.Add();
  lane.Lane_pos_X(50);
  lane.Lane_pos_Y(50);
  qm::Picture_Overlay o;
  o.Arrange(720, 576);
  o.lanes = &lanes;
  o.markers_drawn = 1;
  o.show_lane_markers = true;
  qm::Picture_Surface box(720, 576);
  o.Draw_Graphics(box, false, false, true, 2);
  EXPECT_EQ(box.Refreshes(), 1);  // zoom off: always refreshed
  EXPECT_EQ(Box_At(box, 42, 50), QColor(200, 200, 200));
  EXPECT_EQ(Box_At(box, 541, 531), QColor(255, 255, 192));  // lap box
  box.Image().fill(Qt::black);
  o.Draw_Graphics(box, false, false, false, 0, true);  // no file: no markers; zoom on
  EXPECT_EQ(box.Refreshes(), 1);
  EXPECT_EQ(Box_At(box, 42, 50), QColor(0, 0, 0));
  EXPECT_EQ(Box_At(box, 541, 531), QColor(0, 0, 0));
  Expect_No_Reports();
}

}  // namespace
