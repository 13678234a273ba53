#pragma once
// Frm_export ("Export", main window debug command "Export form"): steps
// through the fields from an in-point to an out-point and hands each to
// Save_Jpeg, which writes nothing in this program.

#include "shell/startup.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace qm {
class Race_Player;
}

namespace qm::ui {

class Frm_export : public QDialog, public Loaded_Window {
  Q_OBJECT
 public:
  Frm_export(Race_Player& player, QString capture_file_name, QWidget* parent = nullptr);
  ~Frm_export() override;
  QString Window_Name() const override { return QStringLiteral("Frm_export"); }
  void Unload() override;

  void Text_inpoint_Click();
  void Text_outpoint_Click();
  // Steps the fields; false (with a beep) unless both points are filled.
  bool Cmd_export_Click();
  // The names the steps were handed under, for inspection.
  QStringList saved_names;

  QLineEdit* Text_inpoint = nullptr;
  QLineEdit* Text_outpoint = nullptr;
  QPushButton* Cmd_export = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  Race_Player& player_;
  QString file_name_;
};

// "C:\temp\kanottest\" + "Heat" + heat number + "_" + four-digit field + ".jpg".
QString Export_Jpeg_Name(const QString& capture_file_name, int32_t field);

}  // namespace qm::ui
