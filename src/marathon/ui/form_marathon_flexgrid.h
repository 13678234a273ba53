#pragma once
// Form_Marathon_flexgrid ("Marathon entered results"): every entry of the
// marathon results file in a grid, read again whenever the window becomes
// active; a right press on a row deletes that entry after asking.

#include "marathon/marathon_grid.h"
#include "shell/startup.h"

#include <QMainWindow>

#include <functional>

class QAction;
class QLabel;
class QTableWidget;

namespace qm {
class Marathon_Result_Entry;
}

namespace qm::ui {

class Form_Marathon_flexgrid : public QMainWindow, public Loaded_Window {
  Q_OBJECT
 public:
  Form_Marathon_flexgrid(Marathon_Result_Entry& entry, QWidget* main_window);
  ~Form_Marathon_flexgrid() override;

  QString Window_Name() const override { return QStringLiteral("Form_Marathon_flexgrid"); }
  void Unload() override;

  // Reads the results file again and shows it.
  void Fill();
  // A press on grid row `row` (0: the first entry below the header).
  void Grid_Press(int row, Qt::MouseButton button);

  QLabel* Label_file = nullptr;
  QTableWidget* MSFlexGrid1 = nullptr;
  QAction* item_hide = nullptr;
  Marathon_Grid grid;
  // Shown or hidden: the main window's check mark follows.
  std::function<void(bool shown)> on_visibility;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  Marathon_Result_Entry& entry_;
};

}  // namespace qm::ui
