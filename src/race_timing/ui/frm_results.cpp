#include "race_timing/ui/frm_results.h"

#include "platform/dialogs.h"
#include "race_timing/race_session.h"
#include "shell/app_globals.h"
#include "shell/settings.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace qm::ui {

namespace {

constexpr int Row_Height = 20;
const QColor Blue(0, 0, 255);
const QColor Dark_Red(128, 0, 0);

QFont Sans(int points, bool bold = false) {
  QFont f(QStringLiteral("MS Sans Serif"));
  f.setPointSize(points);
  f.setBold(bold);
  return f;
}

QLabel* Row_Label(QWidget* parent, const QColor& colour, int width) {
  auto* l = new QLabel(parent);
  l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  l->setFixedSize(width, Row_Height);
  l->setFont(Sans(12));
  QPalette p = l->palette();
  p.setColor(QPalette::WindowText, colour);
  l->setPalette(p);
  return l;
}

QLabel* Hms_Label(QWidget* parent, const QString& tip) {
  auto* l = new QLabel(QStringLiteral("00"), parent);
  l->setFont(Sans(12, true));
  l->setFrameShape(QFrame::Box);
  l->setAlignment(Qt::AlignCenter);
  l->setFixedSize(30, 24);
  l->setToolTip(tip);
  l->setAutoFillBackground(true);
  return l;
}

void Set_Text_Colour(QLabel* l, const QColor& c) {
  QPalette p = l->palette();
  p.setColor(QPalette::WindowText, c);
  l->setPalette(p);
}

void Set_Background(QLabel* l, const QColor* c) {
  QPalette p = l->palette();
  p.setColor(QPalette::Window, c ? *c : QApplication::palette().color(QPalette::Button));
  l->setPalette(p);
}

const std::array<const char*, 4> Tips{"Hours", "Minutes", "Seconds", "Seconds/10"};

}  // namespace

QCursor Frame_Cursor() {
  // A small film frame with a pointer spot at its top left.
  QPixmap pm(32, 32);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setPen(QPen(Qt::black, 2));
  p.setBrush(Qt::white);
  p.drawRect(4, 6, 22, 18);
  p.setBrush(Qt::black);
  for (int x = 7; x < 26; x += 5) {
    p.drawRect(x, 8, 2, 2);
    p.drawRect(x, 20, 2, 2);
  }
  p.drawEllipse(QPoint(1, 1), 1, 1);
  p.end();
  return QCursor(pm, 1, 1);
}

