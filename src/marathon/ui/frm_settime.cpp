#include "marathon/ui/frm_settime.h"

#include "marathon/marathon_entry.h"
#include "marathon/ui/marathon_window_pos.h"
#include "shell/settings.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm::ui {

namespace {

QLabel* Framed(QGridLayout* grid, int row, int col, const QString& caption, const QString& text,
               int point = 0, int span = 1) {
  auto* box = new QGroupBox(caption);
  auto* l = new QLabel(text, box);
  auto* v = new QVBoxLayout(box);
  v->setContentsMargins(6, 2, 6, 4);
  v->addWidget(l);
  if (point > 0) {
    QFont f = l->font();
    f.setPointSize(point);
    f.setBold(true);
    l->setFont(f);
  }
  grid->addWidget(box, row, col, 1, span);
  return l;
}

}  // namespace

// ---- frm_dualentry ------------------------------------------------------------------

frm_dualentry::frm_dualentry(Marathon_Result_Entry& entry, QWidget* parent)
    : QDialog(parent), entry_(entry) {
  setObjectName(QStringLiteral("frm_dualentry"));
  setWindowTitle(QStringLiteral("Duplicate entry"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
  setModal(true);
  auto* v = new QVBoxLayout(this);
  Label1 = new QLabel(QStringLiteral("This Heat/Competitor has already been assigned a time!"));
  v->addWidget(Label1);
  auto* row1 = new QHBoxLayout;
  auto* row2 = new QHBoxLayout;
  Command_override = new QPushButton(QStringLiteral("Override old entry"));
  Command_override->setToolTip(QStringLiteral("Replace earlier entry with this one"));
  Command_nothing = new QPushButton(QStringLiteral("Do nothing"));
  Command_previous = new QPushButton(QStringLiteral("Show earlier entry"));
  Command_previous->setToolTip(QStringLiteral("Shows the video frame for the earlier entry"));
  Command_current = new QPushButton(QStringLiteral("Show current position"));
  Command_current->setToolTip(QStringLiteral("Shows the current video frame"));
  Command_current->setEnabled(false);
  row1->addWidget(Command_override);
  row1->addWidget(Command_nothing);
  row2->addWidget(Command_previous);
  row2->addWidget(Command_current);
  v->addLayout(row1);
  v->addLayout(row2);
  for (QPushButton* b : {Command_override, Command_nothing, Command_previous, Command_current})
    b->setAutoDefault(false);
  connect(Command_override, &QPushButton::clicked, this, [this] {
    entry_.Override_Result();
    Sync();
  });
  connect(Command_nothing, &QPushButton::clicked, this, [this] {
    entry_.Do_Nothing();
    Sync();
  });
  connect(Command_previous, &QPushButton::clicked, this, [this] {
    entry_.See_Previous();
    Sync();
  });
  connect(Command_current, &QPushButton::clicked, this, [this] {
    entry_.See_Current();
    Sync();
  });
  setFixedSize(sizeHint());
}

void frm_dualentry::Sync() {
  const Dual_Entry_State& s = entry_.dual;
  // An entry made without a film has nothing to show.
  Command_previous->setEnabled(s.previous_enabled && !entry_.Earlier_File.isEmpty());
  Command_current->setEnabled(s.current_enabled);
  if (!s.visible && isVisible()) done(QDialog::Accepted);
}

void frm_dualentry::closeEvent(QCloseEvent* event) {
  entry_.Dual_Closed_By_Frame();
  event->accept();
  done(QDialog::Rejected);
  // Unloaded: the next duplicate loads it afresh.
  deleteLater();
}

// ---- Frm_Quaymark_Marathon_settime ----------------------------------------------------

Frm_Quaymark_Marathon_settime::Frm_Quaymark_Marathon_settime(Marathon_Result_Entry& entry,
                                                             QWidget* main_window)
    : QDialog(main_window), entry_(entry) {
  setObjectName(Window_Name());
  setWindowTitle(QStringLiteral("Quaymark Marathon set time"));
  // A fixed tool window on top of the others, without a Close of its own.
  setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                 Qt::WindowTitleHint);
  auto* grid = new QGridLayout(this);
  Lbl_heatID = Framed(grid, 0, 0, QStringLiteral("Heat ID"), entry_.Lbl_heatID);
  Lbl_heatname = Framed(grid, 0, 1, QStringLiteral("Heat name"), entry_.Lbl_heatname);
  Label_starttime = Framed(grid, 1, 0, QStringLiteral("Start time"), entry_.Label_starttime);
  Label_heattime = Framed(grid, 1, 1, QStringLiteral("Heat time"), entry_.Label_heattime);
  Label_elapsed = Framed(grid, 2, 0, QStringLiteral("Elapsed time"), entry_.Label_elapsed, 20, 2);
  Label_elapsed->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  auto* competitor = new QGroupBox(QStringLiteral("Competitor"));
  Text_kanoe_num = new QLineEdit(competitor);
  {
    auto* v = new QVBoxLayout(competitor);
    v->setContentsMargins(6, 2, 6, 4);
    v->addWidget(Text_kanoe_num);
    QFont f = Text_kanoe_num->font();
    f.setPointSize(20);
    f.setBold(true);
    Text_kanoe_num->setFont(f);
    Text_kanoe_num->setAlignment(Qt::AlignRight);
  }
  grid->addWidget(competitor, 3, 0, 1, 2);
  Label_num_competitors = new QLabel(entry_.Label_num_competitors);
  grid->addWidget(Label_num_competitors, 4, 0, 1, 2);
  Command_XML = new QPushButton(QStringLiteral("Set time"));
  Command_XML->setDefault(true);
  Command_close = new QPushButton(QStringLiteral("Close result file"));
  Command_close->setToolTip(QStringLiteral("Closes the current result file"));
  Command_close->setAutoDefault(false);
  grid->addWidget(Command_XML, 5, 0);
  grid->addWidget(Command_close, 5, 1);
  connect(Text_kanoe_num, &QLineEdit::textEdited, this,
          [this](const QString& t) { entry_.Text_kanoe_num = t; });
  connect(Command_XML, &QPushButton::clicked, this, [this] { entry_.Command_XML_Click(); });
  connect(Command_close, &QPushButton::clicked, this, [this] { entry_.Command_close_Click(); });

  entry_.on_change = [this] { Refresh(); };
  entry_.show_duplicate = [this] { Show_Duplicate(); };
  Restore_Form_Pos(*this, Window_Name());
  entry_.Form_Load();
  Refresh();
  setFixedSize(sizeHint().expandedTo(QSize(360, 0)));
  Window_Loaded(this);
}

Frm_Quaymark_Marathon_settime::~Frm_Quaymark_Marathon_settime() {
  closing_ = true;
  entry_.on_change = nullptr;
  entry_.show_duplicate = nullptr;
  Window_Unloaded(this);
}

void Frm_Quaymark_Marathon_settime::Refresh() {
  if (closing_) return;
  Lbl_heatID->setText(entry_.Lbl_heatID);
  Lbl_heatname->setText(entry_.Lbl_heatname);
  Label_starttime->setText(entry_.Label_starttime);
  Label_heattime->setText(entry_.Label_heattime);
  Label_elapsed->setText(entry_.Label_elapsed);
  if (Text_kanoe_num->text() != entry_.Text_kanoe_num)
    Text_kanoe_num->setText(entry_.Text_kanoe_num);
  Label_num_competitors->setText(entry_.Label_num_competitors);
  if (dualentry) dualentry->Sync();
  repaint();
}

void Frm_Quaymark_Marathon_settime::Show_Duplicate() {
  if (!dualentry) {
    dualentry = new frm_dualentry(entry_, this);
  }
  dualentry->Sync();
  dualentry->exec();
}

void Frm_Quaymark_Marathon_settime::closeEvent(QCloseEvent* event) {
  if (!closing_) {
    event->ignore();
    return;
  }
  event->accept();
}

void Frm_Quaymark_Marathon_settime::Unload() {
  Unload_Form(*this, *this);
}

}  // namespace qm::ui
