// qmtool's timing commands: each runs in its own process, so what one
// command stored is what the next one finds in the file.
#include "capture_file/avi_handler.h"
#include "fixtures/kv_fixtures.h"
#include "platform/files.h"
#include "race_timing/file_player.h"
#include "race_timing/race_session.h"
#include "support/run_program.h"
#include "support/test_env.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {

using qmtest::Qmtool;
using qmtest::Run_Result;

class Qmtool_Test : public qmtest::Test {
 protected:
  qmtest::KV2_Written w;
  void SetUp() override {
    qmtest::Test::SetUp();
    qmtest::KV2_Options o;
    o.frames = 10;
    o.lanes = 6;
    w = qmtest::Make_KV2(Tmp("Final_Heat2_0001.kv2"), o);
    ASSERT_TRUE(w.ok);
  }
  QJsonObject Results() {
    const Run_Result r = Qmtool({"results", w.path, "--json"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    return QJsonDocument::fromJson(r.out).object();
  }
};

TEST_F(Qmtool_Test, SetResultIsInTheFileForTheNextProcess) {
  // Field 7: frame 4 stamped 1000120, heat start 990000: 10110 ms.
  Run_Result r = Qmtool({"set-result", w.path, "--lane", "4", "--field", "7"});
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  r = Qmtool({"set-result", w.path, "--lane", "2", "--field", "8", "--plus"});
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  r = Qmtool({"set-result", w.path, "--lane", "5", "--status", "DNF"});
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  ASSERT_EQ(Qmtool({"correction", w.path, "--set", "-1500"}).status, 0);

  const QJsonObject o = Results();
  EXPECT_EQ(o["Event_name"].toString(), "Fixture Regatta");
  EXPECT_EQ(o["Heat_ID"].toString(), "H1");
  EXPECT_EQ(o["Correction_ms"].toInt(), -1500);
  const QJsonArray rows = o["rows"].toArray();
  ASSERT_EQ(rows.size(), 3);
  const QJsonObject first = rows[0].toObject();
  EXPECT_EQ(first["place"].toString(), "1");
  EXPECT_EQ(first["lane"].toString(), "4");
  EXPECT_EQ(first["time_ms"].toInt(), 10110);
  EXPECT_EQ(first["time"].toString(), " 00:11,61");  // corrected by -1.5 s
  EXPECT_EQ(first["delta"].toString(), "+0,00");
  EXPECT_EQ(first["goal_field"].toInt(), 7);
  EXPECT_NE(first["click_time"].toInt(), 0);
  const QJsonObject second = rows[1].toObject();
  EXPECT_EQ(second["time_ms"].toInt(), 10110 + 20 + 10);  // field 8 is 20 ms on, plus 1/100
  EXPECT_EQ(second["delta"].toString(), "+0,03");
  const QJsonObject third = rows[2].toObject();
  EXPECT_EQ(third["time"].toString(), "DNF");
  EXPECT_EQ(third["delta"].toString(), "");
  EXPECT_EQ(third["goal_field"].toInt(), 0);

  // The same file opened here gives the very same rows.
  qm::cls_AVI_handler file;
  qm::Race_Session race;
  qm::File_Player player(file);
  ASSERT_TRUE(qm::Open_For_Timing(w.path, file, race, player));
  ASSERT_EQ(race.rows.filled, 3);
  for (int i = 0; i < 3; ++i) {
    const QJsonObject j = rows[i].toObject();
    const qm::Result_Row& row = race.rows.rows[static_cast<size_t>(i)];
    EXPECT_EQ(j["time"].toString(), row.time);
    EXPECT_EQ(j["delta"].toString(), row.delta);
    EXPECT_EQ(j["click_time"].toInt(), row.slot.click_time);
  }
  Expect_No_Reports();
}

TEST_F(Qmtool_Test, ExitStatusesOfRefusals) {
  ASSERT_EQ(Qmtool({"set-result", w.path, "--lane", "1", "--field", "3"}).status, 0);
  // The override question answered Cancel without --yes; OK with it.
  Run_Result r = Qmtool({"set-result", w.path, "--lane", "1", "--status", "DSQ"});
  EXPECT_EQ(r.status, 3);
  EXPECT_TRUE(r.err.contains("Override existing result?"));
  EXPECT_EQ(Results()["rows"].toArray()[0].toObject()["goal_field"].toInt(), 3);
  EXPECT_EQ(Qmtool({"set-result", w.path, "--lane", "1", "--status", "DSQ", "--yes"}).status, 0);
  EXPECT_EQ(Results()["rows"].toArray()[0].toObject()["time"].toString(), "DSQ");
  // Lane 16 is reported.
  r = Qmtool({"set-result", w.path, "--lane", "16", "--field", "3"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.err.contains("Attach_Time of Form frm_kanot_2"));
  // Usage errors.
  EXPECT_EQ(Qmtool({"set-result", w.path, "--lane", "1", "--field", "21"}).status, 2);
  EXPECT_EQ(Qmtool({"set-result", w.path, "--lane", "1", "--field", "0"}).status, 2);
  EXPECT_EQ(Qmtool({"set-result", w.path, "--lane", "1"}).status, 2);
  EXPECT_EQ(Qmtool({"set-result", w.path, "--lane", "1", "--status", "XYZ"}).status, 2);
  EXPECT_EQ(Qmtool({"correction", w.path, "--set", "abc"}).status, 2);
  // Read-only: refused with its message; the correction's header write reported.
  qm::Set_Read_Only(w.path, true);
  r = Qmtool({"set-result", w.path, "--lane", "2", "--field", "3"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.err.contains("File is read-only!"));
  r = Qmtool({"correction", w.path, "--set", "200"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.err.contains("Write_XML_header of Class Module cls_AVI_handler"));
  qm::Set_Read_Only(w.path, false);
  EXPECT_EQ(Results()["Correction_ms"].toInt(), 0);
  EXPECT_EQ(Results()["rows"].toArray().size(), 1);
}

}  // namespace