Frm_results::Frm_results(Race_Session& session, QWidget* main_window, QWidget* parent)
    : QMainWindow(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      session_(session),
      main_window_(main_window) {
  setObjectName(QStringLiteral("Frm_results"));
  setWindowTitle(QStringLiteral("Quaymark Results"));
  setFont(Sans(12));
  setMouseTracking(true);

  auto* central = new QWidget(this);
  central->setMouseTracking(true);
  auto* column = new QVBoxLayout(central);
  column->setSizeConstraint(QLayout::SetFixedSize);
  column->setContentsMargins(8, 6, 8, 8);
  column->setSpacing(4);

  Lbl_event_name = new QLabel(central);
  QFont serif(QStringLiteral("MS Serif"));
  serif.setPointSize(12);
  serif.setBold(true);
  Lbl_event_name->setFont(serif);
  column->addWidget(Lbl_event_name);

  auto* heat_line = new QHBoxLayout;
  LBL_XID = new QLabel(QStringLiteral("Heat ID:"), central);
  Lbl_heat = new QLabel(central);
  Lbl_heat->setFont(Sans(24));
  Set_Text_Colour(Lbl_heat, Blue);
  heat_line->addWidget(LBL_XID);
  heat_line->addWidget(Lbl_heat, 1);
  column->addLayout(heat_line);

  Build_Rows(column);

  Frm_create_time = new QGroupBox(QStringLiteral("Video file created at:"), central);
  auto* ct = new QVBoxLayout(Frm_create_time);
  Lbl_capture_time = new QLabel(Frm_create_time);
  ct->addWidget(Lbl_capture_time);
  Frm_create_time->hide();
  column->addWidget(Frm_create_time);

  Build_Correction(column);

  output_frames_ = new QVBoxLayout;
  output_frames_->setSpacing(4);
  column->addLayout(output_frames_);
  setCentralWidget(central);

  Build_Menus();

  repeat_timer = new QTimer(this);
  repeat_timer->setSingleShot(true);
  connect(repeat_timer, &QTimer::timeout, this, [this] { Repeat_Tick(); });

  listener_ = session_.on_changed.size();
  session_.on_changed.push_back([this] { Refresh(); });
  Refresh();
  Window_Loaded(this);
}

Frm_results::~Frm_results() {
  // The session may outlive the window: leave nothing pointing here.
  if (listener_ < session_.on_changed.size()) session_.on_changed[listener_] = nullptr;
  Window_Unloaded(this);
}

void Frm_results::Build_Rows(QVBoxLayout* column) {
  QWidget* parent = column->parentWidget();
  lbl_result_header = new QLabel(QStringLiteral("      Lane           Time        Delta"), parent);
  QFont hf = Sans(12, true);
  hf.setUnderline(true);
  lbl_result_header->setFont(hf);
  column->addWidget(lbl_result_header);

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(0);
  for (int r = 0; r < 16; ++r) {
    Lbl_result_rank[r] = Row_Label(parent, Qt::black, 24);
    Lbl_result_lane[r] = Row_Label(parent, Blue, 36);
    Lbl_result_time[r] = Row_Label(parent, Blue, 90);
    Lbl_result_delta_time[r] = Row_Label(parent, Dark_Red, 70);
    Lbl_result_rank[r]->setMouseTracking(true);
    Lbl_result_rank[r]->installEventFilter(this);
    grid->addWidget(Lbl_result_rank[r], r, 0);
    grid->addWidget(Lbl_result_lane[r], r, 1);
    grid->addWidget(Lbl_result_time[r], r, 2);
    grid->addWidget(Lbl_result_delta_time[r], r, 3);
  }
  column->addLayout(grid);
}

void Frm_results::Build_Correction(QVBoxLayout* column) {
  QWidget* parent = column->parentWidget();
  Frm_time_select = new QGroupBox(QStringLiteral("Start correction"), parent);
  Frm_time_select->installEventFilter(this);
  auto* v = new QVBoxLayout(Frm_time_select);
  Lbl_time = new QLabel(QStringLiteral("h  m  s  1/10"), Frm_time_select);
  Lbl_time->setFont(Sans(12, true));
  v->addWidget(Lbl_time);

  auto frame = [&](const QString& caption, std::array<QLabel*, 4>& labels) {
    auto* g = new QGroupBox(caption, Frm_time_select);
    g->installEventFilter(this);
    auto* h = new QHBoxLayout(g);
    h->setSpacing(2);
    for (size_t k = 0; k < 4; ++k) {
      labels[k] = Hms_Label(g, QString::fromLatin1(Tips[k]));
      labels[k]->installEventFilter(this);
      h->addWidget(labels[k]);
    }
    v->addWidget(g);
    return std::pair{g, h};
  };
  Frm_orig_time = frame(QStringLiteral("Original start time"), Lbl_hms).first;
  auto [corr, corr_row] = frame(QStringLiteral("Correction"), Lbl_hms_correction);
  Frm_correction = corr;
  Lbl_Minus = new QLabel(QStringLiteral("-"), Frm_correction);
  Lbl_Minus->setFont(Sans(12, true));
  Set_Text_Colour(Lbl_Minus, QColor(255, 0, 0));
  Lbl_Minus->hide();
  corr_row->insertWidget(0, Lbl_Minus);
  auto* buttons = new QVBoxLayout;
  buttons->setSpacing(0);
  for (int i = 0; i < 2; ++i) {
    Cmd_time[i] = new QPushButton(i == 0 ? QStringLiteral("\u25B2") : QStringLiteral("\u25BC"),
                                  Frm_correction);
    Cmd_time[i]->setFixedSize(22, 14);
    Cmd_time[i]->setFont(Sans(6));
    Cmd_time[i]->setFocusPolicy(Qt::NoFocus);
    connect(Cmd_time[i], &QPushButton::pressed, this, [this, i] { Cmd_time_MouseDown(i); });
    connect(Cmd_time[i], &QPushButton::released, this, [this] { Cmd_time_MouseUp(); });
    buttons->addWidget(Cmd_time[i]);
  }
  corr_row->addLayout(buttons);
  Frm_Corrected_time = frame(QStringLiteral("Corr. start time"), Lbl_hms_corrected).first;
  column->addWidget(Frm_time_select);
}

void Frm_results::Build_Menus() {
  menu_form = menuBar()->addMenu(QStringLiteral("Form"));
  auto add = [&](QMenu* m, const QString& caption, std::function<void()> f) {
    QAction* a = m->addAction(caption);
    connect(a, &QAction::triggered, this, [f = std::move(f)] { f(); });
    return a;
  };
  add(menu_form, QStringLiteral("Print results"),
      [this] { Run(Command::Print_results, QStringLiteral("Print results")); });
  add(menu_form, QStringLiteral("Print single picture"),
      [this] { Run(Command::Print_single_picture, QStringLiteral("Print single picture")); });
  add(menu_form, QStringLiteral("Print picture series"),
      [this] { Run(Command::Print_picture_series, QStringLiteral("Print picture series")); });
  add(menu_form, QStringLiteral("Clear all results"),
      [this] { session_.Clear_All_Results_Command(); });
  item_export_results = add(menu_form, QStringLiteral("Export Results"), [this] {
    Run(Command::Export_Results, QStringLiteral("Export Results"));
  });
  item_export_results->setVisible(false);
  item_hide = add(menu_form, QStringLiteral("Hide"), [this] { hide(); });
  item_hide->setVisible(false);
  item_exit = add(menu_form, QStringLiteral("Exit"), [] { Quaymark_exit(); });
  item_exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));

  menu_debug = menuBar()->addMenu(QStringLiteral("Debug"));
  add(menu_debug, QStringLiteral("Preview"), [this] {
    if (commands_.count(Command::Preview)) commands_[Command::Preview]();
  });
  add(menu_debug, QStringLiteral("Printer test"),
      [this] { Run(Command::Printer_test, QStringLiteral("Printer test")); });
  add(menu_debug, QStringLiteral("Get mapped drive"),
      [this] { Run(Command::Get_mapped_drive, QStringLiteral("Get mapped drive")); });
  add(menu_debug, QStringLiteral("Test position"), [this] { Place_Beside_Main(); });
  add(menu_debug, QStringLiteral("Load results"), [this] { session_.Complete_Result_Array(); });
  const bool ctrl = QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier;
  menu_debug->menuAction()->setVisible(!app().Trap_Errors || ctrl);
}

