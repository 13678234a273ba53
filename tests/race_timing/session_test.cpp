// The race session on real KV2 files: every command goes into the file's
// XML header and comes back from it.
#include "capture_file/avi_handler.h"
#include "capture_file/xml_header.h"
#include "fixtures/kv_fixtures.h"
#include "platform/files.h"
#include "race_timing/file_player.h"
#include "race_timing/mill_time.h"
#include "race_timing/race_session.h"
#include "support/test_env.h"

#include <QFile>

#include <cmath>

namespace {

using qm::No_result;
using qm::Status_DSQ;

class Session_Test : public qmtest::Test {
 protected:
  qmtest::KV2_Written written;
  qmtest::KV2_Options options;
  qm::cls_AVI_handler file;
  qm::Race_Session race;
  qm::File_Player player{file};

  void SetUp() override {
    qmtest::Test::SetUp();
    options.frames = 8;
    options.lanes = 6;
    options.edit = [](qm::cls_AVI_handler& h) {
      for (int16_t k = 1; k <= 6; ++k) h.File_Lane_Pos(k, 100 + 30 * k, 200);
    };
  }
  void Open() {
    written = qmtest::Make_KV2(Tmp("Regatta_Heat3_0001.kv2"), options);
    ASSERT_TRUE(written.ok);
    ASSERT_TRUE(qm::Open_For_Timing(written.path, file, race, player));
  }
  // The time of field f as the fixture's block gives it (no bias).
  int32_t Field_Time(int32_t f) const {
    const auto& b = written.blocks[static_cast<size_t>((f + 1) / 2 - 1)];
    const int32_t grid = static_cast<int32_t>(std::nearbyint(b.Capture_mill_time / 40.0)) * 40 - 10;
    return grid - options.start_pc_mill + (f % 2 == 0 ? 20 : 0);
  }
  // What the file on disk holds for heat 1, read by a fresh capture-file object.
  struct Stored {
    int32_t time, click, field;
  };
  Stored On_Disk(int16_t lane) const {
    qm::cls_AVI_handler again;
    EXPECT_TRUE(again.Open_File(written.path));
    const qm::Cls_XML_header& x = again.XML_header();
    return {x.Heat_result(1, lane), x.Heat_Click_time(1, lane), x.Heat_Goal_Field(1, lane)};
  }
  QByteArray Bytes() const {
    QFile f(written.path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.read(written.header_len);
  }
  void Time_Lane(int16_t lane, int32_t field, int32_t code = 0, bool plus = false) {
    player.Show_Field(field);
    race.Attach_Time(lane, code, plus);
  }
};

TEST_F(Session_Test, SetTimeStoresShownFieldInTheFileAndRanks) {
  Open();
  ASSERT_EQ(race.markers.Count(), 6);
  EXPECT_EQ(race.markers.Item(1).Lane_number(), 1);  // the header's start lane is 1
  EXPECT_EQ(race.markers.Item(6).X(), 280);
  Time_Lane(3, 5);
  const Stored s3 = On_Disk(3);
  EXPECT_EQ(s3.time, Field_Time(5));
  EXPECT_EQ(s3.time, 10070);  // frame 3 stamped 1000080, heat start 990000
  EXPECT_EQ(s3.field, 5);
  EXPECT_NE(s3.click, 0);
  // The first real time moves the delta reference to the shown field.
  EXPECT_EQ(race.Delta_Reference, Field_Time(5));
  Time_Lane(1, 4, 0, /*plus=*/true);
  EXPECT_EQ(On_Disk(1).time, Field_Time(4) + 10);
  EXPECT_EQ(race.Delta_Reference, Field_Time(5));  // a second time leaves it
  ASSERT_EQ(race.rows.filled, 2);
  EXPECT_EQ(race.rows.rows[0].lane, "1");
  EXPECT_EQ(race.rows.rows[0].time, " 00:10,06");
  EXPECT_EQ(race.rows.rows[1].lane, "3");
  EXPECT_EQ(race.rows.rows[1].delta, "+0,01");
  EXPECT_EQ(race.rows.Lbl_heat, "H1");
  EXPECT_EQ(race.rows.Lbl_event_name, "Fixture Regatta");
  EXPECT_TRUE(dialogs.records().empty());  // nothing was there: nothing asked
  EXPECT_EQ(race.markers.By_Lane_number(3)->time(), Field_Time(5));
  // The stored bytes carry it (heat 1's record comes first).
  const QByteArray b = Bytes();
  const qsizetype at = b.indexOf("<lane_record id=\"3\"");
  ASSERT_GT(at, 0);
  EXPECT_TRUE(b.mid(at, 64).contains("<heat_time_mill>10070</heat_time_mill>"))
      << b.mid(at, 120).toStdString();
  // A digit key times a lane that has no marker (9 in a heat of lanes 1 to 6).
  Time_Lane(9, 2);
  EXPECT_EQ(On_Disk(9).time, Field_Time(2));
  EXPECT_EQ(race.rows.rows[0].lane, "9");
  EXPECT_EQ(race.rows.filled, 3);
  // A press on a marker picks its lane.
  EXPECT_EQ(race.Check_within_lanes(220, 205), 4);
  EXPECT_EQ(race.Picked_position, 4);
  EXPECT_EQ(race.Check_within_lanes(5, 5), -1);
  // Place 2 and its field for the player.
  EXPECT_EQ(qm::Lane_To_Place(race.arrays, 1), 2);
  EXPECT_EQ(qm::Go_to_Goal_field(race.arrays, 3), 5);
  Expect_No_Reports();
}

TEST_F(Session_Test, OverrideAskedOnlyOverAResultAndCancelChangesNothing) {
  Open();
  Time_Lane(2, 3);
  ASSERT_TRUE(dialogs.records().empty());
  Time_Lane(4, 3, qm::Status_DNF);
  ASSERT_TRUE(dialogs.records().empty());
  const QByteArray before = Bytes();
  const auto markers_before = race.markers.By_Lane_number(2)->time();
  // Cancel (an empty script) to a time and to a status, and to a clear.
  Time_Lane(2, 7);
  Time_Lane(4, 7, Status_DSQ);
  Time_Lane(2, 7, No_result);
  ASSERT_EQ(dialogs.records().size(), 3u);
  for (const auto& r : dialogs.records()) {
    EXPECT_EQ(r.text, "Override existing result?");
    EXPECT_EQ(r.buttons, qm::Buttons::OK_Cancel);
  }
  EXPECT_EQ(Bytes(), before);
  EXPECT_EQ(race.markers.By_Lane_number(2)->time(), markers_before);
  EXPECT_EQ(race.arrays.lane_all_heats_array(4).time, qm::Status_DNF);
  // OK overrides.
  dialogs.Answer_With(qm::Answer::OK);
  Time_Lane(2, 7);
  EXPECT_EQ(On_Disk(2).time, Field_Time(7));
  EXPECT_EQ(On_Disk(2).field, 7);
  Expect_No_Reports();
}

TEST_F(Session_Test, StatusesAndClearThisLane) {
  Open();
  Time_Lane(5, 6, Status_DSQ);
  EXPECT_EQ(On_Disk(5).time, Status_DSQ);
  EXPECT_EQ(On_Disk(5).field, 0);      // the shown field is not kept
  EXPECT_EQ(race.Delta_Reference, 0);  // a status does not move it
  EXPECT_EQ(race.rows.rows[0].time, "DSQ");
  Time_Lane(2, 3);
  Time_Lane(6, 8);
  ASSERT_EQ(race.Delta_Reference, Field_Time(3));
  const int32_t click_before = On_Disk(6).click;
  dialogs.Answer_With(qm::Answer::OK);
  Time_Lane(6, 4, No_result);
  const Stored cleared = On_Disk(6);
  EXPECT_EQ(cleared.time, No_result);  // 999999999, not 0
  EXPECT_EQ(cleared.field, 0);
  EXPECT_NE(cleared.click, 0);
  (void)click_before;  // the tick may repeat within a millisecond; only its presence is sure
  // Clearing down to one time does not move the reference.
  EXPECT_EQ(race.Delta_Reference, Field_Time(3));
  EXPECT_EQ(race.rows.filled, 2);  // lane 2, then the DSQ
  EXPECT_EQ(race.rows.rows[1].time, "DSQ");
  Expect_No_Reports();
}

TEST_F(Session_Test, ReadOnlyFileIsRefused) {
  written = qmtest::Make_KV2(Tmp("ro.kv2"), options);
  ASSERT_TRUE(written.ok);
  qm::Set_Read_Only(written.path, true);
  ASSERT_TRUE(qm::Open_For_Timing(written.path, file, race, player));
  const QByteArray before = Bytes();
  Time_Lane(1, 3);
  ASSERT_EQ(dialogs.Texts(), QStringList{"File is read-only!"});
  EXPECT_EQ(race.rows.filled, 0);
  EXPECT_EQ(Bytes(), before);
  // "Clear all results" refuses too, with its own message.
  race.Clear_All_Results_Command();
  EXPECT_EQ(dialogs.Texts().last(),
            QString::fromUtf8("Can\u00B4t alter this file, it is Read only!"));
  Expect_No_Reports();
  qm::Set_Read_Only(written.path, false);
}

TEST_F(Session_Test, LaneTheArraysCannotHoldIsReportedAndNothingStored) {
  // Lanes 1..16: marker 16 has lane number 16, and sits in header slot 0.
  options.lanes = 16;
  options.edit = [](qm::cls_AVI_handler& h) {
    for (int16_t k = 1; k <= 15; ++k) h.File_Lane_Pos(k, 10 * k, 300);
    h.File_Lane_Pos(0, 700, 500);
  };
  Open();
  ASSERT_EQ(race.markers.Count(), 16);
  EXPECT_EQ(race.markers.Item(16).Lane_number(), 16);
  EXPECT_EQ(race.markers.Item(16).X(), 700);
  EXPECT_EQ(race.markers.Item(15).X(), 150);
  Expect_No_Reports();
  const QByteArray before = Bytes();
  Time_Lane(16, 3);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].errproc, "Attach_Time of Form frm_kanot_2");
  EXPECT_EQ(reports[0].errnum, qm::Err_Subscript);
  EXPECT_EQ(reports[0].err_extra, "p_Active_Result = 1Lane = 16");
  EXPECT_EQ(Bytes(), before);
  // Save lanes writes marker 16 back into slot 0.
  race.markers.Item(16).Lane_pos_X(650);
  race.Save_lanes_Command();
  qm::cls_AVI_handler again;
  ASSERT_TRUE(again.Open_File(written.path));
  EXPECT_EQ(again.LaneX(0), 650);
  EXPECT_EQ(again.LaneX(15), 150);
}

