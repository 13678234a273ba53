#include "shell/file_opening.h"

#include "capture_file/xml_header.h"
#include "picture_display/dib_section.h"
#include "picture_display/field_render.h"
#include "picture_display/overlays.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "race_timing/mill_time.h"
#include "shell/app_globals.h"
#include "shell/settings.h"
#include "shell/trace.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace qm {

namespace {
constexpr const char* frm_kanot_2 = "frm_kanot_2";
constexpr const char* Frm_kanot_2 = "Frm_kanot_2";
constexpr int64_t Newest_Min_Size = 1048576;

QString True_False(bool v) {
  return v ? QStringLiteral("True") : QStringLiteral("False");
}
}  // namespace

// ---- The picture display -----------------------------------------------------------
// The field renderer paints into the picture box; the overlay follows the
// session's markers, goal line and option boxes.
class Kanot_Core::Renderer_Display : public Field_Display {
 public:
  explicit Renderer_Display(Kanot_Core& core) : core_(core), renderer_(core.file) {
    core.file.Set_Display_Hooks(&renderer_);
  }
  ~Renderer_Display() override { core_.file.Set_Display_Hooks(nullptr); }

  void Draw_field_3(int32_t field, int16_t stream, bool rotate) override {
    renderer_.Draw_field_3(field, core_.picture, 0, stream, rotate);
  }
  void Draw_Frame(int32_t frame, int16_t stream, bool rotate) override {
    renderer_.Draw_Frame(frame, core_.picture, 0, stream, nullptr, rotate);
  }
  void Refresh_field(bool rotate) override { renderer_.Refresh_field(core_.picture, rotate); }
  void Draw_Graphics(bool refresh) override {
    Take_Inputs();
    const bool open = core_.File_Is_Open();
    const int16_t lap = open ? core_.file.Lap_Count() : int16_t{0};
    overlay_.Draw_Graphics(core_.picture, refresh, false, open, lap, core_.zoom.Zoom_On);
  }
  void Blit_Graphics() override { overlay_.Blit_Graphics(core_.picture); }
  void Arrange(int32_t width, int32_t height) { overlay_.Arrange(width, height); }
  Field_Renderer& Renderer() { return renderer_; }

 private:
  void Take_Inputs() {
    const Race_Session& s = core_.session;
    overlay_.show_lane_markers = s.Lanes_shown;
    overlay_.flip_lane_markers = s.Lanes_flipped_box;
    overlay_.show_goal_line = s.Goalline_shown;
    overlay_.invert_goal_line = s.Goalline_inverted;
    overlay_.Goal_line = s.Goal_line;
    overlay_.lanes = &s.markers;
    overlay_.markers_drawn = s.Markers_To_Draw();
  }
  Kanot_Core& core_;
  Field_Renderer renderer_;
  Picture_Overlay overlay_;
};

// ---- Helpers ---------------------------------------------------------------------

QStringList fso_Youngest_files(const QString& folder) {
  return Trapped(Where_Module("fso_Youngest_files", "fso_functions"), QStringList{}, [&] {
    QStringList list;
    if (folder.isEmpty() || !Folder_Exists(folder)) return list;
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden);
    for (const QFileInfo& fi : files) {
      if (File_Suffix(fi.fileName()) == QLatin1String("kv2") && fi.size() > Newest_Min_Size)
        list << fi.lastModified().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + fi.fileName();
      else
        list << QString();
    }
    // Descending text order: newest first, equal times by name, empty slots last.
    std::stable_sort(list.begin(), list.end(),
                     [](const QString& a, const QString& b) { return a > b; });
    return list;
  });
}

QString File_Size_Text(int64_t bytes) {
  return QString::number(std::round(bytes / 1048576.0 * 10) / 10, 'f', 1) + QStringLiteral(" Mb");
}

// ---- The core ----------------------------------------------------------------------

Kanot_Core::Kanot_Core() : display_core_(std::make_unique<Renderer_Display>(*this)) {
  display_core_->Arrange(Picture_Width(), Picture_Height());
  session.Set_File(&file);
  session.Set_Player(this);
}

Kanot_Core::~Kanot_Core() {
  session.Set_Player(nullptr);
  file.Close_File();
  display_core_.reset();
}

Field_Display* Kanot_Core::Display() {
  return display_ ? display_ : display_core_.get();
}

