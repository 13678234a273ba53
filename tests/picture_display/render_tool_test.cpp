// qmtool render in its own process: picture sizes, the overlay on top of
// the video, and its usage errors.
#include "capture_file/avi_handler.h"
#include "fixtures/kv_fixtures.h"
#include "support/test_env.h"

#include <QImage>
#include <QProcess>

namespace {

int Qmtool(const QStringList& args) {
  QProcess p;
  p.start(QStringLiteral(QM_QMTOOL), QStringList{QStringLiteral("render")} + args);
  if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit) return -1;
  return p.exitCode();
}

class Render_Tool : public qmtest::Test {
 protected:
  void SetUp() override {
    qmtest::Test::SetUp();
    qmtest::KV2_Options o;
    o.frames = 2;
    o.lanes = 4;
    o.edit = [](qm::cls_AVI_handler& h) {
      h.Lanes_Visible(true);
      h.Show_goalline(true);
      h.Set_Goal_Line(360, 10, 360, 560);
      for (int16_t k = 1; k <= 4; ++k) h.File_Lane_Pos(k, 360, 100 * k);
    };
    kv2 = qmtest::Make_KV2(Tmp("heat.kv2"), o).path;
    qmtest::Make_Raw_DV(Tmp("heat.dv"), 2, true);
  }
  QString kv2;
};

TEST_F(Render_Tool, Writes_The_Box_As_Shown) {
  ASSERT_FALSE(kv2.isEmpty());
  const QString png = Tmp("a.png");
  ASSERT_EQ(
      Qmtool({kv2, QStringLiteral("--field"), QStringLiteral("3"), QStringLiteral("-o"), png}), 0);
  QImage plain(png);
  EXPECT_EQ(plain.size(), QSize(720, 576));
  ASSERT_EQ(Qmtool({kv2, QStringLiteral("--field"), QStringLiteral("3"), QStringLiteral("--rotate"),
                    QStringLiteral("on"), QStringLiteral("-o"), png}),
            0);
  EXPECT_EQ(QImage(png).size(), QSize(576, 720));
  // NTSC stretched to 576 lines.
  ASSERT_EQ(Qmtool({Tmp("heat.dv"), QStringLiteral("--field"), QStringLiteral("2"),
                    QStringLiteral("--frame"), QStringLiteral("-o"), png}),
            0);
  EXPECT_EQ(QImage(png).size(), QSize(720, 576));
  // The overlay covers part of the same picture and leaves the rest.
  ASSERT_EQ(Qmtool({kv2, QStringLiteral("--field"), QStringLiteral("3"),
                    QStringLiteral("--overlays"), QStringLiteral("-o"), png}),
            0);
  const QImage over(png);
  ASSERT_EQ(over.size(), plain.size());
  int changed = 0;
  for (int y = 0; y < over.height(); ++y)
    for (int x = 0; x < over.width(); ++x) changed += over.pixel(x, y) != plain.pixel(x, y);
  EXPECT_GT(changed, 100);
  EXPECT_LT(changed, over.width() * over.height() / 4);
}

TEST_F(Render_Tool, Usage_Errors) {
  const QString png = Tmp("b.png");
  EXPECT_EQ(Qmtool({kv2, QStringLiteral("-o"), png}), 2);                       // no --field
  EXPECT_EQ(Qmtool({kv2, QStringLiteral("--field"), QStringLiteral("1")}), 2);  // no -o
  EXPECT_EQ(Qmtool({kv2, QStringLiteral("--field"), QStringLiteral("1"), QStringLiteral("--stream"),
                    QStringLiteral("4"), QStringLiteral("-o"), png}),
            2);
  EXPECT_EQ(Qmtool({kv2, QStringLiteral("--field"), QStringLiteral("1"), QStringLiteral("--rotate"),
                    QStringLiteral("sideways"), QStringLiteral("-o"), png}),
            2);
  EXPECT_EQ(Qmtool({Tmp("missing.kv2"), QStringLiteral("--field"), QStringLiteral("1"),
                    QStringLiteral("-o"), png}),
            1);
}

}  // namespace
