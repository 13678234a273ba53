#pragma once
// Frm_Quaymark_Marathon_settime ("Quaymark Marathon set time") and the
// duplicate-entry window frm_dualentry: thin views over
// Marathon_Result_Entry.

#include "shell/startup.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QLineEdit;
class QPushButton;

namespace qm {
class Marathon_Result_Entry;
}

namespace qm::ui {

class frm_dualentry : public QDialog {
  Q_OBJECT
 public:
  frm_dualentry(Marathon_Result_Entry& entry, QWidget* parent);
  // Buttons from the entry's state; hidden once the entry says so.
  void Sync();

  QLabel* Label1 = nullptr;
  QPushButton* Command_override = nullptr;
  QPushButton* Command_nothing = nullptr;
  QPushButton* Command_previous = nullptr;
  QPushButton* Command_current = nullptr;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override {}  // Escape is no answer

 private:
  Marathon_Result_Entry& entry_;
};

class Frm_Quaymark_Marathon_settime : public QDialog, public Loaded_Window {
  Q_OBJECT
 public:
  // Loads the window: position, the results file, the entry count.
  Frm_Quaymark_Marathon_settime(Marathon_Result_Entry& entry, QWidget* main_window);
  ~Frm_Quaymark_Marathon_settime() override;

  QString Window_Name() const override { return QStringLiteral("Frm_Quaymark_Marathon_settime"); }
  void Unload() override;
  void Refresh();

  QLabel* Lbl_heatID = nullptr;
  QLabel* Lbl_heatname = nullptr;
  QLabel* Label_starttime = nullptr;
  QLabel* Label_heattime = nullptr;
  QLabel* Label_elapsed = nullptr;
  QLineEdit* Text_kanoe_num = nullptr;
  QLabel* Label_num_competitors = nullptr;
  QPushButton* Command_XML = nullptr;
  QPushButton* Command_close = nullptr;
  // Loaded by the first duplicate; deleted when closed by its frame.
  QPointer<frm_dualentry> dualentry;  // cleared by Qt when the dialog goes

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override {}

 private:
  void Show_Duplicate();
  Marathon_Result_Entry& entry_;
  bool closing_ = false;
};

}  // namespace qm::ui