void Kanot_Core::Changed() {
  if (view) view->State_Changed();
}

void Kanot_Core::Set_Focus() {
  if (view) view->Set_Focus();
}

void Kanot_Core::Focus_Slider() {
  Set_Focus();
}

void Kanot_Core::Play_Enabled(bool enabled) {
  if (view) view->Play_Enabled(enabled);
}

void Kanot_Core::Set_Rotated_View(bool rotated) {
  Rotated_View_ = rotated;
  picture.Resize(Picture_Width(), Picture_Height());
  display_core_->Arrange(Picture_Width(), Picture_Height());
  if (view) view->Arrange_layout();
}

void Kanot_Core::Clear_Picture() {
  picture.Image().fill(Qt::black);
  picture.Refresh();
}

void Kanot_Core::Redraw_Graphics() {
  if (Field_Display* d = Display()) d->Draw_Graphics(true);
}

QImage Kanot_Core::Finish_Picture(int place) {
  player.Show_Field(Go_to_Goal_field(session.arrays, place));
  Print_Place_string(QString::number(place));
  return picture.Image().copy();
}

void Kanot_Core::Pause(int ms) {
  const uint32_t start = Tick_Count();
  while (static_cast<int64_t>(static_cast<uint32_t>(Tick_Count() - start)) < ms) {
    if (view) view->Process_Events();
    Sleep_ms(5);
  }
}

void Kanot_Core::Print_Place_string(const QString& text) {
  Draw_Place_String(picture.Image(), text);
  picture.Refresh();
}

// ---- Opening and closing -----------------------------------------------------------

void Kanot_Core::Handle_Open_File(const QString& name) {
  Trace_Text(QStringLiteral("Handle_Open_File, filename = ") + name);
  Trapped(Where_Form("item_open_Click", frm_kanot_2), [&] {
    Close_File();
    if (zoom.Zoom_On) {
      zoom.Zoom_On = false;
      if (view) view->Default_Pointer();
    }
    Clear_Picture();
    session.Clear_All_Results();
    if (!name.isEmpty()) {
      Current_File_Name = name;
    } else {
      File_Request r;
      r.kind = File_Request::Kind::Open;
      r.title = QStringLiteral("Open");
      const QString last = app().Last_Folder;
      r.folder = last == QLatin1String("N/A") ? QString() : last;
      r.filter = QStringLiteral("Quaymark Files (*.kv2)");
      Current_File_Name = dialogs().File(r);
    }
    if (Current_File_Name.isEmpty()) return;
    if (!File_Exists(Current_File_Name)) {
      Current_File_Name.clear();
      MsgBox(QStringLiteral("File does not exist!"));
      return;
    }
    Open_multi_file(Current_File_Name);
    if (file.File_open() && file.num_frames() == 0) {
      Close_File();
      MsgBox(QStringLiteral("No video frames in this file!"));
      return;
    }
    if (!file.File_open()) {
      // The reason has been shown; the window stays without a file.
      Current_File_Name.clear();
      Update_Form_Caption();
      return;
    }
    app().Run_Mode = 10;
    session.Delta_Reference = 0;
    Set_Focus();
    app().Last_Folder = ParsePath(Current_File_Name, 16, true);
    Write_Ini_String(QStringLiteral("Canoe"), QStringLiteral("last_dir"), app().Last_Folder);
    Set_Rotated_View(file.rotated());
    labels.Label_heatID = file.Heat_ID(1);
    labels.Label_start_time = Display_Mill_Time(file.Start_local_Mill_Time(1), false);
    // Lanes, flags, goal line, results, start time, then the player at place 1.
    session.File_Opened();
    player.Update_Frame_Time();
    Changed();
  });
}

void Kanot_Core::Open_multi_file(const QString& name) {
  Trapped(Where_Form("Open_multi_file", frm_kanot_2), [&] {
    if (name.isEmpty()) return;
    file.Close_File();
    session.Goal_line = {0, 0, 0, 0};
    if (!file.Open_File(name)) return;
    if (!file.is_Quaymark()) {
      file.Close_File();
      MsgBox(QStringLiteral("Not a valid quaymark file!"));
      return;
    }
    session.Load_Goalline_from_File();
    player.Set_Range(file.Num_fields());
    Stream_count = file.Num_Video_streams();
    Current_Stream_ = 1;
    labels.Lbl_capture_time = file.Last_Capture_time();
    Set_Focus();
    Update_Form_Caption();
    labels.Lbl_filesize = File_Size_Text(File_Length(name));
    Changed();
  });
}