void Frm_results::Set_Command(Command c, std::function<void()> action) {
  commands_[c] = std::move(action);
}

void Frm_results::Run(Command c, const QString& caption) {
  auto it = commands_.find(c);
  if (it != commands_.end() && it->second) {
    it->second();
    return;
  }
  MsgBox(caption + QStringLiteral(" is not available yet"));
}

void Frm_results::Add_Output_Frame(QWidget* frame) {
  frame->setParent(centralWidget());
  output_frames_->addWidget(frame);
}

void Frm_results::Refresh() {
  const Result_Rows& rows = session_.rows;
  Lbl_event_name->setText(rows.Lbl_event_name);
  Lbl_heat->setText(rows.Lbl_heat);
  Lbl_capture_time->setText(rows.Lbl_capture_time);
  for (size_t r = 0; r < 16; ++r) {
    const Result_Row& row = rows.rows[r];
    Lbl_result_rank[r]->setText(row.place);
    Lbl_result_lane[r]->setText(row.lane);
    Lbl_result_time[r]->setText(row.time);
    Lbl_result_delta_time[r]->setText(row.delta);
  }
  const Start_Correction::Display d = session_.correction.Texts();
  const QColor orange = Start_Correction::Selected_Colour();
  for (size_t k = 0; k < 4; ++k) {
    Lbl_hms[k]->setText(d.original[k]);
    Lbl_hms_correction[k]->setText(d.correction[k]);
    Set_Text_Colour(Lbl_hms_correction[k], d.correction_colour);
    Set_Background(Lbl_hms_correction[k],
                   session_.correction.Selected() == static_cast<int>(k) ? &orange : nullptr);
    Lbl_hms_corrected[k]->setText(d.corrected[k]);
  }
  Lbl_Minus->setVisible(d.minus_visible);
}

