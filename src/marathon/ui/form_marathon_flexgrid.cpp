#include "marathon/ui/form_marathon_flexgrid.h"

#include "marathon/marathon_entry.h"
#include "marathon/ui/marathon_window_pos.h"
#include "shell/settings.h"

#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTableWidget>
#include <QVBoxLayout>

namespace qm::ui {

Form_Marathon_flexgrid::Form_Marathon_flexgrid(Marathon_Result_Entry& entry, QWidget* main_window)
    : QMainWindow(main_window), entry_(entry) {
  setObjectName(Window_Name());
  setWindowTitle(QStringLiteral("Marathon entered results"));
  setWindowFlags(Qt::Window);
  auto* central = new QWidget(this);
  auto* v = new QVBoxLayout(central);
  Label_file = new QLabel(central);
  QFont bold = Label_file->font();
  bold.setBold(true);
  Label_file->setFont(bold);
  // Two lines: the file, then the count.
  Label_file->setMinimumHeight(2 * QFontMetrics(bold).lineSpacing() + 4);
  v->addWidget(Label_file);
  MSFlexGrid1 = new QTableWidget(0, 3, central);
  MSFlexGrid1->setHorizontalHeaderLabels(
      {QStringLiteral("Heat Id"), QStringLiteral("Competitor"), QStringLiteral("Time")});
  MSFlexGrid1->verticalHeader()->hide();
  MSFlexGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  MSFlexGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
  MSFlexGrid1->horizontalHeader()->setStretchLastSection(true);
  MSFlexGrid1->viewport()->installEventFilter(this);
  v->addWidget(MSFlexGrid1);
  setCentralWidget(central);
  QMenu* form = menuBar()->addMenu(QStringLiteral("Form"));
  item_hide = form->addAction(QStringLiteral("Hide"));
  connect(item_hide, &QAction::triggered, this, [this] { hide(); });
  resize(480, 420);
  Restore_Form_Pos(*this, Window_Name());
  Window_Loaded(this);
}

Form_Marathon_flexgrid::~Form_Marathon_flexgrid() {
  MSFlexGrid1->viewport()->removeEventFilter(this);
  on_visibility = nullptr;
  Window_Unloaded(this);
}

void Form_Marathon_flexgrid::Fill() {
  grid.Fill(entry_.Result_File);
  MSFlexGrid1->clearContents();
  MSFlexGrid1->setRowCount(static_cast<int>(grid.rows.size()));
  for (int r = 0; r < MSFlexGrid1->rowCount(); ++r) {
    const Marathon_Grid_Row& row = grid.rows[static_cast<size_t>(r)];
    int c = 0;
    for (const QString& text : {row.heat_id, row.competitor, row.time}) {
      auto* item = new QTableWidgetItem(text);
      item->setTextAlignment(c == 0 ? Qt::AlignLeft | Qt::AlignVCenter
                                    : Qt::AlignRight | Qt::AlignVCenter);
      MSFlexGrid1->setItem(r, c++, item);
    }
  }
  // The label breaks its line at CR LF once.
  Label_file->setText(
      QString(grid.Label_file).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void Form_Marathon_flexgrid::Grid_Press(int row, Qt::MouseButton button) {
  if (row < 0 || row >= MSFlexGrid1->rowCount()) return;
  if (button == Qt::LeftButton) MSFlexGrid1->selectRow(row);
  if (button == Qt::RightButton) {
    grid.Delete_Row(row, entry_);
    Fill();
  }
}

bool Form_Marathon_flexgrid::eventFilter(QObject* watched, QEvent* event) {
  if (watched == MSFlexGrid1->viewport() && event->type() == QEvent::MouseButtonPress) {
    const auto* m = static_cast<QMouseEvent*>(event);
    Grid_Press(MSFlexGrid1->rowAt(m->position().toPoint().y()), m->button());
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void Form_Marathon_flexgrid::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) Fill();
}

void Form_Marathon_flexgrid::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  Fill();
  if (on_visibility) on_visibility(true);
}

void Form_Marathon_flexgrid::hideEvent(QHideEvent* event) {
  QMainWindow::hideEvent(event);
  if (on_visibility) on_visibility(false);
}

void Form_Marathon_flexgrid::Unload() {
  Unload_Form(*this, *this);
}

}  // namespace qm::ui
