// qmtool info and fields on our KV2 files and on libavformat's AVI files; the
// right figures come from what the fixture wrote.
#include "fixtures/avi_fixtures.h"
#include "fixtures/kv_fixtures.h"
#include "support/test_env.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {

class Qmtool_Test : public qmtest::Test {
 protected:
  struct Run {
    int status = -1;
    QByteArray out, err;
  };
  Run Qmtool(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(QM_QMTOOL), args);
    p.waitForFinished(120000);
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
  }
  // The time text of a non-negative time below an hour: " mm:ss,hh".
  static QString Text_Of(int32_t ms) {
    return QStringLiteral(" %1:%2,%3")
        .arg(ms / 60000, 2, 10, QLatin1Char('0'))
        .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms / 10 % 100, 2, 10, QLatin1Char('0'));
  }
};

TEST_F(Qmtool_Test, InfoAndFieldsOfOurKV2) {
  qmtest::KV2_Options o;
  o.frames = 3;
  // Stamps on the 40 ms grid, so the grid stamp is the stamp minus 10.
  o.blocks = {{2000040, 1990000, 36000000, 1, 12},
              {2000080, 1990000, 36000040, 1, 12},
              {2000120, 1990000, 36000080, 2, 12}};
  o.start_pc_mill = 1995000;
  o.start_local_mill = 35995000;
  o.event_name = QStringLiteral("Club Sprint");
  o.heat_id = QStringLiteral("K1 200m");
  o.lanes = 7;
  o.first_timecode = 500;
  o.edit = [](qm::cls_AVI_handler& h) {
    h.Heat_result(1, 4, 45670);
    h.Heat_Goalfield(1, 4, 5);
  };
  const qmtest::KV2_Written kv = qmtest::Make_KV2(Tmp("sprint.kv2"), o);
  ASSERT_TRUE(kv.ok);

  const Run info = Qmtool({QStringLiteral("info"), kv.path, QStringLiteral("--json")});
  ASSERT_EQ(info.status, 0) << info.err.toStdString();
  const QJsonObject i = QJsonDocument::fromJson(info.out).object();
  EXPECT_EQ(i.value("kind").toString(), QStringLiteral("kv2"));
  EXPECT_TRUE(i.value("is_Quaymark").toBool());
  EXPECT_EQ(i.value("num_frames").toInt(), 3);
  EXPECT_EQ(i.value("Num_fields").toInt(), 6);
  EXPECT_EQ(i.value("num_Calculated_frames").toInt(), 3);
  EXPECT_EQ(i.value("Num_Video_streams").toInt(), 1);
  EXPECT_EQ(i.value("Header_len").toInt(), 100005);
  EXPECT_EQ(i.value("mill_per_frame").toInt(), 20);
  EXPECT_TRUE(i.value("m_Index_placement").isNull());
  EXPECT_EQ(i.value("Event_name").toString(), o.event_name);
  EXPECT_EQ(i.value("Heat_ID").toString(), o.heat_id);
  EXPECT_EQ(i.value("Lane_count").toInt(), 7);
  EXPECT_EQ(i.value("Start_PC_mill").toInt(), 1995000);
  EXPECT_EQ(i.value("Start_local_mill").toInt(), 35995000);
  const QJsonArray times = i.value("Heat_time").toArray();
  ASSERT_EQ(times.size(), 16);
  EXPECT_EQ(times.at(4).toInt(), 45670);
  EXPECT_EQ(i.value("Heat_Goalfield").toArray().at(4).toInt(), 5);
  const qmtest::Bytes bytes = qmtest::Load_Bytes(kv.path);
  EXPECT_EQ(i.value("XML_len").toInt(), qm::Get_LE32(bytes.data() + 12));

  const Run fields = Qmtool({QStringLiteral("fields"), kv.path, QStringLiteral("--json"),
                             QStringLiteral("--from"), QStringLiteral("2")});
  ASSERT_EQ(fields.status, 0) << fields.err.toStdString();
  const QJsonArray rows = QJsonDocument::fromJson(fields.out).array();
  ASSERT_EQ(rows.size(), 5);
  for (const QJsonValue& v : rows) {
    const QJsonObject r = v.toObject();
    const int f = r.value("field").toInt();
    const int frame = (f + 1) / 2;
    const bool second = f % 2 == 0;
    const qmtest::SSCD_Block& b = o.blocks[static_cast<size_t>(frame - 1)];
    const int32_t t =
        b.Capture_mill_time - 10 - o.start_pc_mill - b.Timing_bias + (second ? 20 : 0);
    SCOPED_TRACE(f);
    EXPECT_EQ(r.value("eff_frameno").toInt(), frame);
    EXPECT_EQ(r.value("Field_To_Show").toInt(), second ? 2 : 1);
    EXPECT_EQ(r.value("Multi_TimeStamp").toInt(), t);
    EXPECT_EQ(r.value("time_text").toString(), Text_Of(t));
    EXPECT_EQ(r.value("Frame_time").toInt(), b.Frame_time + (second ? 20 : 0));
    EXPECT_EQ(r.value("Lap_Count").toInt(), b.Lap_Count);
    EXPECT_EQ(r.value("Timecode_frame_number").toInt(), o.first_timecode + frame - 1);
    EXPECT_EQ(r.value("Line_system").toInt(), 50);
  }
}

