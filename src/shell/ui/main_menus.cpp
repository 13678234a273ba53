// Frm_kanot_2: the menu tree and the commands behind it.
#include "capture_file/xml_header.h"
#include "marathon/ui/marathon_windows.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "race_timing/lane_result.h"
#include "results_output/ui/frm_export.h"
#include "results_output/ui/print_window.h"
#include "results_output/ui/results_output_frames.h"
#include "shell/app_globals.h"
#include "shell/startup.h"
#include "shell/trace.h"
#include "shell/ui/form_properties.h"
#include "shell/ui/key_state.h"
#include "shell/ui/main_window.h"

#include <QMenu>
#include <QMenuBar>

namespace qm::ui {

namespace {
constexpr const char* frm_kanot_2 = "frm_kanot_2";
}

QAction* Frm_kanot_2::Menu_Item(QMenu* menu, const QString& caption) const {
  if (!menu) return nullptr;
  for (QAction* a : menu->actions())
    if (a->text() == caption) return a;
  return nullptr;
}

void Frm_kanot_2::Build_Menus() {
  QMenuBar* bar = menuBar();
  auto item = [this](QMenu* m, const QString& caption, auto&& action,
                     const QKeySequence& keys = {}) {
    QAction* a = m->addAction(caption);
    if (!keys.isEmpty()) {
      a->setShortcut(keys);
      a->setShortcutContext(Qt::ApplicationShortcut);
    }
    connect(a, &QAction::triggered, this, std::forward<decltype(action)>(action));
    return a;
  };
  auto none = [this] { Set_Focus(); };

  // "File"
  menu_file = bar->addMenu(QStringLiteral("File"));
  item_open = item(
      menu_file, QStringLiteral("Open File"), [this] { core.Handle_Open_File(QString()); },
      QKeySequence(Qt::CTRL | Qt::Key_O));
  menu_newest = menu_file->addMenu(QStringLiteral("Open Newest File"));
  for (int i = 0; i < 4; ++i)
    item_newest[i] =
        item(menu_newest, QStringLiteral("-"), [this, i] { core.item_open_newest_Click(i); });
  connect(menu_newest, &QMenu::aboutToShow, this, [this] { core.Update_Recent_Files(); });
  // The path of the last captured heat is never set: the open dialog asks.
  item_open_last = item(
      menu_file, QStringLiteral("Open last captured heat"),
      [this] { core.Handle_Open_File(QString()); }, QKeySequence(Qt::CTRL | Qt::Key_L));
  item_close = item(
      menu_file, QStringLiteral("Close File"), [this] { core.item_close_Click(); },
      QKeySequence(Qt::CTRL | Qt::Key_F4));
  item_zoom = item(
      menu_file, QStringLiteral("Zoom"), [this] { core.item_zoom_Click(); },
      QKeySequence(Qt::CTRL | Qt::Key_Z));
  item_zoom->setCheckable(true);
  item_play = item(
      menu_file, QStringLiteral("Play"), [this] { Cmd_play_Click(); },
      QKeySequence(Qt::CTRL | Qt::Key_P));
  item_marathon =
      item(menu_file, QStringLiteral("Marathon"), [this] { Marathon().item_Marathon_Click(); });
  item_marathon->setCheckable(true);
  item_video_capture =
      item(menu_file, QStringLiteral("Video Capture"), none, QKeySequence(Qt::CTRL | Qt::Key_K));
  item_exit = item(
      menu_file, QStringLiteral("Exit"), [] { Quaymark_exit(); },
      QKeySequence(Qt::CTRL | Qt::Key_X));

  // "Settings"
  menu_settings = bar->addMenu(QStringLiteral("Settings"));
  item_give_event_name = item(menu_settings, QStringLiteral("Give event name"), [this] {
    core.Enter_Event_name();
    Set_Focus();
  });
  item_select_logo = item(menu_settings, QStringLiteral("Select Logo file"),
                          [this] { Not_Available(QStringLiteral("Select Logo file")); });

  // "Help": opened with Ctrl held, it brings "Specials" out.
  menu_help = bar->addMenu(QStringLiteral("Help"));
  connect(menu_help, &QMenu::aboutToShow, this, [this] { Help_Menu_Opened(); });
  item_about = item(
      menu_help, QStringLiteral("About"), [this] { item_about_Click(); },
      QKeySequence(Qt::CTRL | Qt::Key_A));

  // "Result": its bar entry stays hidden; a right press on a marker pops it up.
  menu_result = bar->addMenu(QStringLiteral("Result"));
  const std::array<std::pair<const char*, int32_t>, 6> results{{{"Set time", 0},
                                                                {"Disqualified", Status_DSQ},
                                                                {"Did not finish", Status_DNF},
                                                                {"Did not start", Status_DNS},
                                                                {"Set time + 1/100", 0},
                                                                {"Clear this lane", No_result}}};
  for (size_t i = 0; i < results.size(); ++i) {
    const int32_t code = results[i].second;
    const bool plus = i == 4;
    item_result[i] = item(menu_result, QString::fromLatin1(results[i].first),
                          [this, code, plus] { core.Result_Command(code, plus); });
  }

  // "Specials"
  menu_specials = bar->addMenu(QStringLiteral("Specials"));
  auto toggle = [this](void (Race_Session::*f)()) {
    return [this, f] {
      (core.session.*f)();
      core.New_graphics();
      State_Changed();
    };
  };
  item(menu_specials, QStringLiteral("Rename ini file"), [this] {
    Rename_Ini_File();
    Set_Focus();
  });
  item(menu_specials, QStringLiteral("printer test"), [this] {
    item_printer_test_Click();
    Set_Focus();
  });
  item(menu_specials, QStringLiteral("Misbehave (trapped)"), [] { Misbehave_Trapped(); });
  item(menu_specials, QStringLiteral("Misbehave (untrapped)"), [] { Misbehave_Untrapped(); });
  item(menu_specials, QStringLiteral("Convert file"), [this] {
    item_convert_file_Click();
    Set_Focus();
  });
  item(menu_specials, QStringLiteral("Toggle Showgoalline"),
       toggle(&Race_Session::Toggle_Showgoalline));
  item(menu_specials, QStringLiteral("Toggle rotated"), [this] {
    Trapped(Where_Form("item_toggle_rotated_Click", frm_kanot_2), [&] {
      // The header is rewritten; the view follows at the next open.
      if (core.File_Is_Open()) core.file.rotated(!core.file.rotated());
    });
    Set_Focus();
  });
  item(menu_specials, QStringLiteral("Toggle Flip Lanemarks"),
       toggle(&Race_Session::Toggle_Flip_Lanemarks));
  item_toggle_lanes_locked = item(menu_specials, QStringLiteral("Toggle Lanes locked"),
                                  toggle(&Race_Session::Toggle_Lanes_locked));
  item_toggle_lanes_locked->setCheckable(true);
  item(menu_specials, QStringLiteral("Set lanenums"), toggle(&Race_Session::Set_lanenums));
  item(menu_specials, QStringLiteral("Save lanes"), toggle(&Race_Session::Save_lanes_Command));
  item(menu_specials, QStringLiteral("Set Local heat start"),
       toggle(&Race_Session::Set_Local_heat_start));
  item(menu_specials, QStringLiteral("Set Heat start"), toggle(&Race_Session::Set_Heat_start));
  item(menu_specials, QStringLiteral("Set heat ID"), toggle(&Race_Session::Set_heat_ID));
  item(menu_specials, QStringLiteral("Set event"), toggle(&Race_Session::Set_event));
  item(menu_specials, QStringLiteral("File properties"), [this] { Show_File_Properties(); });
  for (const char* c :
       {"Calibrate clock", "Timer test", "Display DV metadata", "Clear goal camera"})
    item(menu_specials, QString::fromLatin1(c), none);
  item(menu_specials, QStringLiteral("Set event name"), toggle(&Race_Session::Set_event_name));
  item(menu_specials, QStringLiteral("Delete file"), [this] {
    core.item_delete_file_Click();
    Set_Focus();
  });
  for (const char* c : {"Update File Header", "Clear heats B&C"})
    item(menu_specials, QString::fromLatin1(c), none);
  item(menu_specials, QStringLiteral("Associate_kv2"), [this] {
    Associate_File_Extension();
    Set_Focus();
  });
  item(menu_specials, QStringLiteral("Disk performance"), [this] {
    item_disk_performance_Click();
    Set_Focus();
  });

  // "Debug": never shown by any command.
  menu_debug = bar->addMenu(QStringLiteral("Debug"));
  item(menu_debug, QStringLiteral("Clear ranks"), toggle(&Race_Session::Clear_ranks));
  item(menu_debug, QStringLiteral("DV_extra_len"), [this] {
    MsgBox(QStringLiteral("Len = ") + QString::number(Frame_Extra_Data::Declared_len) +
           QStringLiteral(" LenB = ") + QString::number(Frame_Extra_Data::Stored_len));
    Set_Focus();
  });
  item(menu_debug, QStringLiteral("Test tracing"), [] { Test_Tracing(); });
  item(menu_debug, QStringLiteral("Update event name"), [this] { core.item_update_event_Click(); });
  item(menu_debug, QStringLiteral("Play deinterlaced"),
       [this] { core.player.Play_deinterlaced(); });
  item(menu_debug, QStringLiteral("Step forward"), [this] { core.player.Step_forward(); });
  item(menu_debug, QStringLiteral("Show frame"), [this] { core.player.Show_frame(); });
  item(menu_debug, QStringLiteral("Run intro"), [this] { Run_Intro(); });
  item(menu_debug, QStringLiteral("Export form"), [this] {
    auto* form = new Frm_export(core, core.file.File_name(), this);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->show();
  });
  item_show_flexgrid = item(menu_debug, QStringLiteral("Show flexgrid"),
                            [this] { Marathon().item_show_flexgrid_Click(); });
  item_show_flexgrid->setCheckable(true);
  item(menu_debug, QStringLiteral("Rename File"), [this] {
    core.item_rename_file_Click();
    State_Changed();
  });

  // Start-up hides these; nothing shows "Video Capture", "Give event name",
  // "Open last captured heat" or "Debug" again.
  item_video_capture->setVisible(false);
  item_give_event_name->setVisible(false);
  item_open_last->setVisible(false);
  menu_result->menuAction()->setVisible(false);
  menu_specials->menuAction()->setVisible(false);
  menu_debug->menuAction()->setVisible(false);
}

void Frm_kanot_2::Help_Menu_Opened() {
  if (Key_State::Instance().Ctrl_Held()) menu_specials->menuAction()->setVisible(true);
}

void Frm_kanot_2::Cmd_play_Click() {
  core.player.Cmd_play_Click();
  State_Changed();
}

void Frm_kanot_2::Show_File_Properties() {
  Trapped(Where_Form("item_file_properties_Click", frm_kanot_2), [&] {
    if (!core.File_Is_Open()) return;
    auto* form = new Form_properties(core.File_Properties_Text(), this);
    form->setAttribute(Qt::WA_DeleteOnClose);
    Form_LCS_preview* preview = output ? output->Preview() : nullptr;
    form->print = [preview](const QString& text) {
      Print_Text(text, QStringLiteral("Quaymark File properties"), preview);
    };
    form->show();
  });
}

}  // namespace qm::ui