bool Frm_results::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type t = event->type();
  for (int r = 0; r < 16; ++r) {
    if (watched != Lbl_result_rank[r]) continue;
    if (t == QEvent::MouseButtonPress) {
      session_.Place_Row_Pressed(r);
      if (main_window_) main_window_->activateWindow();
      return true;
    }
    if (t == QEvent::MouseMove || t == QEvent::Enter) {
      Lbl_result_rank[r]->setCursor(session_.File_open() && session_.Place_Row_Has_Time(r)
                                        ? Frame_Cursor()
                                        : QCursor(Qt::ArrowCursor));
    }
    return false;
  }
  if (t == QEvent::MouseButtonPress) {
    auto* me = static_cast<QMouseEvent*>(event);
    for (int k = 0; k < 4; ++k) {
      if (watched != Lbl_hms_correction[k]) continue;
      if (me->button() == Qt::RightButton)
        session_.Correction_Reset();
      else
        session_.Correction_Label_Clicked(k);
      return true;
    }
    // Any other part of the panel: no component chosen any more.
    session_.Correction_Panel_Clicked();
    return false;
  }
  return QMainWindow::eventFilter(watched, event);
}

void Frm_results::mouseMoveEvent(QMouseEvent* event) {
  unsetCursor();
  QMainWindow::mouseMoveEvent(event);
}

void Frm_results::Cmd_time_MouseDown(int index) {
  button_held_ = true;
  const int32_t wait = session_.Correction_Press(index == 0);
  if (wait > 0) repeat_timer->start(wait);
}

void Frm_results::Repeat_Tick() {
  if (!button_held_) return;
  const int32_t wait = session_.Correction_Repeat();
  if (wait > 0) repeat_timer->start(wait);
}

void Frm_results::Cmd_time_MouseUp() {
  button_held_ = false;
  repeat_timer->stop();
  session_.Correction_Release();
}

void Frm_results::Place_Beside_Main() {
  if (!main_window_) return;
  const QRect frame = main_window_->frameGeometry();
  int top = 0;
  if (const QScreen* s = main_window_->screen()) top = s->availableGeometry().top();
  move(frame.right() + 1, top);
}

void Frm_results::Store_Position() {
  const QRect g = frameGeometry();
  Store_Form_Pos(objectName(), g.left() * Twips_Per_Pixel, g.top() * Twips_Per_Pixel,
                 g.width() * Twips_Per_Pixel, g.height() * Twips_Per_Pixel);
}

void Frm_results::Unload() {
  Store_Position();
  hide();
}

void Frm_results::closeEvent(QCloseEvent* event) {
  Store_Position();
  QMainWindow::closeEvent(event);
}

}  // namespace qm::ui