void Kanot_Core::Close_File() {
  Trapped(Where_Form("Close_file", frm_kanot_2), [&] {
    if (!file.File_open()) return;
    file.Close_File();
    file.File_name(QString());
    player.Set_Value(player.Slider_min);
    Current_File_Name.clear();
    Update_Form_Caption();
    // The file is closed first: nothing of the results is written into it.
    session.File_Closed();
    Clear_file_Data();
  });
  Changed();
}

void Kanot_Core::item_close_Click() {
  Trapped(Where_Form("item_close_click", Frm_kanot_2), [&] {
    Close_File();
    session.Clear_Results();
    session.Clear_Heat_Data();
    if (view) view->Results_Cleared();
    Update_Form_Caption();
    Clear_Picture();
  });
  Changed();
}

void Kanot_Core::Clear_file_Data() {
  Trapped(Where_Form("Clear_file_Data", frm_kanot_2), [&] {
    Clear_Picture();
    labels.Lbl_capture_time.clear();
    labels.Lbl_filesize.clear();
    player.Clear_Read_Outs();
    Changed();
    if (view) view->Process_Events();
  });
}

bool Kanot_Core::Check_File_Open() {
  return Trapped(Where_Form("Check_File_Open", frm_kanot_2), false, [&] {
    if (file.File_open()) return true;
    MsgBox(QStringLiteral("No file open!"));
    return false;
  });
}

void Kanot_Core::Update_Form_Caption() {
  Trapped(Where_Form("Update_form_caption", frm_kanot_2), [&] {
    Caption = file.File_open() ? app().Product_Name + QStringLiteral(" file = ") + file.File_name()
                               : app().Product_Name;
  });
  Changed();
}

void Kanot_Core::Update_Recent_Files() {
  for (int i = 1; i < 4; ++i) Newest_caption[i].clear();
  app().Last_Folder = Read_Ini_String(QStringLiteral("Canoe"), QStringLiteral("last_dir"), {});
  const QStringList list = fso_Youngest_files(app().Last_Folder);
  if (list.isEmpty()) {
    Newest_caption[0] = QStringLiteral("[no files]");
  } else {
    for (int i = 0; i < std::min<int>(list.size(), 4); ++i) {
      Newest_caption[i] = list[i].mid(19);
      Newest_visible[i] = true;
    }
  }
  Changed();
}

void Kanot_Core::item_open_newest_Click(int index) {
  Trapped(Where_Form("item_open_newest_Click", Frm_kanot_2), [&] {
    if (index < 0 || index > 3) return;
    const QString caption = Newest_caption[index];
    // "[no files]" and the unfilled "-" name no file.
    if (caption.isEmpty() || caption == QLatin1String("[no files]") ||
        caption == QLatin1String("-"))
      return;
    Handle_Open_File(app().Last_Folder + QStringLiteral("/") + caption);
  });
}

void Kanot_Core::Enter_Event_name() {
  const std::optional<QString> answer =
      InputBox(QStringLiteral("Enter event name!"), QStringLiteral("Quaymark event name"),
               app().Export_event_name);
  app().Export_event_name = answer.value_or(QString());
  Write_Ini_String(QStringLiteral("Canoe"), QStringLiteral("event_name"), app().Export_event_name);
  session.Set_Captions();
  Update_Form_Caption();
}

void Kanot_Core::item_update_event_Click() {
  Trapped(Where_Form("item_update_event_Click", frm_kanot_2), [&] {
    if (!file.File_open()) return;
    const std::optional<QString> answer = InputBox(QStringLiteral("Give event name"));
    // In memory only: the next header write takes it along.
    file.XML_header().Set_Event_name(answer.value_or(QString()));
    session.Set_Captions();
  });
  Changed();
}

