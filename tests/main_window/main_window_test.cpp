// The main window driven headless: open, step, time, zoom, play, lay out.
#include "main_window_support.h"

#include "capture_file/avi_handler.h"
#include "capture_file/demo_heat.h"
#include "platform/files.h"
#include "race_timing/lane_result.h"
#include "race_timing/mill_time.h"
#include "shell/app_globals.h"
#include "shell/settings.h"
#include "shell/ui/key_state.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSlider>

using qm::Display_Mill_Time;

namespace qmtest {
namespace {

// Saves the window beside the results window when QM_SCREENSHOTS names a folder.
void Screenshot(qm::ui::Frm_kanot_2& w, const QString& name) {
  const QString dir = qEnvironmentVariable("QM_SCREENSHOTS");
  if (dir.isEmpty()) return;
  QDir().mkpath(dir);
  QPixmap main = w.grab();
  QWidget* results = w.results_window;
  QPixmap side = results ? results->grab() : QPixmap();
  QPixmap both(main.width() + side.width(), std::max(main.height(), side.height()));
  both.fill(Qt::darkGray);
  QPainter p(&both);
  p.drawPixmap(0, 0, main);
  if (!side.isNull()) p.drawPixmap(main.width(), 0, side);
  p.end();
  both.save(dir + "/" + name + ".png");
}

using Main_Window = Main_Window_Test;

TEST_F(Main_Window, Open_Shows_Field_1_With_Its_Labels_And_Caption) {
  const QString path = Heat("heat_1.kv2", recipe);
  Open(path);
  EXPECT_EQ(w->windowTitle(), qm::app().Product_Name + " file = " + path);
  EXPECT_EQ(w->Label_heatID->text(), "H7");
  EXPECT_EQ(w->Label_start_time->text(), Display_Mill_Time(recipe.local_start_ms, false));
  EXPECT_EQ(w->Lbl_frameno->text(), "0001");
  EXPECT_EQ(w->Lbl_elapsed_time->text(), Display_Mill_Time(Field_Time(recipe, 1), false));
  EXPECT_EQ(w->Lbl_filesize->text(), qm::File_Size_Text(qm::File_Length(path)));
  EXPECT_EQ(w->Slider_play->minimum(), 1);
  EXPECT_EQ(w->Slider_play->maximum(), 2 * recipe.frames);
  EXPECT_EQ(qm::app().Run_Mode, 10);
  EXPECT_EQ(qm::Read_Ini_String("Canoe", "last_dir", ""), tmp.path());
  EXPECT_EQ(w->core.session.markers.Count() >= recipe.lanes, true);
  // Keys reach the slider.
  EXPECT_EQ(QApplication::focusWidget(), w->Slider_play);
  Expect_No_Reports();
}

TEST_F(Main_Window, Arrow_Keys_Step_One_Field_And_Four_With_Ctrl_From_The_Next_Press) {
  Open(Heat("heat_1.kv2", recipe));
  Key(Qt::Key_Right);
  EXPECT_EQ(Field(), 2);
  // The step set by a field display applies to the next key.
  Key(Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(Field(), 3);
  Key(Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(Field(), 7);
  Key(Qt::Key_Right);
  EXPECT_EQ(Field(), 11);
  Key(Qt::Key_Right);
  EXPECT_EQ(Field(), 12);
  Key(Qt::Key_Left);
  EXPECT_EQ(Field(), 11);
  EXPECT_EQ(w->Lbl_frameno->text(), "0011");
  EXPECT_EQ(w->Lbl_elapsed_time->text(), Display_Mill_Time(Field_Time(recipe, 11), false));
  Key(Qt::Key_Home);
  EXPECT_EQ(Field(), 1);  // never field 0
  Key(Qt::Key_Left);
  EXPECT_EQ(Field(), 1);
  Key(Qt::Key_End);
  EXPECT_EQ(Field(), 2 * recipe.frames);
  Expect_No_Reports();
}

TEST_F(Main_Window, Delta_Time_Counts_From_The_Clicked_Field_And_Shows_Dashes_Before_It) {
  Open(Heat("heat_1.kv2", recipe));
  for (int i = 0; i < 6; ++i) Key(Qt::Key_Right);
  Mouse_Click(w->Lbl_delta_time, Qt::LeftButton);
  EXPECT_EQ(w->core.session.Delta_Reference, Field_Time(recipe, 7));
  EXPECT_EQ(w->Lbl_delta_time->text(), Display_Mill_Time(0, false));
  Key(Qt::Key_Right);
  EXPECT_EQ(w->Lbl_delta_time->text(), Display_Mill_Time(20, false));
  Key(Qt::Key_Left);
  Key(Qt::Key_Left);
  EXPECT_EQ(w->Lbl_delta_time->text(), "---");
}

// The road of a timing command: three lanes timed three ways, ranked, kept.
TEST_F(Main_Window, Three_Lanes_Timed_By_F_Press_Digit_And_Menu_Are_Ranked_And_Kept) {
  const QString path = Heat("heat_1.kv2", recipe);
  Open(path);
  for (int i = 0; i < 4; ++i) Key(Qt::Key_Right);
  ASSERT_EQ(Field(), 5);
  Key_Press(w->Slider_play, Qt::Key_F);
  Press(Qt::LeftButton, Marker(1));
  Release(Marker(1));
  Key_Release(w->Slider_play, Qt::Key_F);
  EXPECT_EQ(Result_Of(1), Field_Time(recipe, 5));

  while (Field() < 9) Key(Qt::Key_Right);
  Key(Qt::Key_2);
  EXPECT_EQ(Result_Of(2), Field_Time(recipe, 9));

  while (Field() < 13) Key(Qt::Key_Right);
  pick = w->item_result[0];  // "Set time"
  Press(Qt::RightButton, Marker(3));
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(Result_Of(3), Field_Time(recipe, 13));

  const qm::Result_Rows& rows = w->core.session.rows;
  for (int r = 0; r < 3; ++r) {
    EXPECT_EQ(results->Lbl_result_rank[r]->text(), QString::number(r + 1));
    EXPECT_EQ(results->Lbl_result_lane[r]->text(), QString::number(r + 1));
    EXPECT_EQ(results->Lbl_result_time[r]->text(),
              Display_Mill_Time(Field_Time(recipe, 5 + 4 * r), false));
  }
  EXPECT_EQ(results->Lbl_result_lane[3]->text(), "");
  Screenshot(*w, "timed_heat_portrait");

  // The file holds them: read by an object of its own, and after a reopen.
  {
    qm::cls_AVI_handler other;
    ASSERT_TRUE(other.Open_File(path));
    EXPECT_EQ(other.Heat_time(1, 1), Field_Time(recipe, 5));
    EXPECT_EQ(other.Heat_time(1, 2), Field_Time(recipe, 9));
    EXPECT_EQ(other.Heat_time(1, 3), Field_Time(recipe, 13));
    EXPECT_EQ(other.Heat_time(1, 4), qm::No_result);
  }
  w->item_close->trigger();
  EXPECT_FALSE(w->core.File_Is_Open());
  EXPECT_FALSE(rows.rows[0].Filled());
  EXPECT_EQ(w->windowTitle(), qm::app().Product_Name);
  Open(path);
  for (int r = 0; r < 3; ++r)
    EXPECT_EQ(results->Lbl_result_lane[r]->text(), QString::number(r + 1));
  // Opening moves the player to place 1's finishing field.
  EXPECT_EQ(Field(), 5);
  Expect_No_Reports();
}

// The demo heat: boats filmed crossing at known instants; each lane timed at
// its first field on the line ranks in crossing order, whichever way it was timed.
TEST_F(Main_Window, Demo_Heat_Timed_Three_Ways_Ranks_In_Crossing_Order) {
  for (bool rotated : {false, true}) {
    qm::Demo_Options o;
    o.lanes = 6;
    o.seconds = 4;
    o.rotated = rotated;
    const QString path = Tmp(rotated ? "demo_portrait.kv2" : "demo_landscape.kv2");
    const qm::Demo_Truth truth = qm::Make_Demo_Heat(path, o);
    Open(path);
    std::vector<qm::Demo_Lane_Truth> order = truth.lanes;
    std::sort(order.begin(), order.end(),
              [](const auto& a, const auto& b) { return a.field < b.field; });
    ASSERT_GE(order.size(), 3u);
    auto go_to = [&](int32_t field) {
      while (Field() < field) Key(Qt::Key_Right);
      while (Field() > field) Key(Qt::Key_Left);
    };
    auto marker = [&](int lane) {
      const qm::Cls_lane* m = w->core.session.markers.By_Lane_number(lane);
      return m ? QPoint(m->X(), m->Y()) : QPoint();
    };
    go_to(order[0].field);
    Key_Press(w->Slider_play, Qt::Key_F);
    Press(Qt::LeftButton, marker(order[0].lane));
    Release(marker(order[0].lane));
    Key_Release(w->Slider_play, Qt::Key_F);
    go_to(order[1].field);
    Key(static_cast<Qt::Key>(Qt::Key_0 + order[1].lane));
    go_to(order[2].field);
    pick = w->item_result[0];
    Press(Qt::RightButton, marker(order[2].lane));
    Release(marker(order[2].lane));
    for (int r = 0; r < 3; ++r) {
      EXPECT_EQ(results->Lbl_result_lane[r]->text(), QString::number(order[r].lane)) << r;
      EXPECT_EQ(Result_Of(order[r].lane), w->core.file.Heat_time(1, order[r].lane));
    }
    Screenshot(*w, rotated ? "demo_timed_portrait" : "demo_timed_landscape");
    w->item_zoom->trigger();
    Press(Qt::LeftButton, QPoint(truth.goal_x, 20));
    Release(QPoint(truth.goal_x, 20));
    EXPECT_TRUE(w->core.zoom.Within_Zoom(truth.goal_x, 20));
    Screenshot(*w, rotated ? "demo_zoom_portrait" : "demo_zoom_landscape");
    w->item_zoom->trigger();
    if (!qEnvironmentVariableIsEmpty("QM_SCREENSHOTS")) {
      const auto scripted_popup = w->popup;
      // The pop-up as it opens over the picture.
      w->popup = [&](QMenu* menu, const QPoint&) {
        menu->popup(w->Picture_large->mapToGlobal(marker(order[3].lane)));
        QCoreApplication::processEvents();
        QPixmap shot = w->grab();
        QPainter p(&shot);
        p.drawPixmap(w->mapFromGlobal(menu->pos()), menu->grab());
        p.end();
        shot.save(qEnvironmentVariable("QM_SCREENSHOTS") + "/result_menu.png");
        menu->hide();
      };
      Press(Qt::RightButton, marker(order[3].lane));
      Release(marker(order[3].lane));
      w->popup = scripted_popup;
    }
  }
  Expect_No_Reports();
}

TEST_F(Main_Window, Result_Menu_Pops_Up_Only_On_Locked_Markers) {
  Open(Heat("locked.kv2", recipe));
  pick = w->item_result[1];  // "Disqualified"
  Press(Qt::RightButton, Marker(2));
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(Result_Of(2), qm::Status_DSQ);
  EXPECT_EQ(results->Lbl_result_time[0]->text(), "DSQ");
  // Beside the markers nothing pops up.
  Press(Qt::RightButton, QPoint(300, 100));
  EXPECT_EQ(popups, 1);

  Heat_Spec unlocked = recipe;
  unlocked.lanes_locked = false;
  Open(Heat("unlocked.kv2", unlocked));
  Press(Qt::RightButton, Marker(2));
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(Result_Of(2), qm::No_result);
}

TEST_F(Main_Window, Press_With_No_File_Open_Does_Nothing_Even_With_F_Held) {
  Key_Press(w->Slider_play, Qt::Key_F);
  Press(Qt::LeftButton, Marker(1));
  Press(Qt::RightButton, Marker(1));
  Key_Release(w->Slider_play, Qt::Key_F);
  EXPECT_EQ(popups, 0);
  EXPECT_EQ(w->core.session.Picked_lane, -1);
  Expect_No_Reports();
}

TEST_F(Main_Window, Dragging_An_Unlocked_Marker_Stops_Inside_The_Picture) {
  Heat_Spec unlocked = recipe;
  unlocked.lanes_locked = false;
  Open(Heat("unlocked.kv2", unlocked));
  const QPoint m = Marker(1);
  Press(Qt::LeftButton, m);
  EXPECT_EQ(w->core.Drag_lane, 1);
  Move_Held(m + QPoint(-(m.x() - 1), 0));  // x = 1 is taken
  const qm::Cls_lane& lane = w->core.session.markers.Item(1);
  EXPECT_EQ(lane.X(), 1);
  Move_Held(m + QPoint(-m.x(), 0));  // x = 0 is not
  EXPECT_EQ(lane.X(), 1);
  Move_Held(QPoint(m.x() + 1000, m.y()));  // beyond the picture
  EXPECT_EQ(lane.X(), 1);
  Move_Held(m + QPoint(-(m.x() - 1), -(m.y() - 1)));
  EXPECT_EQ(lane.Y(), 1);
  Release(QPoint(1, 1));
  EXPECT_EQ(w->core.Drag_lane, -1);
  EXPECT_EQ(w->core.session.Picked_lane, -1);
  // A drag moves the marker on screen only: the file keeps its position.
  EXPECT_EQ(w->core.file.LaneX(1), Marker_X(unlocked, 1));
  Expect_No_Reports();
}

TEST_F(Main_Window, Presses_Keys_And_Place_Rows_Jump_To_Finishing_Fields) {
  Open(Heat("heat_1.kv2", recipe));
  while (Field() < 5) Key(Qt::Key_Right);
  Key(Qt::Key_3);  // lane 3 first
  while (Field() < 9) Key(Qt::Key_Right);
  Key(Qt::Key_1);  // lane 1 second
  Key(Qt::Key_Home);

  struct Case {
    const char* what;
    std::function<void()> act;
    int32_t field;
  };
  const std::vector<Case> cases = {
      {"left press on lane 1 (place 2)", [&] { Press(Qt::LeftButton, Marker(1)); }, 9},
      {"Ctrl+1: place 1", [&] { Key(Qt::Key_1, Qt::ControlModifier); }, 5},
      {"Alt+1: lane 1", [&] { Key(Qt::Key_1, Qt::AltModifier); }, 9},
      {"place row 1", [&] { Mouse_Click(results->Lbl_result_rank[0], Qt::LeftButton); }, 5},
      {"place row 2", [&] { Mouse_Click(results->Lbl_result_rank[1], Qt::LeftButton); }, 9},
  };
  for (const Case& c : cases) {
    Key(Qt::Key_Home);
    c.act();
    Release(QPoint(1, 1));
    EXPECT_EQ(Field(), c.field) << c.what;
  }
  // A lane without a time changes nothing.
  Key(Qt::Key_Home);
  Press(Qt::LeftButton, Marker(4));
  EXPECT_EQ(Field(), 1);
  EXPECT_EQ(Result_Of(4), qm::No_result);
  Expect_No_Reports();
}

TEST_F(Main_Window, Zoom_Frames_A_Strip_And_Follows_Presses_And_Moves) {
  Open(Heat("heat_1.kv2", recipe));
  const QImage& pic = w->core.picture.Image();
  const QColor yellow(255, 255, 16);
  w->item_zoom->trigger();
  EXPECT_TRUE(w->core.zoom.Zoom_On);
  EXPECT_TRUE(w->item_zoom->isChecked());
  // No point chosen yet: the window at the left edge.
  EXPECT_EQ(w->core.zoom.Window().window_left, 0);
  EXPECT_EQ(pic.pixelColor(1, 300), yellow);
  EXPECT_EQ(pic.pixelColor(448, 300), yellow);

  Press(Qt::LeftButton, QPoint(300, 100));  // beside the markers
  EXPECT_EQ(w->core.zoom.Zoom_X, 300);
  EXPECT_EQ(w->core.zoom.Window().window_left, 75);
  EXPECT_EQ(w->core.zoom.Window().source_left, 225);
  EXPECT_EQ(pic.pixelColor(76, 10), yellow);
  Move_Held(QPoint(560, 50));  // near the right edge: pushed inwards
  EXPECT_EQ(w->core.zoom.Window().window_left, 576 - 454);
  EXPECT_EQ(w->core.zoom.Window().source_left, 576 - 152);
  EXPECT_EQ(w->Picture_large->cursor().shape(), Qt::BitmapCursor);
  Screenshot(*w, "zoom_on");
  Release(QPoint(560, 50));

  w->item_zoom->trigger();
  EXPECT_FALSE(w->core.zoom.Zoom_On);
  EXPECT_NE(pic.pixelColor(123, 300), yellow);
  EXPECT_NE(w->Picture_large->cursor().shape(), Qt::BitmapCursor);
  Expect_No_Reports();
}

TEST_F(Main_Window, Zoom_Geometry_At_The_Edges) {
  struct Case {
    float x;
    int width, source_left, window_left;
  } cases[] = {{0, 720, 0, 0}, {360, 720, 285, 135}, {700, 720, 568, 266}, {75, 576, 0, 0}};
  for (const Case& c : cases) {
    const qm::Zoom_Geometry g = qm::Zoom_Geometry_For(c.x, c.width, 576);
    EXPECT_EQ(g.source_left, c.source_left) << c.x;
    EXPECT_EQ(g.window_left, c.window_left) << c.x;
    EXPECT_EQ(g.window_height, 576);
  }
}

TEST_F(Main_Window, Play_Runs_Every_Frame_And_Ends_On_The_Last_Frames_Second_Field) {
  recipe.frames = 6;
  Open(Heat("short.kv2", recipe));
  std::vector<int32_t> shown;
  w->core.player.hooks.on_frame = [&](int32_t n) { shown.push_back(n); };
  Mouse_Click(w->Cmd_play, Qt::LeftButton);
  EXPECT_EQ(shown, (std::vector<int32_t>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(Field(), 12);
  EXPECT_EQ(w->Lbl_frameno->text(), "0012");
  EXPECT_TRUE(w->Cmd_play->isEnabled());

  // Held keys: any stops play, Ctrl and F4 do not.
  struct Case {
    int key;
    int32_t last_field;
  } cases[] = {{'A', 4}, {1, 4}, {17, 12}, {115, 12}};
  for (const Case& c : cases) {
    shown.clear();
    w->core.player.hooks.held_key = [&] { return shown.size() >= 2 ? c.key : 0; };
    w->item_play->trigger();
    EXPECT_EQ(Field(), c.last_field) << c.key;
    EXPECT_TRUE(w->Cmd_play->isEnabled());
  }
  Expect_No_Reports();
}

TEST_F(Main_Window, Play_Is_Paced_Against_Its_Start_Without_Skipping) {
  recipe.frames = 5;
  Open(Heat("short.kv2", recipe));
  // A clock that a slow frame 2 pushes 100 ms on.
  uint32_t now = 5000;
  std::vector<uint32_t> waits;
  auto& h = w->core.player.hooks;
  h.tick = [&] { return now; };
  h.sleep = [&](uint32_t ms) {
    waits.push_back(ms);
    now += ms;
  };
  h.on_frame = [&](int32_t n) {
    if (n == 2) now += 100;
  };
  w->Cmd_play_Click();
  // Frame n + 1 waits for start + 2n x 20 ms; the slow frame is made up later.
  EXPECT_EQ(waits, (std::vector<uint32_t>{40, 20, 40}));
  EXPECT_EQ(now, 5000u + 200u);
  EXPECT_EQ(Field(), 10);
}

TEST_F(Main_Window, Landscape_File_After_Start_Up_Widens_The_Window) {
  const int portrait_width = w->width();
  EXPECT_EQ(w->Picture_large->size(), QSize(576, 720));
  Heat_Spec landscape = recipe;
  landscape.rotated = false;
  Open(Heat("landscape.kv2", landscape));
  EXPECT_FALSE(w->core.Rotated_View_);
  EXPECT_EQ(w->Picture_large->size(), QSize(720, 576));
  EXPECT_EQ(w->frm_DV_AUX->x(), 730);
  EXPECT_EQ(w->width(), w->frm_DV_AUX->geometry().right() + 1 + 250 / qm::Twips_Per_Pixel);
  EXPECT_EQ(w->width(), portrait_width + 144);
  // Landscape stacks "Time" under the logo and "Video Play" under "Time".
  EXPECT_GT(w->Frm_time->y(), w->Picture_logo->y());
  EXPECT_GT(w->Frm_play->y(), w->Frm_time->y());
  Screenshot(*w, "landscape");
  Open(Heat("portrait.kv2", recipe));
  EXPECT_EQ(w->width(), portrait_width);
  EXPECT_EQ(w->Frm_play->geometry().bottom(), w->Picture_large->geometry().bottom());
}

TEST_F(Main_Window, F_Key_Is_Released_When_The_Application_Loses_Focus) {
  Open(Heat("heat_1.kv2", recipe));
  auto& keys = qm::ui::Key_State::Instance();
  Key_Press(w->Slider_play, Qt::Key_F);
  EXPECT_TRUE(keys.F_Held());
  QApplicationStateChangeEvent inactive(Qt::ApplicationInactive);
  QCoreApplication::sendEvent(qApp, &inactive);
  EXPECT_FALSE(keys.F_Held());
  // The release went elsewhere: a press now does not time the lane.
  Press(Qt::LeftButton, Marker(1));
  EXPECT_EQ(Result_Of(1), qm::No_result);
}

TEST_F(Main_Window, Open_Refusals_Leave_The_Window_Without_A_File) {
  Open(Heat("good.kv2", recipe));
  const QString last = qm::Read_Ini_String("Canoe", "last_dir", "");
  w->core.Handle_Open_File(Tmp("missing.kv2"));
  EXPECT_FALSE(w->core.File_Is_Open());
  EXPECT_EQ(dialogs.Texts().last(), "File does not exist!");

  QDir().mkpath(Tmp("other"));
  Heat_Spec empty = recipe;
  empty.frames = 0;
  ASSERT_TRUE(Write_Heat(Tmp("other/empty.kv2"), empty));
  w->core.Handle_Open_File(Tmp("other/empty.kv2"));
  EXPECT_FALSE(w->core.File_Is_Open());
  EXPECT_EQ(dialogs.Texts().last(), "No video frames in this file!");
  EXPECT_EQ(qm::Read_Ini_String("Canoe", "last_dir", ""), last);
  EXPECT_EQ(w->windowTitle(), qm::app().Product_Name);

  // A cancelled open dialog says nothing.
  const auto said = dialogs.records().size();
  w->item_open->trigger();
  EXPECT_EQ(dialogs.records().size(), said + 1);  // the dialog itself
  EXPECT_FALSE(w->core.File_Is_Open());
}

TEST_F(Main_Window, Newest_Files_Lists_The_Four_Newest_Big_kv2_Files) {
  w->core.Update_Recent_Files();
  qm::Write_Ini_String("Canoe", "last_dir", Tmp("none"));
  w->menu_newest->aboutToShow();
  EXPECT_EQ(w->item_newest[0]->text(), "[no files]");

  const QString dir = Tmp("heats");
  QDir().mkpath(dir);
  const QDateTime base = QDateTime::currentDateTime().addDays(-1);
  auto make = [&](const QString& name, int seconds, qint64 size) {
    QFile f(dir + "/" + name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.resize(size);
    f.close();
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.setFileTime(base.addSecs(seconds), QFileDevice::FileModificationTime);
  };
  make("a.kv2", 1, 2000000);
  make("b.kv2", 2, 2000000);
  make("c.kv2", 3, 2000000);
  make("d.kv2", 3, 2000000);  // same second: by name, descending
  make("e.kv2", 4, 2000000);
  make("small.kv2", 9, 1048576);
  make("CAPS.KV2", 9, 2000000);
  qm::Write_Ini_String("Canoe", "last_dir", dir);
  w->menu_newest->aboutToShow();
  QStringList captions;
  for (QAction* a : w->item_newest) captions << a->text();
  EXPECT_EQ(captions, (QStringList{"e.kv2", "d.kv2", "c.kv2", "b.kv2"}));

  const QStringList entries = qm::fso_Youngest_files(dir);
  EXPECT_EQ(entries.size(), 7);  // a slot per file
  EXPECT_EQ(entries.last(), "");
  EXPECT_EQ(entries[0].left(19), base.addSecs(4).toString("yyyy-MM-dd HH:mm:ss"));
}

TEST_F(Main_Window, Delete_File_Closes_And_Refuses_A_Read_Only_File) {
  const QString path = Heat("heat_1.kv2", recipe);
  Open(path);
  qm::Set_Read_Only(path, true);
  w->core.item_delete_file_Click();
  EXPECT_FALSE(w->core.File_Is_Open());
  EXPECT_TRUE(QFile::exists(path));
  EXPECT_EQ(dialogs.Texts().last(),
            "Could not delete file: " + path + ", the file is probably read-only!");
  qm::Set_Read_Only(path, false);
  Open(path);
  w->core.item_delete_file_Click();
  EXPECT_FALSE(QFile::exists(path));
}

TEST_F(Main_Window, File_Properties_Text_Names_The_Files_Values) {
  const QString path = Heat("heat_1.kv2", recipe);
  Open(path);
  const QStringList lines = w->core.File_Properties_Text().split("\r\n");
  EXPECT_EQ(lines[0], "File name = " + path);
  EXPECT_EQ(lines[1], "Number of DV frames = 12");
  EXPECT_EQ(lines[5], "Rotated = True");
  EXPECT_EQ(lines[6], "Lanes locked = True");
  EXPECT_EQ(lines[8], "Lane count = 4");
  EXPECT_EQ(lines[9], "Lane positions: 60,400  160,400  260,400  360,400  ");
  EXPECT_TRUE(lines[15].startsWith("Heat_ID 1=H7 Start Local time = " +
                                   Display_Mill_Time(recipe.local_start_ms, false)));
  EXPECT_EQ(lines[16],
            "999999999,999999999,999999999,999999999,999999999,999999999,999999999,"
            "999999999,999999999,999999999,999999999,999999999,999999999,999999999,"
            "999999999,999999999,");
}

TEST_F(Main_Window, Window_Managers_Close_Asks_Through_The_Exit_Sequence) {
  w->close();
  QCoreApplication::processEvents();
  EXPECT_TRUE(dialogs.Texts().contains("Exiting Quaymark, are you sure?"));
  EXPECT_TRUE(w->isVisible());
  EXPECT_FALSE(qm::app().Exit_Requested);
}

TEST_F(Main_Window, Start_Up_Hides_The_Menus_The_Program_Never_Shows) {
  EXPECT_FALSE(w->menu_result->menuAction()->isVisible());
  EXPECT_FALSE(w->menu_debug->menuAction()->isVisible());
  EXPECT_FALSE(w->menu_specials->menuAction()->isVisible());
  EXPECT_FALSE(w->item_video_capture->isVisible());
  EXPECT_FALSE(w->item_give_event_name->isVisible());
  EXPECT_FALSE(w->Chk_reverse_lanes->isEnabled());
  EXPECT_EQ(w->item_open->shortcut(), QKeySequence("Ctrl+O"));
  EXPECT_EQ(w->item_close->shortcut(), QKeySequence("Ctrl+F4"));
  // "Help" opened with Ctrl held brings "Specials" out.
  w->menu_help->aboutToShow();
  EXPECT_FALSE(w->menu_specials->menuAction()->isVisible());
  Key_Press(w->Slider_play, Qt::Key_Control);
  w->menu_help->aboutToShow();
  Key_Release(w->Slider_play, Qt::Key_Control);
  EXPECT_TRUE(w->menu_specials->menuAction()->isVisible());
  EXPECT_EQ(w->Picture_large->size(), QSize(576, 720));
}

}  // namespace
}  // namespace qmtest

namespace qmtest {
namespace {

TEST_F(Main_Window_Test, Give_Event_Name_Keeps_The_Answer_And_A_Cancel_Empties_It) {
  dialogs.Input_With(QString("Spring Regatta"));
  w->item_give_event_name->trigger();
  EXPECT_EQ(qm::app().Export_event_name, "Spring Regatta");
  EXPECT_EQ(qm::Read_Ini_String("Canoe", "event_name", ""), "Spring Regatta");
  dialogs.Input_With(std::nullopt);
  w->item_give_event_name->trigger();
  EXPECT_EQ(qm::app().Export_event_name, "");
}

TEST_F(Main_Window_Test, Intro_Grows_Types_And_Hides_Again) {
  int pauses = 0, longest = 0;
  w->intro_pause = [&](int ms) {
    ++pauses;
    longest = std::max(longest, ms);
  };
  w->Run_Intro();
  // 30 growth steps, one pause a letter, the final second.
  EXPECT_EQ(pauses, 30 + int(QString("Regatta Timing & Photofinish").size()) + 1);
  EXPECT_EQ(longest, 1000);
  EXPECT_FALSE(w->Picture_intro->isVisible());
  EXPECT_FALSE(w->Picture_intro_2->pixmap().isNull());
  Expect_No_Reports();
}

}  // namespace
}  // namespace qmtest
