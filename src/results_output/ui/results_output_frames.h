#pragma once
// The results window's output frames: "Results export" (format, folder,
// "Export"), the export message, and "Printer" (preview or printer), with
// the print commands of its menus. Thin: the state and the work are the
// core's Results_Export and Results_Printer.

#include "results_output/printing.h"
#include "results_output/results_export.h"

#include <QGroupBox>
#include <QObject>

#include <array>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace qm {
class Race_Session;
}

namespace qm::ui {

class Form_LCS_preview;
class Frm_results;

class Results_Output_Frames : public QObject {
  Q_OBJECT
 public:
  // Builds the frames into `window` and takes over its print, export and
  // debug commands. `main_window` gets the focus back after a format click.
  Results_Output_Frames(Frm_results& window, Race_Session& session, QWidget* main_window);
  ~Results_Output_Frames() override;

  Results_Export& Export() { return export_; }
  Results_Printer& Printer() { return printer_; }
  Form_LCS_preview* Preview() const { return preview_; }

  // The picture display the print commands use (set by the main window).
  void Set_Print_Player(Print_Player* player) { player_ = player; }
  // Camera time code of the shown field, for the file box.
  std::function<QString()> camera_time;
  // The program's title while printing (empty: back to normal).
  std::function<void(const QString&)> set_title;

  // Menu commands.
  void Handle_Print_results();
  void Handle_Print_Series();
  void Handle_Print_Single();
  void Printer_Test();
  void Handle_Preview();
  void Cmd_export_Click();

  // --- Controls -----------------------------------------------------------
  QGroupBox* Frm_export = nullptr;
  QGroupBox* Frm_export_format = nullptr;
  std::array<QRadioButton*, 2> Opt_exp_format{};  // 1 CSV, 2 XML at 0, 1
  QGroupBox* Frm_export_folder = nullptr;
  QLabel* Lbl_export_folder = nullptr;
  QPlainTextEdit* Text_remote = nullptr;
  QPushButton* Cmd_export = nullptr;
  QGroupBox* Frm_export_mess = nullptr;
  QPlainTextEdit* Text_export_mess = nullptr;
  QPushButton* Cmd_result_export_OK = nullptr;
  QGroupBox* Frm_printer = nullptr;
  std::array<QRadioButton*, 2> Opt_printer{};  // 0 Preview, 1 Printer

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Show_State();
  bool File_Check();
  Heat_Facts Facts() const;

  Frm_results& window_;
  Race_Session& session_;
  QWidget* main_window_ = nullptr;
  Results_Export export_;
  Results_Printer printer_;
  Form_LCS_preview* preview_ = nullptr;
  Print_Player* player_ = nullptr;
};

}  // namespace qm::ui
