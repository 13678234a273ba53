#pragma once
// Form_Quaymark_marathon ("Quaymark marathon"): the race sheet beside the
// main window. A thin view over Marathon_Sheet: it shows the rows and the
// front-office labels and passes edits, clicks and menu commands down.

#include "shell/startup.h"

#include <QMainWindow>

#include <array>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTimer;

namespace qm {
class Marathon_Sheet;
}

namespace qm::ui {

class Form_Quaymark_marathon : public QMainWindow, public Loaded_Window {
  Q_OBJECT
 public:
  // Loads the window: position, the sheet's load, the disabled clock.
  Form_Quaymark_marathon(Marathon_Sheet& sheet, QWidget* main_window);
  ~Form_Quaymark_marathon() override;

  QString Window_Name() const override { return QStringLiteral("Form_Quaymark_marathon"); }
  void Unload() override;

  // Shows the sheet's rows and labels again.
  void Refresh();

  static constexpr int Rows = 30;
  QLineEdit* Text_racename = nullptr;
  QLabel* Label_PC_time = nullptr;
  QPushButton* Cmd_start = nullptr;
  QPushButton* Cmd_stop = nullptr;
  QGroupBox* Frame_fodf = nullptr;
  QLabel* Label_fodf = nullptr;
  QLabel* Label_fodf_status = nullptr;
  QLabel* Label_lastmodified = nullptr;
  QGroupBox* Frame_heats = nullptr;
  QLabel* Label_heats = nullptr;
  std::array<QLineEdit*, Rows> Text_heat{};
  std::array<QLineEdit*, Rows> Text_heat_name{};
  std::array<QLineEdit*, Rows> Text_start{};
  std::array<QLabel*, Rows> Label_heat_elapsed{};
  QTimer* Timer1 = nullptr;
  QMenu* menu_form = nullptr;
  QMenu* menu_debug = nullptr;
  QAction* item_create = nullptr;
  QAction* item_rename = nullptr;
  QAction* item_copy_xml = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void Build_Controls();
  void Build_Menus();
  Marathon_Sheet& sheet_;
  QWidget* central_ = nullptr;  // inside the scroll area
  bool closing_ = false;
  bool refreshing_ = false;
};

}  // namespace qm::ui