QString Kanot_Core::File_Properties_Text() {
  return Trapped(Where_Form("item_file_properties_Click", frm_kanot_2), QString(), [&] {
    const QString nl = QStringLiteral("\r\n");
    QString t;
    t += QStringLiteral("File name = ") + file.File_name() + nl;
    t += QStringLiteral("Number of DV frames = ") + QString::number(file.num_frames()) + nl;
    t += QStringLiteral("Read only  = ") + True_False(file.Read_only()) + nl;
    t += QStringLiteral("Event name: ") + file.Event_name() + nl;
    t += QStringLiteral("Written by: ") + file.Program_ID() + QStringLiteral(", Version ") +
         file.Program_Major() + QStringLiteral(".") + file.Program_Minor() + QStringLiteral(".") +
         file.Program_Revision() + nl;
    t += QStringLiteral("Rotated = ") + True_False(file.rotated()) + nl;
    t += QStringLiteral("Lanes locked = ") + True_False(file.Lanes_locked()) + nl;
    t += QStringLiteral("Lanes flipped = ") + True_False(file.Lanes_flipped()) + nl;
    const int16_t lanes = file.Lane_count();
    t += QStringLiteral("Lane count = ") + QString::number(lanes) + nl;
    t += QStringLiteral("Lane positions: ");
    for (int k = 1; k <= lanes && k <= session.markers.Count(); ++k)
      t += QString::number(session.markers.Item(k).X()) + QStringLiteral(",") +
           QString::number(session.markers.Item(k).Y()) + QStringLiteral("  ");
    t += nl;
    t += QStringLiteral("Lane zero = ") + True_False(file.Start_Lane_Zero()) + nl;
    t += QStringLiteral("Show goalline = ") + True_False(file.Show_goalline()) + nl;
    t += QStringLiteral("Show lanes = ") + True_False(file.Lanes_Visible()) + nl;
    const auto g = file.Get_Goalline();
    t += QStringLiteral("Goal positions = ") + QString::number(g[0]) + QStringLiteral(",") +
         QString::number(g[1]) + QStringLiteral("  ") + QString::number(g[2]) +
         QStringLiteral(",") + QString::number(g[3]) + nl;
    // The start camera is never used by this program.
    t += QStringLiteral("StartCam = ") + True_False(false) + nl;
    for (int16_t h = 1; h <= 3; ++h) {
      t += QStringLiteral("Heat_ID ") + QString::number(h) + QStringLiteral("=") + file.Heat_ID(h) +
           QStringLiteral(" Start Local time = ") +
           Display_Mill_Time(file.Start_local_Mill_Time(h), false) +
           QStringLiteral(" Start mill time = ") +
           Display_Mill_Time(file.Start_PC_Mill_time(h), false) +
           QStringLiteral(" Time correction = ") +
           Display_Mill_Time(file.Heat_Start_Correction(h), false) + nl;
      for (int16_t l = 0; l < 16; ++l)
        t += QString::number(file.Heat_time(h, l)) + QStringLiteral(",");
      t += nl;
    }
    return t;
  });
}

void Kanot_Core::item_delete_file_Click() {
  if (!file.File_open()) return;
  const QString path = file.File_name();
  item_close_Click();
  Delete_File(path, false);
}

void Kanot_Core::item_rename_file_Click() {
  Trapped(Where_Form("rename_file", frm_kanot_2), [&] {
    if (!file.File_open()) return;
    const QString old_path = file.File_name();
    // The window is reset too: it must not go on showing a file that moves.
    item_close_Click();
    const std::optional<QString> name =
        InputBox(QStringLiteral("New filename?"), QStringLiteral("Name change"), old_path);
    if (!name) return;
    Extra(old_path + QStringLiteral(" -> ") + *name);
    Rename_File(old_path, *name);
  });
}

// ---- Zoom ------------------------------------------------------------------------------

void Kanot_Core::item_zoom_Click() {
  Trapped(Where_Form("item_zoom_Click", frm_kanot_2), [&] {
    if (!file.File_open()) return;
    zoom.Zoom_On = !zoom.Zoom_On;
    if (!zoom.Zoom_On && view) view->Default_Pointer();
    player.Slider_play_Scroll();
  });
  Changed();
}

void Kanot_Core::Zoom_Redraw() {
  if (zoom.Zoom_On) Refresh_picture();
}

void Kanot_Core::Refresh_picture() {
  Trapped(Where_Form("Refresh_picture", frm_kanot_2), [&] {
    if (!file.File_open()) {
      Clear_Picture();
      return;
    }
    Field_Display* d = Display();
    d->Refresh_field(file.rotated());
    if (zoom.Zoom_On) {
      d->Draw_Graphics(false);
      Do_Zoom(zoom.Zoom_X, zoom.Zoom_Y);
    }
    P_Large_refresh();
  });
}

