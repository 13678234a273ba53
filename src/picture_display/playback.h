#pragma once
// Playback and navigation: the field display every movement ends in, the
// read-outs that follow each field, the delta reference and the play loop
// that runs the heat frame by frame in real time. Widget-free: the main
// window mirrors the slider and the read-outs from here and hands its
// slider's moves back.

#include <QString>

#include <cstdint>
#include <functional>

namespace qm {

class cls_AVI_handler;

// What the field display needs of the picture display.
class Field_Display {
 public:
  virtual ~Field_Display() = default;
  // One field at full height onto the picture box.
  virtual void Draw_field_3(int32_t field, int16_t stream, bool rotate) = 0;
  // One whole frame (both fields).
  virtual void Draw_Frame(int32_t frame, int16_t stream, bool rotate) = 0;
  // The last picture again, without decoding.
  virtual void Refresh_field(bool rotate) = 0;
  // Overlay rebuilt and composited; the box refreshed when `refresh`.
  virtual void Draw_Graphics(bool refresh) = 0;
  // The existing overlay over the picture.
  virtual void Blit_Graphics() = 0;
};

// The window side of the player.
class Player_Host {
 public:
  virtual ~Player_Host() = default;
  virtual cls_AVI_handler* Capture_File() = 0;
  virtual Field_Display* Display() = 0;
  virtual bool Rotated_View() const = 0;
  virtual int16_t Current_Stream() const = 0;
  virtual int32_t& Delta_Reference() = 0;
  virtual bool Marathon_Mode() const { return false; }
  virtual void Update_Marathon_Time() {}
  // The zoom window drawn again over the shown field.
  virtual void Zoom_Redraw() {}
  virtual void P_Large_refresh() {}
  virtual void Set_Focus() {}
  // Slider range or value and the read-out texts changed.
  virtual void Player_Changed() {}
  virtual void Play_Enabled(bool enabled) { (void)enabled; }
};

// The system services of the play loop; tests and the bench put their own.
struct Play_Hooks {
  std::function<uint32_t()> tick;               // millisecond tick
  std::function<void(uint32_t)> sleep;          // milliseconds
  std::function<void()> process_events;         // window events run
  std::function<int()> held_key;                // first held virtual key 1..128, 0 none
  std::function<bool()> ctrl_held;              // for the slider's small step
  std::function<void(int32_t frame)> on_frame;  // after frame n is shown (the bench logs it)
};
Play_Hooks Default_Play_Hooks();

// Virtual key codes the stop test passes over.
inline constexpr int VK_CONTROL = 17;
inline constexpr int VK_F4 = 115;
inline constexpr int VK_NUMPAD6 = 102;

struct Read_Outs {
  QString Lbl_frameno = QStringLiteral("0");
  QString Lbl_elapsed_time = QStringLiteral("00:00,00");
  QString Lbl_delta_time = QStringLiteral("00:00,00");
  QString Lbl_cam_time;
  QString Lbl_exp_time;
};

class Field_Player {
 public:
  explicit Field_Player(Player_Host& host) : host_(host) {}

  // --- The slider ---------------------------------------------------------
  int32_t Slider_min = 1;
  int32_t Slider_max = 1;
  int32_t Slider_value = 1;
  int32_t Small_step = 1;
  // Range and value of a freshly opened file: 1 .. fields, at 1.
  void Set_Range(int32_t fields);
  // Value clamped into the range (no field display).
  void Set_Value(int32_t value);

  Read_Outs read_outs;
  bool Scroll_busy() const { return scroll_busy_; }
  bool Playing() const { return playing_; }
  bool Play_enabled() const { return play_enabled_; }

  // --- Field display and read-outs -----------------------------------------
  void Slider_play_Scroll();
  // Sets the slider and shows that field.
  void Show_Field(int32_t field);
  void Update_frm_label();
  void Update_Frame_Time();
  void Lbl_delta_time_Click();
  // Camera clock and shutter of the frame in store.
  void Update_DV_Read_Outs();
  // Every read-out blank (a closed file).
  void Clear_Read_Outs();

  // --- Play -------------------------------------------------------------------
  void Cmd_play_Click();
  Play_Hooks hooks = Default_Play_Hooks();

  // --- Debug menu ---------------------------------------------------------------
  void Play_deinterlaced();
  void Step_forward();
  void Show_frame();

 private:
  bool File_Is_Open();
  void End_Play();
  Player_Host& host_;
  bool scroll_busy_ = false;
  bool playing_ = false;
  bool play_enabled_ = true;
};

// "0007": at least four digits.
QString Field_Number_Text(int32_t field);

}  // namespace qm