TEST_F(Session_Test, FailedHeaderWriteLeavesNoResultBehind) {
  Open();
  Time_Lane(1, 3);
  qm::Set_Write_Limit(10);  // the next header write breaks off
  Time_Lane(2, 5);
  qm::Set_Write_Limit(-1);
  ASSERT_FALSE(reports.empty());
  EXPECT_EQ(reports[0].errproc, "Write_XML_header of Class Module cls_AVI_handler");
  // Screen and memory do not show what the file did not take...
  EXPECT_EQ(race.arrays.lane_all_heats_array(2).time, No_result);
  EXPECT_EQ(race.rows.filled, 1);
  // ...and the next write does not carry it into the file either.
  Time_Lane(3, 7);
  EXPECT_EQ(On_Disk(2).time, No_result);  // what every untimed lane holds once stored
  EXPECT_EQ(On_Disk(1).time, Field_Time(3));
  EXPECT_EQ(On_Disk(3).time, Field_Time(7));
}

TEST_F(Session_Test, ClearAllResultsAsksWithCancelDefault) {
  Open();
  Time_Lane(1, 3);
  Time_Lane(2, 5);
  race.Clear_All_Results_Command();
  ASSERT_EQ(dialogs.records().size(), 1u);
  EXPECT_EQ(dialogs.records()[0].text,
            "This will clear all stored results for this heat, are you sure?");
  EXPECT_EQ(dialogs.records()[0].title, "Clear results");
  EXPECT_EQ(On_Disk(1).time, Field_Time(3));  // Cancel: nothing cleared
  dialogs.Answer_With(qm::Answer::OK);
  race.Clear_All_Results_Command();
  for (int16_t l = 0; l < 16; ++l) EXPECT_EQ(On_Disk(l).time, 0) << l;
  EXPECT_EQ(race.arrays.lane_all_heats_array(1).time, No_result);  // 0 reads back as none
  EXPECT_EQ(race.rows.filled, 0);
  EXPECT_EQ(race.markers.By_Lane_number(1)->time(), 0);
  Expect_No_Reports();
}