void Kanot_Core::Do_Zoom(float x, float y) {
  zoom.Do_Zoom(picture.Image(), x, y);
}

// ---- Overlays ----------------------------------------------------------------------------

void Kanot_Core::New_graphics() {
  if (Field_Display* d = Display()) d->Draw_Graphics(true);
  player.Slider_play_Scroll();
  Set_Focus();
}

void Kanot_Core::Option_Released() {
  if (zoom.Zoom_On)
    Refresh_picture();
  else
    New_graphics();
}

// ---- Mouse and keys ------------------------------------------------------------------------

bool Kanot_Core::Picture_MouseDown(Qt::MouseButton button, float x, float y, bool f_held) {
  bool result_menu = false;
  Trapped(Where_Form("Picture_large_MouseDown", frm_kanot_2), [&] {
    if (!file.File_open()) return;
    Press_X = Round_Half_Even(x);
    Press_Y = Round_Half_Even(y);
    Set_Focus();
    const int16_t picked = session.Check_within_lanes(x, y);
    if (!file.Lanes_locked()) {
      if (button == Qt::LeftButton && picked >= 0 &&
          Begin_Lane_Drag(session.markers, false, x, y, drag))
        Drag_lane = picked;
      return;
    }
    if (f_held && picked >= 0) session.Attach_Time(picked, 0, false);
    if (button == Qt::LeftButton && picked >= 0) {
      session.Marker_Pressed(picked);
      Set_Focus();
    } else if (button == Qt::LeftButton && zoom.Zoom_On) {
      if (x != zoom.Zoom_X || y != zoom.Zoom_Y) {
        zoom.Zoom_X = x;
        zoom.Zoom_Y = y;
        Refresh_picture();
      }
    }
    result_menu = button == Qt::RightButton && picked >= 0;
  });
  Changed();
  return result_menu;
}

Picture_Pointer Kanot_Core::Picture_MouseMove(Qt::MouseButtons buttons, float x, float y) {
  return Trapped(
      Where_Form("Picture_large_MouseMove", Frm_kanot_2), Picture_Pointer::Unchanged, [&] {
        if (buttons == Qt::NoButton) return Picture_Pointer::Unchanged;
        if (!drag.Active() || !(buttons & Qt::LeftButton)) {
          if (!zoom.Zoom_On) return Picture_Pointer::Unchanged;
          if ((buttons & Qt::LeftButton) && (x != zoom.Zoom_X || y != zoom.Zoom_Y)) {
            zoom.Zoom_X = x;
            zoom.Zoom_Y = y;
            Refresh_picture();
          }
          // Against the window as it is drawn now.
          return zoom.Within_Zoom(x, y) ? Picture_Pointer::Magnify : Picture_Pointer::Default;
        }
        Drag_Lane_To(session.markers, drag, x, y, Picture_Width(), Picture_Height(),
                     session.Lanes_shown);
        Field_Display* d = Display();
        d->Refresh_field(Rotated_View_);
        d->Draw_Graphics(true);
        return Picture_Pointer::Unchanged;
      });
}

void Kanot_Core::Picture_MouseUp() {
  Trapped(Where_Form("Picture_large_MouseUp", frm_kanot_2), [&] {
    Set_Focus();
    drag = Lane_Drag{};
    Drag_lane = -1;
    if (!zoom.Zoom_On) session.Picked_lane = -1;
  });
  Changed();
}

void Kanot_Core::Slider_play_KeyDown(int key_code, bool ctrl, bool alt) {
  Trapped(Where_Form("Slider_play_KeyDown", frm_kanot_2), [&] {
    if (key_code < 49 || key_code > 57) return;
    const int d = key_code - 48;
    if (alt) {
      player.Show_Field(Go_to_Goal_field(session.arrays, Lane_To_Place(session.arrays, d)));
      Set_Focus();
    } else if (ctrl) {
      player.Show_Field(Go_to_Goal_field(session.arrays, d));
      Set_Focus();
    } else {
      session.Attach_Time(static_cast<int16_t>(d), 0, false);
    }
  });
  Changed();
}

void Kanot_Core::Result_Command(int32_t heat_result, bool plus_time) {
  session.Attach_Time(session.Picked_lane, heat_result, plus_time);
  Changed();
}

}  // namespace qm
