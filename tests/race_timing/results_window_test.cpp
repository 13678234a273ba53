// The results window over a race session: rows, correction panel, presses.
#include "capture_file/avi_handler.h"
#include "fixtures/kv_fixtures.h"
#include "race_timing/file_player.h"
#include "race_timing/race_session.h"
#include "race_timing/ui/frm_results.h"
#include "support/test_env.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

namespace {

class Results_Window_Test : public qmtest::Test {
 protected:
  qmtest::KV2_Written w;
  qm::cls_AVI_handler file;
  qm::Race_Session race;
  qm::File_Player player{file};

  void Open(int lanes) {
    qmtest::KV2_Options o;
    o.frames = 20;
    o.lanes = static_cast<int16_t>(lanes);
    o.start_local_mill = 10 * 3600000 + 46 * 60000 + 33000;
    w = qmtest::Make_KV2(Tmp("Heat5_0001.kv2"), o);
    ASSERT_TRUE(w.ok);
    ASSERT_TRUE(qm::Open_For_Timing(w.path, file, race, player));
  }
  static void Press(QWidget* target, Qt::MouseButton b = Qt::LeftButton) {
    QMouseEvent e(QEvent::MouseButtonPress, QPointF(3, 3), target->mapToGlobal(QPointF(3, 3)), b, b,
                  Qt::NoModifier);
    QApplication::sendEvent(target, &e);
  }
};

TEST_F(Results_Window_Test, ShowsSixteenRankedRowsAndTheCorrection) {
  Open(16);
  // 15 timed lanes and one disqualified: every row is shown.
  for (int16_t lane = 1; lane <= 16; ++lane) {
    player.Show_Field(40 - 2 * lane);
    race.Attach_Time(lane == 16 ? 0 : lane, lane == 9 ? qm::Status_DSQ : 0, false);
  }
  race.Set_Correction(-1500);
  qm::ui::Frm_results window(race);
  window.show();
  EXPECT_EQ(window.windowTitle(), "Quaymark Results");
  EXPECT_EQ(window.Lbl_result_rank[15]->text(), "16");
  EXPECT_EQ(window.Lbl_result_time[15]->text(), "DSQ");
  EXPECT_EQ(window.Lbl_result_lane[0]->text(), "0");  // field 8, the earliest
  EXPECT_EQ(window.Lbl_result_lane[1]->text(), "15");
  EXPECT_EQ(window.Lbl_result_time[0]->text(), race.rows.rows[0].time);
  EXPECT_EQ(window.Lbl_result_delta_time[1]->text(), "+0,04");
  EXPECT_EQ(window.Lbl_heat->text(), "H1");
  EXPECT_EQ(window.Lbl_event_name->text(), "Fixture Regatta");
  EXPECT_TRUE(window.Lbl_Minus->isVisibleTo(&window));
  EXPECT_EQ(window.Lbl_hms_correction[2]->text(), "01");
  EXPECT_EQ(window.Lbl_hms_correction[3]->text(), "50");
  EXPECT_EQ(window.Lbl_hms[0]->text(), "10");
  EXPECT_EQ(window.Lbl_hms_corrected[2]->text(), "31");
  // Every row lies above the correction panel: the window grew to hold them.
  const int last_row_bottom = window.Lbl_result_rank[15]
                                  ->mapTo(&window, QPoint(0, window.Lbl_result_rank[15]->height()))
                                  .y();
  EXPECT_LE(last_row_bottom, window.Frm_time_select->mapTo(&window, QPoint(0, 0)).y());
  EXPECT_GE(window.height(), window.Frm_time_select->mapTo(&window, QPoint(0, 0)).y() +
                                 window.Frm_time_select->height());
  const QString png = qEnvironmentVariable("QM_RESULTS_PNG");
  if (!png.isEmpty()) {
    EXPECT_TRUE(window.grab().save(png));
  }
  Expect_No_Reports();
}

TEST_F(Results_Window_Test, PanelPressesGoThroughTheSession) {
  Open(6);
  player.Show_Field(9);
  race.Attach_Time(2, 0, false);
  qm::ui::Frm_results window(race);
  // Minutes chosen, upper button pressed and released: one step, written.
  Press(window.Lbl_hms_correction[1]);
  EXPECT_EQ(race.correction.Selected(), 1);
  EXPECT_EQ(window.Lbl_hms_correction[1]->palette().color(QPalette::Window), QColor(255, 128, 0));
  window.Cmd_time[0]->pressed();
  window.Cmd_time[0]->released();
  EXPECT_EQ(race.correction.Correction_ms, 60000);
  EXPECT_FALSE(window.repeat_timer->isActive());
  qm::cls_AVI_handler again;
  ASSERT_TRUE(again.Open_File(w.path));
  EXPECT_EQ(again.Heat_Start_Correction(1), 60000);
  EXPECT_EQ(window.Lbl_hms_correction[1]->text(), "01");
  // A press on a frame deselects; a right press on a label resets.
  Press(window.Frm_orig_time);
  EXPECT_EQ(race.correction.Selected(), -1);
  Press(window.Lbl_hms_correction[0], Qt::RightButton);
  EXPECT_EQ(race.correction.Correction_ms, 0);
  // A press on place 1 shows the lane's finishing field.
  player.Show_Field(1);
  Press(window.Lbl_result_rank[0]);
  EXPECT_EQ(player.Current_Field(), 9);
  EXPECT_EQ(player.last_place_string, "1");
  Expect_No_Reports();
}

TEST_F(Results_Window_Test, MenuItemsOfLaterPartsSayTheyAreNotThereYet) {
  Open(6);
  qm::ui::Frm_results window(race);
  bool printed = false;
  window.Set_Command(qm::ui::Frm_results::Command::Print_results, [&] { printed = true; });
  for (QAction* a : window.menu_form->actions()) {
    if (a->text() == "Print results" || a->text() == "Print picture series") a->trigger();
  }
  EXPECT_TRUE(printed);
  EXPECT_EQ(dialogs.Texts(), QStringList{"Print picture series is not available yet"});
  EXPECT_FALSE(window.item_export_results->isVisible());
  EXPECT_EQ(window.item_exit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_X));
}

}  // namespace

namespace {

TEST(Print_Place_string, WhiteTextInTheLowerRightBox) {
  const qm::Place_String_Layout r = qm::Place_String_Rect(720, 576);
  EXPECT_EQ(r.left, 576);
  EXPECT_EQ(r.top, 461);     // 460.8
  EXPECT_EQ(r.right, 698);   // 698.4
  EXPECT_EQ(r.bottom, 547);  // 547.2
  QImage picture(720, 576, QImage::Format_RGB888);
  picture.fill(Qt::black);
  qm::Draw_Place_String(picture, QStringLiteral("1"));
  int white = 0, white_outside = 0;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) {
      if (picture.pixelColor(x, y) != QColor(255, 255, 255)) continue;
      ++white;
      if (x < r.left || x >= r.right || y < r.top) ++white_outside;
    }
  EXPECT_GT(white, 500);  // a digit 120 pixels high
  EXPECT_EQ(white_outside, 0);
}

}  // namespace
