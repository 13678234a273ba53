#include "race_timing/race_session.h"

#include "capture_file/avi_handler.h"
#include "capture_file/xml_header.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "shell/settings.h"
#include "shell/trace.h"

#include <QFont>
#include <QPainter>

#include <cmath>

namespace qm {

namespace {
constexpr const char* Frm_kanot = "Frm_kanot";
constexpr const char* Frm_kanot_2 = "Frm_kanot_2";
constexpr const char* frm_kanot_2 = "frm_kanot_2";
constexpr const char* Frm_results = "Frm_results";

struct Lane_Snapshot {
  int32_t time, click, field;
};
}  // namespace

bool Race_Session::File_open() const {
  return m_file && m_file->File_open();
}

void Race_Session::Changed() {
  for (auto& f : on_changed)
    if (f) f();
}

// --- Lanes and goal line -----------------------------------------------------

void Race_Session::Load_Lanes() {
  Trapped(Where_Form("Load_Lanes", Frm_kanot), [&] {
    markers.Clear();
    Parse_Lanes(markers, Read_Ini_String(QStringLiteral("Canoe"), QStringLiteral("Lanes"),
                                         QStringLiteral("None")));
  });
}

void Race_Session::Load_Goalline() {
  Trapped(Where_Form("Load_Goalline", Frm_kanot), [&] {
    Ini_Goal_line = {0, 0, 0, 0};
    const QString v = Read_Ini_String(QStringLiteral("Canoe"), QStringLiteral("Goalline"),
                                      QStringLiteral("None"));
    if (v == QLatin1String("None")) return;
    for (int i = 0; i < 4; ++i) Ini_Goal_line[static_cast<size_t>(i)] = To_Int16(v.mid(4 * i, 3));
  });
}

int16_t Race_Session::Lane_Slot(int position) {
  // The header has lane slots 0..15 only: marker 16 takes the slot that the
  // 1-based positions never use.
  return static_cast<int16_t>(position == Max_Lanes ? 0 : position);
}

void Race_Session::Load_Lanes_from_File() {
  Trapped(Where_Form("Load_Lanes_from_File", Frm_kanot), [&] {
    markers.Clear();
    if (!File_open()) return;
    int n = m_file->Lane_count();
    // A damaged count must not make markers the header has no slots for.
    if (n < 0) n = 0;
    if (n > Max_Lanes) n = Max_Lanes;
    const int16_t start = m_file->Start_lane();
    for (int k = 1; k <= n; ++k) {
      Cls_lane& l = markers.Add();
      l.Set_Lane_number(static_cast<int16_t>(k));
      l.Lane_pos_X(15 * k);
      l.Lane_pos_Y(20 * k);
    }
    for (int k = 1; k <= n; ++k) {
      Cls_lane& l = markers.Item(k);
      l.Set_Lane_number(Checked_Int16(int64_t{start} + k - 1));
      l.Lane_pos_X(m_file->LaneX(Lane_Slot(k)));
      l.Lane_pos_Y(m_file->LaneY(Lane_Slot(k)));
    }
  });
}

void Race_Session::Take_File_Lane_Settings() {
  Trapped(Where_Form("Take_File_Lane_Settings", Frm_kanot), [&] {
    if (!File_open()) return;
    const int16_t n = m_file->Lane_count();
    if (n > 0) Markers_Drawn = n;
    Lanes_locked_checked = m_file->Lanes_locked();
    Goalline_shown = m_file->Show_goalline();
    Lanes_flipped_box = m_file->Lanes_flipped();
    Lanes_shown = m_file->Lanes_Visible();
  });
}

void Race_Session::Load_Goalline_from_File() {
  Goal_line = {0, 0, 0, 0};
  Trapped(Where_Form("Open_multi_file", frm_kanot_2), [&] {
    if (!File_open()) return;
    const std::array<int16_t, 4> g = m_file->Get_Goalline();
    if (g[0] > 0 && g[1] > 0) Goal_line = g;
  });
}

void Race_Session::Save_lanes() {
  Trapped(Where_Form("Save_lanes", Frm_kanot), [&] {
    if (!File_open()) return;
    for (int k = 1; k <= markers.Count() && k <= Max_Lanes; ++k)
      m_file->File_Lane_Pos(Lane_Slot(k), markers.Item(k).X(), markers.Item(k).Y());
  });
}

int16_t Race_Session::Check_within_lanes(float x, float y) {
  Picked_lane = -1;
  Picked_position = 0;
  Picked_lane = Trapped(Where_Form("Check_within_lanes", Frm_kanot), int16_t{-1},
                        [&] { return qm::Check_within_lanes(markers, x, y, &Picked_position); });
  return Picked_lane;
}

void Race_Session::Marker_Pressed(int16_t lane) {
  if (!File_open()) return;
  const int16_t place = Lane_To_Place(arrays, lane);
  if (place == 0) return;
  if (m_player) {
    m_player->Show_Field(Go_to_Goal_field(arrays, place));
    m_player->Print_Place_string(QString::number(place));
  }
}

void Race_Session::Toggle_Lanes_locked() {
  Trapped(Where_Form("item_toggle_lanes_locked_Click", frm_kanot_2), [&] {
    if (!File_open()) return;
    m_file->Lanes_locked(!m_file->Lanes_locked());
    Lanes_locked_checked = m_file->Lanes_locked();
  });
}

void Race_Session::Toggle_Flip_Lanemarks() {
  Trapped(Where_Form("item_toggle_flip_Click", frm_kanot_2), [&] {
    if (!File_open()) return;
    // In memory only: written with the next header rewrite.
    m_file->Lanes_flipped(!m_file->Lanes_flipped());
  });
}

void Race_Session::Toggle_Showgoalline() {
  Trapped(Where_Form("item_toggle_showgoalline_Click", frm_kanot_2), [&] {
    if (!File_open()) return;
    m_file->Show_goalline(!m_file->Show_goalline());
    m_file->Write_XML_header();
  });
}

void Race_Session::Set_lanenums() {
  Trapped(Where_Form("item_set_lanenums_Click", frm_kanot_2), [&] {
    if (!File_open()) return;
    const std::optional<QString> answer = InputBox(QStringLiteral("Lane numbers"));
    if (!answer) return;
    bool ok = false;
    const int n = answer->trimmed().toInt(&ok);
    if (!ok || n < 0 || n > Max_Lanes) {
      MsgBox(QStringLiteral("Lane numbers 0 to 16!"));
      return;
    }
    m_file->Lane_count(static_cast<int16_t>(n));
  });
}

void Race_Session::Save_lanes_Command() {
  if (!File_open()) return;
  Save_lanes();
  Trapped(Where_Form("item_save_lanes_Click", frm_kanot_2), [&] { m_file->Write_XML_header(); });
}

// --- Results -----------------------------------------------------------------

void Race_Session::Attach_Time(int16_t lane, int32_t heat_result, bool plus_time) {
  Trapped(Where_Form("Attach_Time", frm_kanot_2), [&] {
    Extra(QStringLiteral("p_Active_Result = ") + QString::number(Active_Heat) +
          QStringLiteral("Lane = ") + QString::number(lane));
    if (!File_open()) return;
    if (m_file->Read_only()) {
      MsgBox(QStringLiteral("File is read-only!"));
      return;
    }
    Lane_result& slot = arrays.lane_all_heats_array(lane);
    if (slot.time != 0 && slot.time != No_result) {
      if (MsgBox(QStringLiteral("Override existing result?"), Buttons::OK_Cancel) == Answer::Cancel)
        return;
    }
    Lane_result changed = slot;
    changed.time =
        Checked_Int32(int64_t{m_file->Multi_TimeStamp(Active_Heat)} + (plus_time ? 10 : 0));
    changed.click_time = static_cast<int32_t>(Tick_Count());
    const bool takes_time = heat_result < Status_DSQ;
    if (takes_time) {
      changed.goal_field = Checked_Int16(m_player ? m_player->Current_Field() : 0);
    } else {
      changed.time = heat_result;
      changed.goal_field = 0;
    }
    slot = changed;
    Trace_Text(QStringLiteral("Attach_Time lane ") + QString::number(lane) + QStringLiteral(" = ") +
               QString::number(changed.time));
    const bool stored = Store_Lane_Results();
    Complete_Result_Array();
    if (m_player) m_player->Redraw_Graphics();
    // The delta read-out counts from the winner once the first boat is in.
    if (stored && takes_time && Count_Real_Times(arrays) == 1)
      Delta_Reference = m_file->Multi_TimeStamp(Active_Heat);
    if (m_player) {
      m_player->Focus_Slider();
      m_player->Redraw_Field();
    }
  });
}

bool Race_Session::Store_Lane_Results() {
  return Trapped(Where_Form("Store_Lane_Results", Frm_kanot_2), false, [&] {
    if (!File_open()) return false;
    Cls_XML_header& x = m_file->XML_header();
    std::array<Lane_Snapshot, Result_Slots> before{};
    for (int l = 0; l < Result_Slots; ++l)
      before[static_cast<size_t>(l)] = {x.Heat_result(Active_Heat, l),
                                        x.Heat_Click_time(Active_Heat, l),
                                        x.Heat_Goal_Field(Active_Heat, l)};
    for (int16_t l = 0; l < Result_Slots; ++l) {
      const Lane_result& r = arrays.all[static_cast<size_t>(l)];
      m_file->Heat_result(Active_Heat, l, r.time);
      m_file->Heat_Clicktime(Active_Heat, l, r.click_time);
      m_file->Heat_Goalfield(Active_Heat, l, r.goal_field);
    }
    if (m_file->Write_XML_header()) return true;
    for (int l = 0; l < Result_Slots; ++l) {
      const Lane_Snapshot& b = before[static_cast<size_t>(l)];
      x.Set_Heat_result(Active_Heat, l, b.time);
      x.Set_Heat_Click_time(Active_Heat, l, b.click);
      x.Set_Heat_Goal_Field(Active_Heat, l, b.field);
    }
    return false;
  });
}

void Race_Session::Load_All_Heats_Array_from_File(int16_t heat) {
  Trapped(Where_Form("Load_All_Heats_Array_from_File", Frm_kanot_2), [&] {
    for (int16_t l = 0; l < Result_Slots; ++l) {
      Lane_result& r = arrays.all[static_cast<size_t>(l)];
      r.lane = l;
      // With no file every slot reads as no result.
      if (!File_open()) {
        r = {l, No_result, 0, 0};
        continue;
      }
      const int32_t t = m_file->Heat_time(heat, l);
      r.time = t == 0 ? No_result : t;
      r.click_time = m_file->Heat_Clicktime(heat, l);
      r.goal_field = Checked_Int16(m_file->Heat_Goalfield(heat, l));
    }
  });
}

void Race_Session::Complete_Result_Array() {
  Trapped(Where_Form("laha", Frm_kanot_2), [&] {
    Load_All_Heats_Array_from_File(Active_Heat);
    Trapped(Where_Form("copy_active_heat", Frm_kanot_2), [&] { Copy_Active_Heat(arrays); });
    correction.Correction_ms = File_open() ? m_file->Heat_Start_Correction(Active_Heat) : 0;
    correction.Update_Corrected();
    Trapped(Where_Form("lane_active_heat_array_Sort", Frm_kanot_2),
            [&] { Lane_Active_Heat_Array_Sort(arrays); });
    Clear_Results();
    Fill_Results();
    if (m_player) {
      m_player->Redraw_Graphics();
      m_player->Redraw_Field();
    }
  });
  Changed();
}

void Race_Session::Clear_All_Results() {
  Trapped(Where_Form("Clear_All_Results", frm_kanot_2), [&] {
    for (Lane_result& r : arrays.all) {
      r.time = 0;
      r.click_time = 0;
      r.goal_field = 0;
    }
    if (File_open()) Store_Lane_Results();
    Complete_Result_Array();
  });
}

void Race_Session::Clear_All_Results_Command() {
  Trapped(Where_Form("item_clear_all_results_Click", Frm_results), [&] {
    if (!File_open()) {
      if (m_player) m_player->Beep();
      return;
    }
    if (m_file->Read_only()) {
      MsgBox(QStringLiteral("Can\u00B4t alter this file, it is Read only!"));
      return;
    }
    const Answer a =
        MsgBox(QStringLiteral("This will clear all stored results for this heat, are you sure?"),
               Buttons::OK_Cancel, QStringLiteral("Clear results"), Icon::None, 2);
    if (a != Answer::OK) return;
    Clear_All_Results();
    Clear_Marker_Times();
    if (m_player) m_player->Redraw_Graphics();
    Changed();
  });
}

void Race_Session::Clear_Marker_Times() {
  for (Cls_lane& l : markers) l.Set_time(0);
}

void Race_Session::Set_Heat_start() {
  Trapped(Where_Form("item_set_heat_start_Click", frm_kanot_2), [&] {
    if (!File_open()) return;
    m_file->Start_PC_mill(Active_Heat, m_file->Old_HeatStart());
    m_file->Write_XML_header();
    if (m_player) m_player->Redraw_Field();
  });
}

void Race_Session::Set_Local_heat_start() {
  Trapped(Where_Form("item_set_local_heat_start_Click", frm_kanot_2), [&] {
    if (!File_open()) return;
    m_file->Start_local_mill(Active_Heat, Default_Local_Heat_Start);
    m_file->Write_XML_header();
    // The panel shows the start the file now holds.
    correction.orig_Start_Local_Time = m_file->Start_local_Mill_Time(Active_Heat);
    correction.Update_Corrected();
  });
  Changed();
}

void Race_Session::Set_heat_ID() {
  Trapped(Where_Form("item_set_heat_id_Click", frm_kanot_2), [&] {
    if (!File_open()) return;
    const std::optional<QString> id =
        InputBox(QStringLiteral("Give Heat ID!"), {}, m_file->Heat_ID(Active_Heat));
    if (!id) return;
    m_file->Heat_ID(Active_Heat, *id);
    m_file->Write_XML_header();
    rows.Lbl_heat = m_file->Heat_ID(Active_Heat);
  });
  Changed();
}

void Race_Session::Set_event() {
  Trapped(Where_Form("item_set_event_Click", frm_kanot_2), [&] {
    if (!File_open()) return;
    const std::optional<QString> name = InputBox(QStringLiteral("Event"), {}, m_file->Event_name());
    if (!name) return;
    m_file->Event_name(*name);
  });
  Set_Captions();
}

void Race_Session::Set_event_name() {
  Trapped(Where_Form("item_set_event_name_Click", frm_kanot_2), [&] {
    if (!File_open()) return;
    const std::optional<QString> name =
        InputBox(QStringLiteral("Event name?"), {}, m_file->Event_name());
    if (!name) return;
    m_file->Event_name(*name);
  });
  Set_Captions();
}

// --- Results window ----------------------------------------------------------

void Race_Session::Set_Captions() {
  Trapped(Where_Form("Set_Captions", Frm_results),
          [&] { rows.Lbl_event_name = File_open() ? m_file->Event_name() : QString(); });
  Changed();
}

void Race_Session::Clear_Results() {
  Trapped(Where_Form("Clear_results", frm_kanot_2), [&] { rows.Clear(); });
}

void Race_Session::Fill_Results() {
  Trapped(Where_Form("fill_results", Frm_kanot_2), [&] {
    if (!File_open()) return;
    qm::Fill_Results(arrays, m_file->Heat_Start_Correction(Active_Heat), true,
                     m_file->Heat_ID(Active_Heat), m_file->Creation_Date(), markers, rows);
  });
}

void Race_Session::GoTo_Field(int row) {
  if (m_player) m_player->Show_Field(Go_to_Goal_field(arrays, row + 1));
}

bool Race_Session::Place_Row_Has_Time(int row) const {
  if (row < 0 || row >= Result_Row_Count) return false;
  return rows.rows[static_cast<size_t>(row)].Real_Time();
}

void Race_Session::Place_Row_Pressed(int row) {
  Trapped(Where_Form("Lbl_result_rank_MouseDown", Frm_results), [&] {
    if (!File_open() || row < 0 || row >= Result_Slots) return;
    if (arrays.lane_active_heat_array(row + 1).time > 100000000) return;
    GoTo_Field(row);
    if (m_player) {
      m_player->Print_Place_string(QString::number(row + 1));
      m_player->Focus_Slider();
    }
  });
}

// --- Start correction ----------------------------------------------------------

void Race_Session::Correction_Label_Clicked(int k) {
  Trapped(Where_Form("Lbl_hms_correction_Click", Frm_results), [&] {
    if (!File_open()) return;
    correction.Select_Component(k);
  });
  Changed();
}

void Race_Session::Correction_Panel_Clicked() {
  correction.Deselect_Correction_Items();
  Changed();
}

int32_t Race_Session::Correction_Press(bool up) {
  const int32_t wait = Trapped(Where_Form("Cmd_time_MouseDown", Frm_results), int32_t{0}, [&] {
    if (!File_open()) return int32_t{0};
    return correction.Begin_Hold(up);
  });
  Changed();
  return wait;
}

int32_t Race_Session::Correction_Repeat() {
  const int32_t wait = correction.Repeat_Step();
  Changed();
  return wait;
}

void Race_Session::Correction_Release() {
  Trapped(Where_Form("Cmd_time_MouseUp", Frm_results), [&] {
    if (!File_open() || !correction.Holding()) return;
    correction.End_Hold();
    Update_File_With_Time_Correction();
    Fill_Results();
  });
  Changed();
}

void Race_Session::Correction_Reset() {
  Trapped(Where_Form("Lbl_hms_correction_MouseDown", Frm_results), [&] {
    if (!File_open()) return;
    correction.Reset();
    Update_File_With_Time_Correction();
    Fill_Results();
  });
  Changed();
}

void Race_Session::Set_Correction(int32_t ms) {
  Trapped(Where_Form("Set_Correction", Frm_results), [&] {
    if (!File_open()) return;
    correction.Correction_ms = ms;
    correction.Update_Corrected();
    Update_File_With_Time_Correction();
    Fill_Results();
  });
  Changed();
}

void Race_Session::Update_File_With_Time_Correction() {
  Trapped(Where_Form("Update_File_With_Time_Correction", Frm_results), [&] {
    if (File_open()) m_file->Heat_Start_Correction(Active_Heat, correction.Correction_ms);
  });
}

void Race_Session::Clear_Heat_Data() {
  rows.Lbl_heat.clear();
  correction.Clear_Heat_Data();
  Changed();
}

// --- Opening and closing -----------------------------------------------------

void Race_Session::File_Opened() {
  Trapped(Where_Form("item_open_Click", frm_kanot_2), [&] {
    if (!File_open()) return;
    Load_Goalline_from_File();
    Load_Lanes_from_File();
    Take_File_Lane_Settings();
    Picked_lane = -1;
    Delta_Reference = 0;
    correction.Deselect_Correction_Items();
    correction.orig_Start_Local_Time = m_file->Start_local_Mill_Time(Active_Heat);
    Complete_Result_Array();
    Set_Captions();
    GoTo_Field(0);
  });
  Changed();
}

void Race_Session::File_Closed() {
  // The file is closed already: nothing is written.
  Clear_All_Results();
  Goal_line = {0, 0, 0, 0};
  Load_Lanes();
  Load_Goalline();
  Picked_lane = -1;
  Clear_Results();
  Clear_Heat_Data();
  Set_Captions();
}

// --- The place string --------------------------------------------------------

Place_String_Layout Place_String_Rect(int width, int height) {
  auto r = [](double v) { return static_cast<int>(std::nearbyint(v)); };
  return {r(0.8 * width), r(0.8 * height), r(0.97 * width), r(0.95 * height)};
}

void Draw_Place_String(QImage& picture, const QString& text) {
  Trapped(Where_Form("Print_Place_string", frm_kanot_2), [&] {
    if (picture.isNull()) return;
    const Place_String_Layout p = Place_String_Rect(picture.width(), picture.height());
    QPainter painter(&picture);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(120);
    painter.setFont(f);
    painter.setPen(Qt::white);
    painter.drawText(QRect(QPoint(p.left, p.top), QPoint(p.right - 1, p.bottom - 1)),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip | Qt::TextSingleLine, text);
  });
}

}  // namespace qm
