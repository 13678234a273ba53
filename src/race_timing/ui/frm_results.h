#pragma once
// Frm_results: the results window beside the main window. Sixteen result
// rows (place, lane, time, difference to the winner), the start-correction
// panel, and room below them for the export, export-message and printer
// frames. A thin view over the race session: it shows the session's rows
// and correction and passes presses down.

#include "shell/startup.h"

#include <QCursor>
#include <QMainWindow>

#include <array>
#include <functional>
#include <map>

class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;
class QVBoxLayout;

namespace qm {
class Race_Session;
}

namespace qm::ui {

class Frm_results : public QMainWindow, public Loaded_Window {
  Q_OBJECT
 public:
  // Menu commands that other parts of the program carry out.
  enum class Command {
    Print_results,
    Print_single_picture,
    Print_picture_series,
    Export_Results,
    Preview,
    Printer_test,
    Get_mapped_drive,
  };

  // `main_window`: the window this one stands beside (may be null).
  Frm_results(Race_Session& session, QWidget* main_window = nullptr, QWidget* parent = nullptr);
  ~Frm_results() override;

  QString Window_Name() const override { return QStringLiteral("Frm_results"); }
  void Unload() override;

  // Shows the session's rows, captions and correction again.
  void Refresh();
  // Left edge at the main window's right edge, top of the screen.
  void Place_Beside_Main();
  void Set_Main_Window(QWidget* w) { main_window_ = w; }

  // The frames of the results output go here, below the correction panel,
  // in the order added; the window grows to hold them.
  void Add_Output_Frame(QWidget* frame);
  QVBoxLayout* Output_Frames() const { return output_frames_; }

  // What a menu item does; without one it says it is not available yet.
  void Set_Command(Command c, std::function<void()> action);

  // --- Controls (names as the program knows them) ------------------------------
  QLabel* Lbl_event_name = nullptr;
  QLabel* LBL_XID = nullptr;
  QLabel* Lbl_heat = nullptr;
  QLabel* lbl_result_header = nullptr;
  std::array<QLabel*, 16> Lbl_result_rank{};
  std::array<QLabel*, 16> Lbl_result_lane{};
  std::array<QLabel*, 16> Lbl_result_time{};
  std::array<QLabel*, 16> Lbl_result_delta_time{};
  QGroupBox* Frm_create_time = nullptr;
  QLabel* Lbl_capture_time = nullptr;
  QGroupBox* Frm_time_select = nullptr;
  QLabel* Lbl_time = nullptr;
  QGroupBox* Frm_orig_time = nullptr;
  QGroupBox* Frm_correction = nullptr;
  QGroupBox* Frm_Corrected_time = nullptr;
  std::array<QLabel*, 4> Lbl_hms{};
  std::array<QLabel*, 4> Lbl_hms_correction{};
  std::array<QLabel*, 4> Lbl_hms_corrected{};
  QLabel* Lbl_Minus = nullptr;
  std::array<QPushButton*, 2> Cmd_time{};
  QMenu* menu_form = nullptr;
  QMenu* menu_debug = nullptr;
  QAction* item_export_results = nullptr;
  QAction* item_hide = nullptr;
  QAction* item_exit = nullptr;

  // Hold-to-repeat runs on this timer (single shot, re-armed per step).
  QTimer* repeat_timer = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  void Build_Rows(QVBoxLayout* column);
  void Build_Correction(QVBoxLayout* column);
  void Build_Menus();
  void Run(Command c, const QString& caption);
  void Cmd_time_MouseDown(int index);
  void Cmd_time_MouseUp();
  void Repeat_Tick();
  void Store_Position();

  Race_Session& session_;
  QWidget* main_window_ = nullptr;
  QVBoxLayout* output_frames_ = nullptr;
  std::map<Command, std::function<void()>> commands_;
  bool button_held_ = false;
  size_t listener_ = 0;  // our entry in the session's on_changed
};

// The "FRAME" pointer shown over a place that has a finishing field.
QCursor Frame_Cursor();

}  // namespace qm::ui