TEST_F(Session_Test, CorrectionShiftsShownTimesAndIsWrittenOncePerPress) {
  Open();
  Time_Lane(1, 3);
  Time_Lane(2, 7);
  const QString delta = race.rows.rows[1].delta;
  // Seconds, upper button held for five repeats.
  race.Correction_Label_Clicked(2);
  EXPECT_EQ(race.correction.Selected(), 2);
  qm::Set_Write_Limit(int64_t{1} << 40);
  race.Correction_Press(true);
  for (int i = 0; i < 5; ++i) race.Correction_Repeat();
  EXPECT_EQ(qm::Bytes_Written_Since_Limit(), 0);  // nothing written while held
  EXPECT_EQ(race.correction.Correction_ms, 6000);
  race.Correction_Release();
  const int64_t one_press = qm::Bytes_Written_Since_Limit();
  EXPECT_GT(one_press, 0);
  // The same value written by itself costs exactly one header write.
  qm::Set_Write_Limit(int64_t{1} << 40);
  race.Set_Correction(6000);
  EXPECT_EQ(qm::Bytes_Written_Since_Limit(), one_press);
  qm::Set_Write_Limit(-1);

  qm::cls_AVI_handler again;
  ASSERT_TRUE(again.Open_File(written.path));
  EXPECT_EQ(again.Heat_Start_Correction(1), 6000);
  EXPECT_EQ(race.rows.rows[0].time, qm::Display_Mill_Time(Field_Time(3) - 6000, false));
  EXPECT_EQ(race.rows.rows[0].time, " 00:04,03");
  EXPECT_EQ(race.rows.rows[1].delta, delta);  // differences do not move
  EXPECT_EQ(On_Disk(1).time, Field_Time(3));  // stored times stay uncorrected

  // A right press resets to 0 and writes it.
  race.Correction_Reset();
  qm::cls_AVI_handler third;
  ASSERT_TRUE(third.Open_File(written.path));
  EXPECT_EQ(third.Heat_Start_Correction(1), 0);
  EXPECT_EQ(race.rows.rows[0].time, " 00:10,03");
  Expect_No_Reports();
}

