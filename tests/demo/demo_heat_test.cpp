// The demo heat is the most honest test of the program: its finishing
// instants are known from the generator's own stamps and geometry, so the
// program's field timing, field display and ranking are checked against a
// truth they did not compute.
#include "capture_file/avi_handler.h"
#include "capture_file/demo_heat.h"
#include "capture_file/xml_header.h"
#include "picture_display/field_render.h"
#include "picture_display/picture_surface.h"
#include "race_timing/race_session.h"
#include "support/test_env.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <algorithm>

namespace {

// A hull pixel: every hull is bright, the water is dark (the lane's centre
// row crosses no rope or buoy).
bool Hull(QRgb c) { return 0.299 * qRed(c) + 0.587 * qGreen(c) + 0.114 * qBlue(c) > 150; }

// Rightmost hull pixel of the lane's centre row, -1 when none.
int Bow_Column(const QImage& img, int y) {
  for (int x = img.width() - 1; x >= 0; --x)
    if (Hull(img.pixel(x, y))) return x;
  return -1;
}

class Field_Player : public qm::Race_Player {
public:
  Field_Player(qm::cls_AVI_handler& file, bool rotate)
      : renderer_(file, 1), box_(rotate ? 576 : 720, rotate ? 720 : 576), rotate_(rotate) {}
  void Show_Field(int32_t field) override {
    field_ = field;
    renderer_.Draw_field_3(field, box_, 0, 1, rotate_);
  }
  int32_t Current_Field() const override { return field_; }
  const QImage& Picture() const { return box_.Image(); }

private:
  qm::Field_Renderer renderer_;
  qm::Picture_Surface box_;
  bool rotate_;
  int32_t field_ = 0;
};

struct Demo_Case {
  const char* name;
  qm::Demo_Options options;
};

class Demo_Heat_Test : public qmtest::Test, public ::testing::WithParamInterface<Demo_Case> {};

TEST_P(Demo_Heat_Test, TruthFieldIsTheFirstThatShowsTheBowOnTheLine) {
  const qm::Demo_Options o = GetParam().options;
  const qm::Demo_Clock clock = qm::Make_Demo_Clock(o);
  const qm::Demo_Truth truth = qm::Make_Demo_Heat(Tmp("demo.kv2"), o);
  ASSERT_EQ(truth.lanes.size(), static_cast<size_t>(o.lanes));
  for (const qm::Demo_Lane_Truth& l : truth.lanes) {
    SCOPED_TRACE(l.lane);
    ASSERT_GT(l.field, 1);
    EXPECT_GE(clock.Field_Instant(l.field), l.crossing_ms);
    EXPECT_LT(clock.Field_Instant(l.field - 1), l.crossing_ms);
    const int y = truth.lane_center_y[static_cast<size_t>(l.lane - 1)];
    const QImage at = qm::Render_Demo_Scene(o, 1, clock.Field_Instant(l.field));
    const QImage before = qm::Render_Demo_Scene(o, 1, clock.Field_Instant(l.field - 1));
    EXPECT_GE(Bow_Column(at, y), truth.goal_x - 1);
    EXPECT_LT(Bow_Column(before, y), truth.goal_x);
  }
  Expect_No_Reports();
}

TEST_P(Demo_Heat_Test, TimingEveryBoatAtItsTruthFieldRanksAsTheTruth) {
  const qm::Demo_Options o = GetParam().options;
  const QString path = Tmp("heat.kv2");
  const qm::Demo_Clock clock = qm::Make_Demo_Clock(o);
  const qm::Demo_Truth truth = qm::Make_Demo_Heat(path, o);

  qm::cls_AVI_handler file;
  ASSERT_TRUE(file.Open_File(path));
  ASSERT_TRUE(file.is_Quaymark());
  EXPECT_EQ(file.Num_fields(), o.seconds * 50);
  EXPECT_EQ(file.rotated(), o.rotated);
  Field_Player player(file, file.rotated());
  qm::Race_Session session;
  session.Set_File(&file);
  session.Set_Player(&player);
  session.File_Opened();

  for (const qm::Demo_Lane_Truth& l : truth.lanes) {
    player.Show_Field(l.field);
    // The shown picture is the decoded field of that instant: its bow is
    // where the scene has it, within what DV compression blurs (a field
    // step moves a boat five to six pixels).
    const int y = truth.lane_center_y[static_cast<size_t>(l.lane - 1)];
    const QImage scene = qm::Render_Demo_Scene(o, 1, clock.Field_Instant(l.field));
    EXPECT_NEAR(Bow_Column(player.Picture(), y), Bow_Column(scene, y), 3) << "lane " << l.lane;
    session.Attach_Time(static_cast<int16_t>(l.lane), 0, false);
  }

  std::vector<qm::Demo_Lane_Truth> order = truth.lanes;
  std::sort(order.begin(), order.end(),
            [](const auto& a, const auto& b) { return a.crossing_ms < b.crossing_ms; });
  ASSERT_EQ(session.rows.filled, o.lanes);
  const int32_t winner = session.rows.rows[0].slot.time;
  for (size_t i = 0; i < order.size(); ++i) {
    SCOPED_TRACE(i);
    const qm::Result_Row& row = session.rows.rows[i];
    EXPECT_EQ(row.place, QString::number(i + 1));
    EXPECT_EQ(row.lane, QString::number(order[i].lane));
    const int32_t t = row.slot.time;
    EXPECT_GE(t, order[i].crossing_ms);
    EXPECT_LE(t - order[i].crossing_ms, 20);
    EXPECT_EQ(row.slot.goal_field, order[i].field);
    // Deltas follow the times.
    if (i > 0) {
      EXPECT_GE(t - winner, order[i].crossing_ms - order[0].crossing_ms - 20);
    }
  }

  // The file carries the results: a fresh object reads the same times.
  file.Close_File();
  qm::cls_AVI_handler again;
  ASSERT_TRUE(again.Open_File(path));
  for (const qm::Demo_Lane_Truth& l : truth.lanes)
    EXPECT_EQ(again.Heat_Goalfield(1, static_cast<int16_t>(l.lane)), l.field);
  Expect_No_Reports();
}

qm::Demo_Options Options(bool rotated, int lanes, int seconds, int streams, uint32_t seed) {
  qm::Demo_Options o;
  o.rotated = rotated;
  o.lanes = lanes;
  o.seconds = seconds;
  o.streams = streams;
  o.seed = seed;
  return o;
}

INSTANTIATE_TEST_SUITE_P(Heats, Demo_Heat_Test,
                         ::testing::Values(Demo_Case{"landscape", Options(false, 6, 4, 1, 3)},
                                           Demo_Case{"rotated", Options(true, 9, 4, 1, 5)},
                                           Demo_Case{"two_streams", Options(false, 4, 3, 2, 8)}),
                         [](const auto& info) { return std::string(info.param.name); });

using Demo_Command_Test = qmtest::Test;

TEST_F(Demo_Command_Test, SameSeedGivesTheSameBytesAndTruthBeside) {
  auto run = [&](const QString& out) {
    QProcess p;
    p.start(QStringLiteral(QM_QMTOOL),
            {QStringLiteral("demo"), QStringLiteral("-o"), out, QStringLiteral("--lanes"),
             QStringLiteral("3"), QStringLiteral("--seconds"), QStringLiteral("2"),
             QStringLiteral("--seed"), QStringLiteral("11")});
    EXPECT_TRUE(p.waitForFinished(120000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    QFile f(out);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
  };
  const QByteArray a = run(Tmp("a.kv2"));
  const QByteArray b = run(Tmp("b.kv2"));
  EXPECT_EQ(a, b);
  QFile json(Tmp("a.truth.json"));
  ASSERT_TRUE(json.open(QIODevice::ReadOnly));
  const QJsonArray lanes = QJsonDocument::fromJson(json.readAll()).object()[QStringLiteral("lanes")].toArray();
  ASSERT_EQ(lanes.size(), 3);
  for (const auto& v : lanes) {
    EXPECT_GT(v.toObject()[QStringLiteral("field")].toInt(), 1);
    EXPECT_GT(v.toObject()[QStringLiteral("crossing_ms")].toInt(), 90000);
  }
}

}  // namespace
