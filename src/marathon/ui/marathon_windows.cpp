#include "marathon/ui/marathon_windows.h"

#include "marathon/ui/form_marathon_flexgrid.h"
#include "marathon/ui/form_quaymark_marathon.h"
#include "marathon/ui/frm_settime.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "shell/trace.h"
#include "shell/ui/main_window.h"

#include <QAction>
#include <QLabel>
#include <QPointer>
#include <QTimer>

namespace qm::ui {

// The main window's marathon windows, made when first asked for.
Marathon_Windows& Frm_kanot_2::Marathon() {
  if (!marathon) marathon = new Marathon_Windows(*this);
  return *marathon;
}

Marathon_Windows::Marathon_Windows(Frm_kanot_2& main) : QObject(&main), main_(main) {
  sheet.class_selected = [this](const QString& id, const QString& name) {
    entry.Lbl_heatID = id;
    entry.Lbl_heatname = name;
    if (settime_) settime_->Refresh();
  };
  main_.core.marathon_time = [this] { entry.Update_Marathon_Time(); };
}

Marathon_Windows::~Marathon_Windows() {
  // The main window's core is gone by now: the windows go first, quietly.
  sheet.class_selected = nullptr;
  delete grid_;
  delete settime_;
  delete sheet_window_;
}

Form_Quaymark_marathon& Marathon_Windows::Sheet_Window() {
  if (!sheet_window_) sheet_window_ = new Form_Quaymark_marathon(sheet, &main_);
  return *sheet_window_;
}

Frm_Quaymark_Marathon_settime& Marathon_Windows::Settime_Window() {
  if (!settime_) settime_ = new Frm_Quaymark_Marathon_settime(entry, &main_);
  return *settime_;
}

Form_Marathon_flexgrid& Marathon_Windows::Grid_Window() {
  if (!grid_) {
    Settime_Window();  // the entries live in its document
    grid_ = new Form_Marathon_flexgrid(entry, &main_);
    QPointer<QAction> item = main_.item_show_flexgrid;
    grid_->on_visibility = [item](bool shown) {
      if (item) item->setChecked(shown);
    };
  }
  return *grid_;
}

void Marathon_Windows::Grey_Main_Labels(bool marathon) {
  for (QWidget* w :
       {static_cast<QWidget*>(main_.Label5), static_cast<QWidget*>(main_.Lbl_elapsed_time),
        static_cast<QWidget*>(main_.Label6), static_cast<QWidget*>(main_.Lbl_delta_time),
        static_cast<QWidget*>(main_.lbl_starttime), static_cast<QWidget*>(main_.Label_start_time)})
    if (w) w->setEnabled(!marathon);
}

void Marathon_Windows::item_Marathon_Click() {
  Trace_Text(QStringLiteral("item_Marathon_Click"));
  Trapped(Where_Form("item_Marathon_Click", "frm_kanot_2"), [&] {
    Kanot_Core& core = main_.core;
    core.Marathon_checked = !core.Marathon_checked;
    main_.State_Changed();
    Form_Quaymark_marathon& sheet_window = Sheet_Window();
    sheet_window.show();
    if (core.Marathon_checked) {
      sheet.Check_Marathon_Folder();
      if (!File_Exists(sheet.Sheet_Path)) {
        MsgBox(QStringLiteral("No Marathon XML file found!"));
        core.Marathon_checked = false;
        main_.State_Changed();
        return;
      }
      if (main_.results_window) main_.results_window->hide();
      sheet_window.Timer1->stop();
      sheet_window.show();
      Frm_Quaymark_Marathon_settime& settime = Settime_Window();
      settime.show();
      settime.raise();
      Grey_Main_Labels(true);
    } else {
      if (settime_) settime_->hide();
      sheet_window.hide();
      if (main_.results_window) main_.results_window->show();
      Grey_Main_Labels(false);
    }
    Redisplay_Field();
  });
  Trace_Text(QStringLiteral("item_Marathon_Click, end"));
}

void Marathon_Windows::item_show_flexgrid_Click() {
  Trapped(Where_Form("item_show_flexgrid_Click", "frm_kanot_2"), [&] {
    Form_Marathon_flexgrid& g = Grid_Window();
    g.setVisible(!g.isVisible());
  });
}

void Marathon_Windows::Main_Window_State(bool minimised) {
  if (minimised) {
    if (settime_) settime_->hide();
    if (sheet_window_) sheet_window_->hide();
  } else if (main_.core.Marathon_checked) {
    Settime_Window().show();
    Sheet_Window().show();
  }
}

// ---- Marathon_Host ---------------------------------------------------------------------

cls_AVI_handler* Marathon_Windows::Capture_File() {
  return main_.core.File_Is_Open() ? &main_.core.file : nullptr;
}

bool Marathon_Windows::Marathon_Mode() const {
  return main_.core.Marathon_checked;
}

QString Marathon_Windows::Frame_Label() const {
  return main_.core.player.read_outs.Lbl_frameno;
}

int32_t Marathon_Windows::Current_Field() const {
  return main_.core.player.Slider_value;
}

bool Marathon_Windows::Open_Video(const QString& path) {
  // The whole file set-up, so that the slider spans the other film.
  main_.core.Handle_Open_File(path);
  return main_.core.File_Is_Open() && main_.core.file.File_name() == path;
}

void Marathon_Windows::Show_Field(int32_t field) {
  main_.core.player.Show_Field(field);
}

void Marathon_Windows::Redisplay_Field() {
  main_.core.player.Slider_play_Scroll();
  main_.Set_Focus();
}

void Marathon_Windows::Focus_Slider() {
  main_.Set_Focus();
}

bool Marathon_Windows::Main_Visible() const {
  return main_.isVisible();
}

}  // namespace qm::ui
