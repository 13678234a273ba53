#pragma once
// The main window's core: the capture file it works on, the timing session,
// the picture box's persistent image, the player and the zoom view, and the
// window state they share. File opening and closing, the caption, the newest
// files of the last folder, the file-properties text and the small commands
// on the open file live here; the window (shell/ui) only mirrors this state
// and passes its events in.

#include "capture_file/avi_handler.h"
#include "picture_display/picture_surface.h"
#include "picture_display/playback.h"
#include "picture_display/zoom.h"
#include "race_timing/race_session.h"
#include "results_output/printing.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

namespace qm {

// What the core asks of the window.
class Kanot_View {
 public:
  virtual ~Kanot_View() = default;
  // Rotated_View changed: Arrange_layout.
  virtual void Arrange_layout() {}
  // Caption, labels, check boxes, menu checks or the slider changed.
  virtual void State_Changed() {}
  // The focus rule (keys always reach the slider).
  virtual void Set_Focus() {}
  // Pending window events run.
  virtual void Process_Events() {}
  // The default pointer for the screen and the picture.
  virtual void Default_Pointer() {}
  virtual void Play_Enabled(bool enabled) { (void)enabled; }
  // The results window gets the "Close File" reset.
  virtual void Results_Cleared() {}
};

// The file labels of the "DV data" and "Time" frames set at open.
struct File_Labels {
  QString Lbl_capture_time;
  QString Lbl_filesize;
  QString Label_heatID = QStringLiteral("HeatID");
  QString Label_start_time;
};

// The pointer the picture should show after a mouse move.
enum class Picture_Pointer { Unchanged, Default, Magnify };

// Newest-file entry: "yyyy-mm-dd hh:nn:ss" directly followed by the name.
// `folder` empty or missing: an empty list. Only "kv2" files (that case) of
// more than 1048576 bytes make entries; the list holds one slot per file of
// the folder, newest first, empty slots last.
QStringList fso_Youngest_files(const QString& folder);

// Size in megabytes, one decimal, " Mb".
QString File_Size_Text(int64_t bytes);

class Kanot_Core : public Race_Player, public Player_Host, public Print_Player {
 public:
  Kanot_Core();
  ~Kanot_Core() override;
  Kanot_Core(const Kanot_Core&) = delete;
  Kanot_Core& operator=(const Kanot_Core&) = delete;

  cls_AVI_handler file;
  Race_Session session;
  Picture_Surface picture{576, 720};
  Field_Player player{*this};
  Zoom_View zoom;
  Kanot_View* view = nullptr;

  // --- Window state ----------------------------------------------------------
  bool Rotated_View_ = true;
  int16_t Current_Stream_ = 1;
  int16_t Stream_count = 0;
  QString Current_File_Name;
  QString Caption;
  File_Labels labels;
  bool Marathon_checked = false;
  // The marathon set-time window's time labels, once it exists.
  std::function<void()> marathon_time;
  // The four "Open Newest File" items: caption and visibility.
  std::array<QString, 4> Newest_caption{QStringLiteral("-"), QStringLiteral("-"),
                                        QStringLiteral("-"), QStringLiteral("-")};
  std::array<bool, 4> Newest_visible{true, true, true, true};
  // Drag state of the picture.
  Lane_Drag drag;
  int16_t Drag_lane = -1;
  int32_t Press_X = 0, Press_Y = 0;

  // The picture display behind the field display: the field renderer and
  // the overlay unless another is set (the bench measures without either).
  void Set_Display(Field_Display* display) { display_ = display; }
  Field_Display* Display() override;

  // --- File opening (menu "File") ---------------------------------------------
  void Handle_Open_File(const QString& name);
  void Open_multi_file(const QString& name);
  void Close_File();
  void item_close_Click();
  void Clear_file_Data();
  bool Check_File_Open();
  void Update_Form_Caption();
  void Update_Recent_Files();
  void item_open_newest_Click(int index);  // 0..3
  void Enter_Event_name();
  void item_update_event_Click();
  QString File_Properties_Text();
  void item_delete_file_Click();
  // Debug "Rename File": closes the file and moves it to the name typed into
  // "New filename?"; it is not opened again. Cancel renames nothing.
  void item_rename_file_Click();
  bool File_Is_Open() const { return file.File_open(); }

  // --- Zoom ----------------------------------------------------------------------
  void item_zoom_Click();
  void Refresh_picture();
  void Do_Zoom(float x, float y);

  // --- Overlays ----------------------------------------------------------------
  void New_graphics();
  // An options check box released: the refresh that zoom asks for.
  void Option_Released();

  // --- Mouse on the picture and keys on the slider ------------------------------
  // Returns whether the "Result" menu is to pop up (right press on a
  // marker, lanes locked).
  bool Picture_MouseDown(Qt::MouseButton button, float x, float y, bool f_held);
  Picture_Pointer Picture_MouseMove(Qt::MouseButtons buttons, float x, float y);
  void Picture_MouseUp();
  // Key code as the slider gets it (digits 49..57).
  void Slider_play_KeyDown(int key_code, bool ctrl, bool alt);
  // "Result" menu commands on Picked_lane.
  void Result_Command(int32_t heat_result, bool plus_time);

  // --- Race_Player -----------------------------------------------------------------
  void Show_Field(int32_t field) override { player.Show_Field(field); }
  int32_t Current_Field() const override { return player.Slider_value; }
  void Redraw_Graphics() override;
  void Redraw_Field() override { New_graphics(); }
  void Focus_Slider() override;
  void Print_Place_string(const QString& text) override;

  // --- Print_Player ------------------------------------------------------------------
  bool Rotated() const override { return Rotated_View_; }
  QImage Finish_Picture(int place) override;
  QImage Shown_Picture() override { return picture.Image().copy(); }
  void Back_To_Start() override { player.Show_Field(player.Slider_min); }
  void Pause(int ms) override;

  // --- Player_Host -------------------------------------------------------------------
  cls_AVI_handler* Capture_File() override { return &file; }
  bool Rotated_View() const override { return Rotated_View_; }
  int16_t Current_Stream() const override { return Current_Stream_; }
  int32_t& Delta_Reference() override { return session.Delta_Reference; }
  bool Marathon_Mode() const override { return Marathon_checked; }
  void Update_Marathon_Time() override {
    if (marathon_time) marathon_time();
  }
  void Zoom_Redraw() override;
  void P_Large_refresh() override { picture.Refresh(); }
  void Set_Focus() override;
  void Player_Changed() override { Changed(); }
  void Play_Enabled(bool enabled) override;

  // Picture width and height of the current layout.
  int32_t Picture_Width() const { return Rotated_View_ ? 576 : 720; }
  int32_t Picture_Height() const { return Rotated_View_ ? 720 : 576; }
  // Sets Rotated_View and lays the picture and the window out again.
  void Set_Rotated_View(bool rotated);

 private:
  void Changed();
  void Clear_Picture();
  class Renderer_Display;
  std::unique_ptr<Renderer_Display> display_core_;
  Field_Display* display_ = nullptr;
};

}  // namespace qm
