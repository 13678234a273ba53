#include "picture_display/playback.h"

#include "capture_file/avi_handler.h"
#include "capture_file/dv_timecode.h"
#include "picture_display/dib_section.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "race_timing/mill_time.h"

#include <algorithm>

namespace qm {

namespace {
constexpr const char* frm_kanot_2 = "frm_kanot_2";
}

Play_Hooks Default_Play_Hooks() {
  Play_Hooks h;
  h.tick = [] { return Tick_Count(); };
  h.sleep = [](uint32_t ms) { Sleep_ms(ms); };
  h.process_events = [] {};
  h.held_key = [] { return 0; };
  h.ctrl_held = [] { return false; };
  return h;
}

QString Field_Number_Text(int32_t field) {
  return QStringLiteral("%1").arg(field, 4, 10, QLatin1Char('0'));
}

bool Field_Player::File_Is_Open() {
  cls_AVI_handler* f = host_.Capture_File();
  return f && f->File_open();
}

void Field_Player::Set_Range(int32_t fields) {
  Slider_min = 1;
  Slider_max = fields > Slider_min ? fields : Slider_min;
  Slider_value = Slider_min;
  host_.Player_Changed();
}

void Field_Player::Set_Value(int32_t value) {
  Slider_value = std::clamp(value, Slider_min, Slider_max);
}

void Field_Player::Show_Field(int32_t field) {
  Set_Value(field);
  Slider_play_Scroll();
}

void Field_Player::Slider_play_Scroll() {
  // The step set now applies to the next arrow key.
  Small_step = hooks.ctrl_held && hooks.ctrl_held() ? 4 : 1;
  if (scroll_busy_ || !File_Is_Open()) {
    host_.Player_Changed();
    return;
  }
  scroll_busy_ = true;
  struct Clear {
    bool& flag;
    ~Clear() { flag = false; }
  } clear{scroll_busy_};
  Trapped(Where_Form("Slider_play_Scroll", frm_kanot_2), [&] {
    if (Field_Display* d = host_.Display())
      d->Draw_field_3(Slider_value, host_.Current_Stream(), host_.Rotated_View());
    Update_DV_Read_Outs();
    Update_frm_label();
    if (host_.Marathon_Mode())
      host_.Update_Marathon_Time();
    else
      Update_Frame_Time();
    if (Field_Display* d = host_.Display()) d->Blit_Graphics();
    host_.Zoom_Redraw();
    host_.P_Large_refresh();
  });
  host_.Player_Changed();
}

void Field_Player::Update_DV_Read_Outs() {
  read_outs.Lbl_cam_time.clear();
  read_outs.Lbl_exp_time.clear();
  cls_AVI_handler* f = host_.Capture_File();
  if (!f || !f->Frame_address() || f->Frame_in_store() < 1) return;
  // KV frames carry no length of their own: the file's frame size.
  const int32_t length = f->Frame_Length() > 0 ? f->Frame_Length() : f->m_Frame_size();
  DV_Header_Parse(f->Frame_address(), static_cast<size_t>(length));
  read_outs.Lbl_cam_time = Camera_clock_text();
  read_outs.Lbl_exp_time = Shutter_text();
}

void Field_Player::Update_frm_label() {
  read_outs.Lbl_frameno = Field_Number_Text(Slider_value);
}

void Field_Player::Update_Frame_Time() {
  Trapped(Where_Form("Update_frame_time", frm_kanot_2), [&] {
    cls_AVI_handler* f = host_.Capture_File();
    if (!f) return;
    const int32_t t = f->Multi_TimeStamp(1);
    read_outs.Lbl_elapsed_time = Display_Mill_Time(t, false);
    const int64_t delta = int64_t{t} - host_.Delta_Reference();
    read_outs.Lbl_delta_time = delta < 0 ? QStringLiteral("---") : Display_Mill_Time(delta, false);
  });
}

void Field_Player::Lbl_delta_time_Click() {
  Trapped(Where_Form("Lbl_delta_time_Click", frm_kanot_2), [&] {
    if (!File_Is_Open()) return;
    host_.Delta_Reference() = host_.Capture_File()->Multi_TimeStamp(1);
    Update_Frame_Time();
  });
  host_.Player_Changed();
  host_.Set_Focus();
}

void Field_Player::Clear_Read_Outs() {
  read_outs.Lbl_cam_time.clear();
  read_outs.Lbl_exp_time.clear();
  read_outs.Lbl_elapsed_time.clear();
  read_outs.Lbl_delta_time.clear();
  read_outs.Lbl_frameno.clear();
  host_.Player_Changed();
}

void Field_Player::End_Play() {
  playing_ = false;
  play_enabled_ = true;
  host_.Play_Enabled(true);
}

void Field_Player::Cmd_play_Click() {
  if (!File_Is_Open() || playing_) return;
  play_enabled_ = false;
  playing_ = true;
  host_.Play_Enabled(false);
  const bool ran = Trapped_Own(
      false,
      [&] {
        cls_AVI_handler* f = host_.Capture_File();
        const uint32_t s = hooks.tick();
        // The frame count is a 16-bit number on this path.
        const int16_t frames = Checked_Int16(f->num_frames());
        const int64_t per_field = f->mill_per_frame();
        for (int32_t n = 1; n <= frames; ++n) {
          if (!File_Is_Open()) break;  // closed by an event inside the loop
          if (Field_Display* d = host_.Display())
            d->Draw_Frame(n, host_.Current_Stream(), host_.Rotated_View());
          Update_DV_Read_Outs();
          if (host_.Marathon_Mode())
            host_.Update_Marathon_Time();
          else
            Update_Frame_Time();
          if (Field_Display* d = host_.Display()) d->Draw_Graphics(true);
          host_.P_Large_refresh();
          Set_Value(2 * n);
          Update_frm_label();
          host_.Player_Changed();
          if (hooks.on_frame) hooks.on_frame(n);
          hooks.process_events();
          const int key = hooks.held_key();
          if (key != 0 && key != VK_F4 && key != VK_CONTROL && key != VK_NUMPAD6) {
            End_Play();
            Show_Field(2 * n);
            host_.Set_Focus();
            return true;
          }
          // Paced against the start: a slow frame is made up afterwards.
          const int64_t elapsed = static_cast<uint32_t>(hooks.tick() - s);
          const int64_t w = per_field * n * 2 - elapsed;
          if (w > 0) hooks.sleep(static_cast<uint32_t>(w));
        }
        End_Play();
        host_.Set_Focus();
        Slider_play_Scroll();
        return true;
      },
      [&](const Failure_Report& r) {
        MsgBox(QStringLiteral("Error in Cmd_play_Click: ") + QString::number(r.errnum) +
               QStringLiteral(" ") + r.errdesc);
      });
  if (!ran) End_Play();
}

void Field_Player::Play_deinterlaced() {
  for (int32_t v = Slider_min; v <= Slider_max; ++v) Show_Field(v);
}

void Field_Player::Step_forward() {
  Show_Field(Slider_value + 1);
}

void Field_Player::Show_frame() {
  Trapped(Where_Form("item_show_frame_Click", frm_kanot_2), [&] {
    if (!File_Is_Open()) return;
    if (Field_Display* d = host_.Display())
      d->Draw_Frame(Round_Half_Even(Slider_value / 2.0), host_.Current_Stream(), false);
    host_.P_Large_refresh();
  });
}

}  // namespace qm