TEST_F(Session_Test, NegativeCorrectionAndStartTimeDisplay) {
  options.start_local_mill = 23 * 3600000 + 59 * 60000 + 59 * 1000 + 500;
  Open();
  Time_Lane(1, 1);  // 9990 ms
  race.Set_Correction(-1500);
  EXPECT_EQ(race.rows.rows[0].time, " 00:11,49");
  const auto d = race.correction.Texts();
  EXPECT_TRUE(d.minus_visible);
  EXPECT_EQ(d.correction, (std::array<QString, 4>{"00", "00", "01", "50"}));
  EXPECT_EQ(d.corrected, (std::array<QString, 4>{"23", "59", "58", "00"}));
  race.Set_Correction(1000);
  EXPECT_EQ(race.correction.Texts().corrected, (std::array<QString, 4>{"00", "00", "00", "50"}));
  race.Set_Correction(10000);  // more than the time: a "-" in front
  EXPECT_EQ(race.rows.rows[0].time, "-00:00,01");
  Expect_No_Reports();
}

TEST_F(Session_Test, ButtonsWithoutComponentStillWriteOnRelease) {
  Open();
  qm::Set_Write_Limit(int64_t{1} << 40);
  race.Correction_Press(false);
  race.Correction_Release();
  EXPECT_GT(qm::Bytes_Written_Since_Limit(), 0);
  qm::Set_Write_Limit(-1);
  EXPECT_EQ(race.correction.Correction_ms, 0);
}

TEST_F(Session_Test, CorrectionOnReadOnlyFileIsReportedByTheHeaderWrite) {
  written = qmtest::Make_KV2(Tmp("ro.kv2"), options);
  qm::Set_Read_Only(written.path, true);
  ASSERT_TRUE(qm::Open_For_Timing(written.path, file, race, player));
  race.Set_Correction(500);
  ASSERT_FALSE(reports.empty());
  EXPECT_EQ(reports.back().errproc, "Write_XML_header of Class Module cls_AVI_handler");
  EXPECT_EQ(race.correction.Correction_ms, 500);  // in memory and on screen
  qm::Set_Read_Only(written.path, false);
  qm::cls_AVI_handler again;
  ASSERT_TRUE(again.Open_File(written.path));
  EXPECT_EQ(again.Heat_Start_Correction(1), 0);
}

