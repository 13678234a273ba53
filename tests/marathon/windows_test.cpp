// The marathon windows with the real main window, headless: the "Marathon"
// item, typing into the sheet and the set-time window, the duplicate
// window's buttons and the results grid.
#include "fixtures/kv_fixtures.h"
#include "marathon/ui/form_marathon_flexgrid.h"
#include "marathon/ui/form_quaymark_marathon.h"
#include "marathon/ui/frm_settime.h"
#include "marathon/ui/marathon_windows.h"
#include "platform/files.h"
#include "race_timing/ui/frm_results.h"
#include "shell/app_globals.h"
#include "shell/ui/application.h"
#include "shell/ui/main_window.h"
#include "support/test_env.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QTableWidget>
#include <QTimer>

namespace qmtest {
namespace {

void Type(QWidget* w, const QString& text) {
  for (QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(w, &press);
  }
}

void Press(QWidget* w, Qt::MouseButton button = Qt::LeftButton, QPoint at = {},
           Qt::KeyboardModifiers mods = Qt::NoModifier) {
  if (at.isNull()) at = w->rect().center();
  QMouseEvent e(QEvent::MouseButtonPress, QPointF(at), w->mapToGlobal(QPointF(at)), button, button,
                mods);
  QApplication::sendEvent(w, &e);
}

// Saves the window when QM_SCREENSHOTS names a folder.
void Screenshot(QWidget* w, const QString& name) {
  const QString dir = qEnvironmentVariable("QM_SCREENSHOTS");
  if (dir.isEmpty()) return;
  QDir().mkpath(dir);
  w->grab().save(dir + "/" + name + ".png");
}

class Marathon_Windows_Test : public Test {
 protected:
  void SetUp() override {
    Test::SetUp();
    QFile ini(qm::app().Ini_Path);
    if (!ini.exists()) {
      ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
      ini.close();
    }
    // The fixed places of the sheet and the results, fresh for each test.
    QDir(qm::app().Data_Folder).removeRecursively();
    for (const QString& f :
         QDir(QDir::homePath()).entryList({"QuaymarkMarathon_Temp.xml*", "MarathonResults*"}))
      QFile::remove(QDir::homePath() + "/" + f);
    set = std::make_unique<qm::ui::Window_Set>();
    w = set->main.get();
    w->Intro_On_Activate = false;
    w->intro_pause = [](int) {};
    w->ask_printer = [] { return qm::Printer_Query{}; };
    ASSERT_TRUE(w->Form_Load(nullptr));
    w->show();
    set->results->show();
    w->activated = true;
    QCoreApplication::processEvents();
  }
  void TearDown() override {
    for (qm::Loaded_Window* l : qm::Loaded_Windows()) l->Unload();
    set.reset();
    Test::TearDown();
  }
  QString Heat() {
    KV2_Options o;
    o.frames = 6;
    o.first_frame_time = 36000000;  // 10:00:00
    const KV2_Written kv = Make_KV2(Tmp("heat.kv2"), o);
    EXPECT_TRUE(kv.ok);
    return kv.path;
  }
  qm::ui::Form_Quaymark_marathon& Sheet() { return w->Marathon().Sheet_Window(); }
  qm::ui::Frm_Quaymark_Marathon_settime& Settime() { return w->Marathon().Settime_Window(); }