TEST_F(Qmtool_Test, InfoAndFieldsOfALibavformatAVI) {
  std::vector<qmtest::Bytes> frames;
  for (int k = 0; k < 4; ++k) {
    qmtest::Bytes f = qmtest::DV_Frame(false, k + 1);
    qmtest::Put_Timecode(f, 1000 + k);
    frames.push_back(f);
  }
  const QString path = Tmp("lavf.avi");
  ASSERT_TRUE(qmfix::Write_Lavf_AVI(path, frames, false, true));

  const Run info = Qmtool({QStringLiteral("info"), path, QStringLiteral("--json")});
  ASSERT_EQ(info.status, 0) << info.err.toStdString();
  const QJsonObject i = QJsonDocument::fromJson(info.out).object();
  EXPECT_EQ(i.value("kind").toString(), QStringLiteral("avi"));
  EXPECT_EQ(i.value("num_frames").toInt(), 4);
  EXPECT_EQ(i.value("Num_fields").toInt(), 8);
  EXPECT_EQ(i.value("Width").toInt(), 720);
  EXPECT_EQ(i.value("Height").toInt(), 576);
  EXPECT_EQ(i.value("Frame_Rate").toInt(), 25);
  EXPECT_EQ(i.value("m_Frame_ms").toInt(), 40);
  EXPECT_EQ(i.value("m_Field_ms").toInt(), 20);
  EXPECT_EQ(i.value("mill_per_frame").toInt(), 20);
  EXPECT_EQ(i.value("video_codec").toString(), QStringLiteral("CDVC"));
  EXPECT_TRUE(i.value("is_DV").toBool());
  EXPECT_FALSE(i.value("Is_Deinterlaced").toBool());
  EXPECT_FALSE(i.value("NTSC").toBool());
  EXPECT_EQ(i.value("m_Index_placement").toString(), QStringLiteral("relative"));
  EXPECT_FALSE(i.value("Has_XML_header").toBool());
  EXPECT_FALSE(i.value("is_Quaymark").toBool());
  EXPECT_TRUE(i.value("Event_name").isNull());
  EXPECT_TRUE(i.value("Header_len").isNull());
  EXPECT_TRUE(i.value("Heat_time").toArray().at(0).isNull());

  const Run fields = Qmtool({QStringLiteral("fields"), path, QStringLiteral("--json"),
                             QStringLiteral("--to"), QStringLiteral("99")});
  ASSERT_EQ(fields.status, 0) << fields.err.toStdString();
  const QJsonArray rows = QJsonDocument::fromJson(fields.out).array();
  ASSERT_EQ(rows.size(), 8);
  for (const QJsonValue& v : rows) {
    const QJsonObject r = v.toObject();
    const int frame = (r.value("field").toInt() + 1) / 2;
    EXPECT_EQ(r.value("eff_frameno").toInt(), frame);
    EXPECT_TRUE(r.value("Multi_TimeStamp").isNull());
    EXPECT_TRUE(r.value("time_text").isNull());
    EXPECT_EQ(r.value("Timecode_frame_number").toInt(), 1000 + frame - 1);
  }
}

TEST_F(Qmtool_Test, UnopenableFileExitsWithTheMessage) {
  const QString path = Tmp("clip.mov");
  qmtest::Save_Bytes(path, qmtest::Bytes(200, 1));
  const Run r = Qmtool({QStringLiteral("info"), path});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.err.contains("cls_AVI_handler can't open this file type! " + path.toUtf8()));
  EXPECT_TRUE(r.out.isEmpty());
}

}  // namespace
