#pragma once
// Frm_kanot_2: the operator's workplace. The video picture on the left, a
// column of small frames on the right (camera data, options, logo, time
// read-outs, playback), and the menus. A thin view over Kanot_Core: it shows
// the core's state and passes mouse, keys and menu commands down.

#include "results_output/printing.h"
#include "shell/about_info.h"
#include "shell/file_opening.h"
#include "shell/startup.h"

#include <QMainWindow>

#include <functional>

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QSlider;
class QTimer;

namespace qm::ui {

class Frm_about;
class Frm_kanot_2;
class Marathon_Windows;
class Results_Output_Frames;

// Picture_large: shows the core's persistent picture; mouse events go to the
// window's dispatch in picture pixels.
class Picture_Box : public QWidget {
  Q_OBJECT
 public:
  explicit Picture_Box(Frm_kanot_2& owner, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  Frm_kanot_2& owner_;
};

class Frm_kanot_2 : public QMainWindow, public Kanot_View, public Loaded_Window {
  Q_OBJECT
 public:
  explicit Frm_kanot_2(QWidget* parent = nullptr);
  ~Frm_kanot_2() override;

  Kanot_Core core;

  // --- Kanot_View ---------------------------------------------------------------
  void Arrange_layout() override;
  void State_Changed() override;
  void Set_Focus() override;
  void Process_Events() override;
  void Default_Pointer() override;
  void Play_Enabled(bool enabled) override;
  void Results_Cleared() override;

  // --- Loaded_Window --------------------------------------------------------------
  QString Window_Name() const override { return QStringLiteral("Frm_kanot_2"); }
  void Unload() override;

  // --- Start-up steps of the window (its load event) ---------------------------
  // Steps 1 to 21 of the main window's start-up; false when the program ends
  // (no INI file wanted, or another instance runs).
  bool Form_Load(Instance_Lock* instance);

  // --- Layout ----------------------------------------------------------------------
  void Arrange_Picture();
  void Arrange_frames();
  void SliderPlay_Focus();
  void P_Large_refresh();

  // --- Commands --------------------------------------------------------------------
  void Cmd_play_Click();
  void Run_Intro();
  void Show_File_Properties();
  void Not_Available(const QString& what);
  void Help_Menu_Opened();
  // Picture_logo: the event logo in use, or the program's own.
  void Show_Logo();
  // "About" (Ctrl+A): frmAbout, made at the first use.
  void item_about_Click();
  // Specials "Disk performance" and "printer test".
  void item_disk_performance_Click();
  void item_printer_test_Click();
  // Specials "Convert file": the hourglass pointer while frames are copied.
  void item_convert_file_Click();

  Frm_about* about = nullptr;
  // The About window's local address lookup (tests put their own in place).
  Host_Lookup host_lookup = System_Host_Lookup();
  // "Disk performance" as it runs (tests make it small).
  Disk_Test disk_test;

  // The results window placed at the right edge and shown with this one,
  // and its output frames (printing, logo, export).
  QWidget* results_window = nullptr;
  Results_Output_Frames* output = nullptr;
  // The marathon windows, made on first use (marathon/ui).
  Marathon_Windows* marathon = nullptr;
  Marathon_Windows& Marathon();
  // The default printer as start-up asks it (tests answer "none").
  std::function<Printer_Query()> ask_printer;
  // The intro's pauses (tests put a no-op in place).
  std::function<void(int ms)> intro_pause;
  bool activated = false;
  bool intro_shown = false;
  bool Intro_On_Activate = true;

  // --- Controls ------------------------------------------------------------------------
  Picture_Box* Picture_large = nullptr;
  QLabel* Pict_lane_result = nullptr;
  QLabel* Picture_intro = nullptr;
  QLabel* Picture_intro_2 = nullptr;
  QGroupBox* frm_DV_AUX = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Lbl_exp_time = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Lbl_cam_time = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Lbl_capture_time = nullptr;
  QLabel* Label7 = nullptr;
  QLabel* Lbl_filesize = nullptr;
  QGroupBox* Frm_options = nullptr;
  QCheckBox* Chk_Show_lanemarks = nullptr;
  QCheckBox* Chk_Flip_Lanemarks = nullptr;
  QCheckBox* Chk_reverse_lanes = nullptr;
  QCheckBox* Chk_Show_Goalline = nullptr;
  QCheckBox* Chk_invert_goalline = nullptr;
  QLabel* Picture_logo = nullptr;
  QGroupBox* Frm_time = nullptr;
  QLabel* Lbl_heatID = nullptr;
  QLabel* Label_heatID = nullptr;
  QLabel* lbl_starttime = nullptr;
  QLabel* Label_start_time = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* Lbl_elapsed_time = nullptr;
  QLabel* Label6 = nullptr;
  QLabel* Lbl_delta_time = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Lbl_frameno = nullptr;
  QGroupBox* Frm_play = nullptr;
  QGroupBox* Frame1 = nullptr;
  QSlider* Slider_play = nullptr;
  QPushButton* Cmd_play = nullptr;
  QLabel* Pict_heat_time = nullptr;
  QTimer* Timer_keyb_event = nullptr;

  // --- Menus -------------------------------------------------------------------------
  QMenu* menu_file = nullptr;
  QMenu* menu_newest = nullptr;
  QMenu* menu_settings = nullptr;
  QMenu* menu_help = nullptr;
  QMenu* menu_result = nullptr;
  QMenu* menu_specials = nullptr;
  QMenu* menu_debug = nullptr;
  QAction* item_open = nullptr;
  std::array<QAction*, 4> item_newest{};
  QAction* item_open_last = nullptr;
  QAction* item_close = nullptr;
  QAction* item_zoom = nullptr;
  QAction* item_play = nullptr;
  QAction* item_marathon = nullptr;
  QAction* item_show_flexgrid = nullptr;
  QAction* item_video_capture = nullptr;
  QAction* item_exit = nullptr;
  QAction* item_give_event_name = nullptr;
  QAction* item_select_logo = nullptr;
  QAction* item_about = nullptr;
  QAction* item_toggle_lanes_locked = nullptr;
  // The pop-up's items: "Set time", "Disqualified", "Did not finish",
  // "Did not start", "Set time + 1/100", "Clear this lane".
  std::array<QAction*, 6> item_result{};
  // Returns the action of a menu by caption (tests and the Ctrl-click rule).
  QAction* Menu_Item(QMenu* menu, const QString& caption) const;

  // The "Result" menu pops up here; tests put their own runner in place.
  std::function<void(QMenu* menu, const QPoint& global)> popup;

  // The keys of the slider (installed on it).
  bool Slider_Key(QKeyEvent* event);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  friend class Picture_Box;
  void Build_Controls();
  void Build_Menus();
  void Picture_Press(QMouseEvent* event);
  void Picture_Move(QMouseEvent* event);
  void Picture_Release(QMouseEvent* event);
  void Form_Activate();
  void Slider_Moved(int value);
  void Option_Clicked();
  void Timer_keyb();
  bool unloading_ = false;
  bool syncing_ = false;
};

// The magnifier pointer of the zoom window, drawn by us.
QCursor Magnify_Cursor();
// The "INTRO" picture, drawn by us.
QPixmap Intro_Picture();
// The keep-awake tap: SimulateUserActivity on the session bus's screen
// saver, when there is a session bus.
void Keep_Awake();

}  // namespace qm::ui