TEST_F(Session_Test, HeatAndSpecialsCommandsRewriteTheHeader) {
  Open();
  dialogs.Input_With(QStringLiteral("A 12"));
  race.Set_heat_ID();
  dialogs.Input_With(QStringLiteral("Nationals"));
  race.Set_event_name();
  dialogs.Input_With(QStringLiteral("17"));
  race.Set_lanenums();
  dialogs.Input_With(QStringLiteral("x"));
  race.Set_lanenums();
  dialogs.Input_With(QStringLiteral("8"));
  race.Set_lanenums();
  race.Toggle_Lanes_locked();
  race.Toggle_Showgoalline();
  race.Set_Local_heat_start();
  EXPECT_EQ(dialogs.Texts(),
            QStringList({"Give Heat ID!", "Event name?", "Lane numbers", "Lane numbers 0 to 16!",
                         "Lane numbers", "Lane numbers 0 to 16!", "Lane numbers"}));
  EXPECT_EQ(race.rows.Lbl_heat, "A 12");
  EXPECT_EQ(race.rows.Lbl_event_name, "Nationals");
  EXPECT_TRUE(race.Lanes_locked_checked);
  qm::cls_AVI_handler again;
  ASSERT_TRUE(again.Open_File(written.path));
  EXPECT_EQ(again.Heat_ID(1), "A 12");
  EXPECT_EQ(again.Event_name(), "Nationals");
  EXPECT_EQ(again.Lane_count(), 8);
  EXPECT_TRUE(again.Lanes_locked());
  EXPECT_TRUE(again.Show_goalline());
  EXPECT_EQ(again.Start_local_Mill_Time(1), 38793000);
  // A cancelled input changes nothing.
  race.Set_heat_ID();
  EXPECT_EQ(file.Heat_ID(1), "A 12");
  Expect_No_Reports();
}

TEST_F(Session_Test, GoalLineTakenOnlyWithPositiveStart) {
  options.edit = [](qm::cls_AVI_handler& h) { h.Set_Goal_Line(0, 40, 300, 500); };
  Open();
  EXPECT_EQ(race.Goal_line, (std::array<int16_t, 4>{0, 0, 0, 0}));
  file.Close_File();
  options.edit = [](qm::cls_AVI_handler& h) { h.Set_Goal_Line(12, 40, 300, 500); };
  written = qmtest::Make_KV2(Tmp("goal.kv2"), options);
  ASSERT_TRUE(qm::Open_For_Timing(written.path, file, race, player));
  EXPECT_EQ(race.Goal_line, (std::array<int16_t, 4>{12, 40, 300, 500}));
}

TEST_F(Session_Test, PlacePressMovesPlayerToFinishingFieldAndClosingEmpties) {
  Open();
  Time_Lane(2, 6);
  Time_Lane(3, 8, qm::Status_DNS);
  player.Show_Field(1);
  race.Place_Row_Pressed(0);
  EXPECT_EQ(player.Current_Field(), 6);
  EXPECT_EQ(player.last_place_string, "1");
  player.Show_Field(1);
  race.Place_Row_Pressed(1);  // a status row: nothing
  EXPECT_EQ(player.Current_Field(), 1);
  EXPECT_TRUE(race.Place_Row_Has_Time(0));
  EXPECT_FALSE(race.Place_Row_Has_Time(1));
  race.Marker_Pressed(3);  // no place for a status
  EXPECT_EQ(player.Current_Field(), 1);
  race.Marker_Pressed(2);
  EXPECT_EQ(player.Current_Field(), 6);

  const QByteArray before = Bytes();
  file.Close_File();
  race.File_Closed();
  EXPECT_EQ(race.rows.filled, 0);
  EXPECT_EQ(race.markers.Count(), 16);  // INI markers (no INI: "None")
  EXPECT_EQ(race.markers.Item(2).X(), 15);
  EXPECT_EQ(race.correction.orig_Start_Local_Time, 0);
  EXPECT_EQ(Bytes(), before);  // nothing written into the closed file
  Expect_No_Reports();
}

}  // namespace