  std::unique_ptr<qm::ui::Window_Set> set;
  qm::ui::Frm_kanot_2* w = nullptr;
};

TEST_F(Marathon_Windows_Test, Marathon_Without_A_Sheet_Stays_Off_With_The_Sheet_Shown) {
  w->item_marathon->trigger();
  EXPECT_EQ(dialogs.Texts(),
            QStringList({"Folder " + qm::app().Data_Folder + " Not found, folder was created",
                         "No Marathon XML file found!", "No Marathon XML file found!"}));
  EXPECT_FALSE(w->item_marathon->isChecked());
  EXPECT_FALSE(w->core.Marathon_checked);
  EXPECT_TRUE(Sheet().isVisible());
  EXPECT_FALSE(w->Marathon().Settime_Loaded());
  EXPECT_TRUE(set->results->isVisible());
  // Without a sheet the class boxes take no keys.
  Type(Sheet().Text_heat[0], "5");
  EXPECT_EQ(Sheet().Text_heat[0]->text(), "");
  Screenshot(&Sheet(), "marathon_sheet_empty");
  Expect_No_Reports();
}

TEST_F(Marathon_Windows_Test, A_Competitor_Timed_Through_The_Windows) {
  w->core.Handle_Open_File(Heat());
  ASSERT_TRUE(w->core.File_Is_Open());
  w->item_marathon->trigger();  // no sheet yet
  Sheet().Text_racename->setText("");
  Type(Sheet().Text_racename, "Lake Race");
  Sheet().item_create->trigger();
  dialogs.Clear();

  Type(Sheet().Text_heat[0], "101");
  Type(Sheet().Text_heat_name[0], "Men K1");
  Sheet().Text_start[0]->setText("");
  Type(Sheet().Text_start[0], "09:30:00");
  Type(Sheet().Text_heat[1], "102");
  // Leaving a name box saves the sheet.
  QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(Sheet().Text_heat_name[0], &leave);
  qm::Xml_Document sheet_file;
  ASSERT_TRUE(sheet_file.Load_File(qm::app().Marathon_Sheet_Path));
  EXPECT_EQ(sheet_file.Select_Single_Node("//heat[@id='1']/heat_name").Text(), "Men K1");
  EXPECT_EQ(sheet_file.Select_Single_Node("//event_name").Text(), "Lake Race");

  w->item_marathon->trigger();
  ASSERT_TRUE(w->item_marathon->isChecked());
  EXPECT_FALSE(set->results->isVisible());
  EXPECT_TRUE(Settime().isVisible());
  EXPECT_FALSE(w->Lbl_elapsed_time->isEnabled());
  EXPECT_FALSE(w->Label_start_time->isEnabled());
  EXPECT_EQ(dialogs.Texts(), QStringList({"Created a new Marathon result file"}));

  // Ctrl keeps the first class; the last one clicked is timed.
  Press(Sheet().Text_heat[0]);
  Press(Sheet().Text_heat[1], Qt::LeftButton, {}, Qt::ControlModifier);
  EXPECT_EQ(Sheet().Text_heat[0]->palette().color(QPalette::Base), QColor(128, 255, 128));
  EXPECT_EQ(Sheet().Text_heat[1]->palette().color(QPalette::Base), QColor(128, 255, 128));
  EXPECT_EQ(Settime().Lbl_heatID->text(), "102");
  Press(Sheet().Text_heat[0]);
  EXPECT_EQ(Sheet().Text_heat[1]->palette().color(QPalette::Base), QColor(Qt::white));
  EXPECT_EQ(Settime().Lbl_heatID->text(), "101");
  EXPECT_EQ(Settime().Lbl_heatname->text(), "Men K1");

  w->Slider_play->setValue(4);  // frame 2, second field: 10:00:00,06
  EXPECT_EQ(Settime().Label_heattime->text(), " 10:00:00,06");
  EXPECT_EQ(Settime().Label_starttime->text(), "09:30:00");
  EXPECT_EQ(Settime().Label_elapsed->text(), " 30:00,06");
  Type(Settime().Text_kanoe_num, "42");
  Settime().Command_XML->click();
  EXPECT_EQ(Settime().Label_num_competitors->text(), "1 entries");
  Screenshot(&Sheet(), "marathon_sheet");
  Screenshot(&Settime(), "marathon_settime");

  // The same competitor again: the duplicate window, answered "Override".
  w->Slider_play->setValue(5);
  QString caption, label;
  bool current_enabled = true;
  QTimer::singleShot(0, [&] {
    qm::ui::frm_dualentry* d = Settime().dualentry;
    ASSERT_NE(d, nullptr);
    caption = d->windowTitle();
    label = d->Label1->text();
    current_enabled = d->Command_current->isEnabled();
    Screenshot(d, "marathon_duplicate");
    d->Command_override->click();
  });
  Settime().Command_XML->click();
  EXPECT_EQ(caption, "Duplicate entry");
  EXPECT_EQ(label, "This Heat/Competitor has already been assigned a time!");
  EXPECT_FALSE(current_enabled);
  EXPECT_FALSE(Settime().dualentry->isVisible());
  EXPECT_EQ(dialogs.Texts().last(), "New result saved");
  qm::Xml_Document d;
  ASSERT_TRUE(d.Load_File(QDir::homePath() + "/QuaymarkMarathon_Temp.xml"));
  EXPECT_EQ(d.Select_Single_Node("//result[@id='101']/competitor[@nbr='42']/video_frame").Text(),
            "0005");

  // Minimised, the marathon windows go with the main window.
  w->setWindowState(Qt::WindowMinimized);
  EXPECT_FALSE(Settime().isVisible());
  EXPECT_FALSE(Sheet().isVisible());
  w->setWindowState(Qt::WindowNoState);
  EXPECT_TRUE(Settime().isVisible());
  EXPECT_TRUE(Sheet().isVisible());
  EXPECT_FALSE(set->results->isVisible());

  // Off again: the regatta windows come back.
  w->item_marathon->trigger();
  EXPECT_FALSE(Settime().isVisible());
  EXPECT_FALSE(Sheet().isVisible());
  EXPECT_TRUE(set->results->isVisible());
  EXPECT_TRUE(w->Lbl_elapsed_time->isEnabled());
  Expect_No_Reports();
}

TEST_F(Marathon_Windows_Test, The_Grid_Lists_And_Deletes_Entries) {
  qm::Marathon_Result_Entry& entry = w->Marathon().entry;
  Settime();  // loads the results file
  for (const char* nbr : {"1", "2"}) {
    entry.Text_kanoe_num = nbr;
    entry.Command_XML_Click();
  }
  w->item_show_flexgrid->trigger();
  qm::ui::Form_Marathon_flexgrid& g = w->Marathon().Grid_Window();
  EXPECT_TRUE(g.isVisible());
  EXPECT_TRUE(w->item_show_flexgrid->isChecked());
  ASSERT_EQ(g.MSFlexGrid1->rowCount(), 2);
  EXPECT_EQ(g.MSFlexGrid1->horizontalHeaderItem(0)->text(), "Heat Id");
  EXPECT_EQ(g.MSFlexGrid1->item(1, 1)->text(), "2");
  EXPECT_EQ(g.grid.Label_file, "File: " + w->Marathon().entry.Result_File + "\r\n2 entries");
  EXPECT_TRUE(g.Label_file->text().endsWith("\n2 entries"));
  Screenshot(&g, "marathon_grid");

  dialogs.Clear();
  dialogs.Answer_With(qm::Answer::OK);
  const QRect first = g.MSFlexGrid1->visualItemRect(g.MSFlexGrid1->item(0, 1));
  Press(g.MSFlexGrid1->viewport(), Qt::RightButton, first.center());
  EXPECT_EQ(dialogs.Texts(), QStringList({"Do you want do delete this entry?"}));
  ASSERT_EQ(g.MSFlexGrid1->rowCount(), 1);
  EXPECT_EQ(g.MSFlexGrid1->item(0, 1)->text(), "2");

  g.item_hide->trigger();
  EXPECT_FALSE(w->item_show_flexgrid->isChecked());
  Expect_No_Reports();
}

}  // namespace
}  // namespace qmtest
