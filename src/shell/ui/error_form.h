#pragma once
// KVS_error_form: the error report window. Loaded once at start-up, then
// only shown and hidden, so the operator's comments survive from one report
// to the next. Stays above all other windows.

#include "shell/error_report.h"
#include "shell/startup.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPrinter;
class QPushButton;
class QUrl;

namespace qm::ui {

// Places `w` above all other windows without moving or sizing it.
void MakeTopMost(QWidget* w);

class KVS_error_form : public QDialog, public Error_Report_View, public Loaded_Window {
  Q_OBJECT
 public:
  explicit KVS_error_form(QWidget* parent = nullptr);
  ~KVS_error_form() override;

  // Error_Report_View
  void Show_Report(const QString& report_text) override;
  QString Comments() const override;
  void Set_Captions(const QString& caption, const QString& heading) override;

  // Loaded_Window
  QString Window_Name() const override { return QStringLiteral("KVS_error_form"); }
  void Unload() override;

  // The buttons' commands.
  void Cmd_print_error_Click();
  void Cmd_save_log_Click();
  void Cmd_mailto_Click();
  void Cmd_continue_Click();
  void Cmd_exit_Click();

  // What the window asks of the system; tests put their own in place.
  std::function<bool()> printer_available;         // QPrinterInfo
  std::function<void(QPrinter&)> prepare_printer;  // before printing (default printer)
  std::function<bool(const QUrl&)> open_url;       // QDesktopServices

  QLabel* Lbl_heading = nullptr;
  QLabel* err_lbl = nullptr;
  QPlainTextEdit* Text_error_comments = nullptr;
  QProgressBar* Progress = nullptr;
  QPushButton* Cmd_print_error = nullptr;
  QPushButton* Cmd_save_log = nullptr;
  QPushButton* Cmd_mailto = nullptr;
  QPushButton* Cmd_continue = nullptr;
  QPushButton* Cmd_exit = nullptr;

 private:
  QString report_;  // the report on show, with its CR LF line ends
};

}  // namespace qm::ui
