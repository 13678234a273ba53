// Frm_kanot_2: controls, layout, state mirroring, focus, activation, closing.
#include "shell/ui/main_window.h"

#include "marathon/ui/marathon_windows.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "shell/app_globals.h"
#include "shell/settings.h"
#include "shell/trace.h"
#include "shell/ui/key_state.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QThread>
#include <QTimer>
#include <QWindowStateChangeEvent>

namespace qm::ui {

namespace {
constexpr const char* frm_kanot_2 = "frm_kanot_2";
constexpr const char* Frm_kanot_2_name = "Frm_kanot_2";
constexpr int Column_Width = 200;
// The title bar the desktop adds above the client area.
constexpr int Title_Bar = 30;

QLabel* Read_Out(QWidget* parent, const QColor& colour, bool right, const QString& tip,
                 int point = 0, bool bold = false, const QString& family = {}) {
  auto* l = new QLabel(parent);
  l->setFrameStyle(QFrame::Box | QFrame::Plain);
  l->setAutoFillBackground(true);
  QPalette p = l->palette();
  p.setColor(QPalette::WindowText, colour);
  p.setColor(QPalette::Window, Qt::white);
  l->setPalette(p);
  l->setAlignment((right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
  if (!tip.isEmpty()) l->setToolTip(tip);
  QFont f = family.isEmpty() ? l->font() : QFont(family);
  if (point > 0) f.setPointSizeF(point);
  f.setBold(bold);
  l->setFont(f);
  return l;
}
QLabel* Caption_Label(QWidget* parent, const QString& text) {
  return new QLabel(text, parent);
}
}  // namespace

// ---- Picture_large ---------------------------------------------------------------

Picture_Box::Picture_Box(Frm_kanot_2& owner, QWidget* parent) : QWidget(parent), owner_(owner) {
  setMouseTracking(false);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void Picture_Box::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, owner_.core.picture.Image());
}
void Picture_Box::mousePressEvent(QMouseEvent* e) {
  owner_.Picture_Press(e);
}
void Picture_Box::mouseMoveEvent(QMouseEvent* e) {
  owner_.Picture_Move(e);
}
void Picture_Box::mouseReleaseEvent(QMouseEvent* e) {
  owner_.Picture_Release(e);
}

// ---- The window ---------------------------------------------------------------------

Frm_kanot_2::Frm_kanot_2(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("Frm_kanot_2"));
  // No maximise button and no Close of its own: the window is left through "Exit".
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowMinimizeButtonHint);
  QPalette pal = palette();
  pal.setColor(QPalette::WindowText, Qt::black);
  setPalette(pal);
  resize(13410 / Twips_Per_Pixel, 9765 / Twips_Per_Pixel);
  intro_pause = [](int ms) {
    // Waits on the clock in steps of 10 ms; no events run meanwhile.
    for (int waited = 0; waited < ms; waited += 10) QThread::msleep(10);
  };
  popup = [](QMenu* menu, const QPoint& at) { menu->exec(at); };
  core.view = this;
  core.picture.on_refresh = [this] { P_Large_refresh(); };
  Build_Controls();
  Build_Menus();
  Key_State::Instance();
  Window_Loaded(this);
}

Frm_kanot_2::~Frm_kanot_2() {
  core.view = nullptr;
  core.picture.on_refresh = nullptr;
}

void Frm_kanot_2::Build_Controls() {
  auto* central = new QWidget(this);
  central->setObjectName(QStringLiteral("central"));
  setCentralWidget(central);
  central->installEventFilter(this);

  Picture_large = new Picture_Box(*this, central);
  Picture_large->setObjectName(QStringLiteral("Picture_large"));
  Pict_lane_result = new QLabel(Picture_large);
  Pict_lane_result->setGeometry(0, 0, 2415 / Twips_Per_Pixel, 375 / Twips_Per_Pixel);
  Pict_lane_result->hide();
  Picture_intro = new QLabel(central);
  Picture_intro->setScaledContents(true);
  Picture_intro->hide();
  Picture_intro->installEventFilter(this);
  Picture_intro_2 = new QLabel(central);
  Picture_intro_2->hide();

  const QColor blue(0, 0, 255);
  // "DV data"
  frm_DV_AUX = new QGroupBox(QStringLiteral("DV data"), central);
  frm_DV_AUX->installEventFilter(this);
  Label3 = Caption_Label(frm_DV_AUX, QStringLiteral("Shutter"));
  Label3->installEventFilter(this);
  Lbl_exp_time = Read_Out(frm_DV_AUX, blue, true, QStringLiteral("Indicates camera shutter speed"));
  Label2 = Caption_Label(frm_DV_AUX, QStringLiteral("Camera time"));
  Lbl_cam_time =
      Read_Out(frm_DV_AUX, blue, false, QStringLiteral("Indicates camera real-time clock"));
  Label1 = Caption_Label(frm_DV_AUX, QStringLiteral("Capture time"));
  Lbl_capture_time = Read_Out(frm_DV_AUX, blue, false, QStringLiteral("PC time for capture"));
  Label7 = Caption_Label(frm_DV_AUX, QStringLiteral("File size"));
  Lbl_filesize = Read_Out(frm_DV_AUX, blue, true, QStringLiteral("Size of the current file"));
  {
    int y = 18;
    for (auto [cap, val] : {std::pair{Label3, Lbl_exp_time}, std::pair{Label2, Lbl_cam_time},
                            std::pair{Label1, Lbl_capture_time}, std::pair{Label7, Lbl_filesize}}) {
      cap->setGeometry(6, y, 80, 20);
      val->setGeometry(80, y, Column_Width - 88, 20);
      y += 24;
    }
    frm_DV_AUX->resize(Column_Width, y + 4);
  }

  // "Options"
  Frm_options = new QGroupBox(QStringLiteral("Options"), central);
  Frm_options->installEventFilter(this);
  Chk_Show_lanemarks = new QCheckBox(QStringLiteral("Show lane markers"), Frm_options);
  Chk_Show_lanemarks->setChecked(true);
  Chk_Flip_Lanemarks = new QCheckBox(QStringLiteral("Flip lane markers"), Frm_options);
  Chk_reverse_lanes = new QCheckBox(QStringLiteral("Reverse lanes"), Frm_options);
  Chk_reverse_lanes->hide();
  Chk_reverse_lanes->setEnabled(false);
  Chk_Show_Goalline = new QCheckBox(QStringLiteral("Show goalline"), Frm_options);
  Chk_Show_Goalline->setChecked(true);
  Chk_invert_goalline = new QCheckBox(QStringLiteral("Invert goalline"), Frm_options);
  {
    int y = 18;
    for (QCheckBox* c :
         {Chk_Show_lanemarks, Chk_Flip_Lanemarks, Chk_Show_Goalline, Chk_invert_goalline}) {
      c->setGeometry(8, y, Column_Width - 16, 20);
      c->setFocusPolicy(Qt::NoFocus);
      connect(c, &QCheckBox::clicked, this, [this] { Option_Clicked(); });
      y += 22;
    }
    Frm_options->resize(Column_Width, y + 4);
  }

  Picture_logo = new QLabel(central);
  Picture_logo->resize(1815 / Twips_Per_Pixel, 750 / Twips_Per_Pixel);
  Picture_logo->setScaledContents(true);

  // "Time"
  Frm_time = new QGroupBox(QStringLiteral("Time"), central);
  Lbl_heatID = Caption_Label(Frm_time, QStringLiteral("Heat ID"));
  Label_heatID = Read_Out(Frm_time, blue, true, {}, 12, true);
  Label_heatID->setText(QStringLiteral("HeatID"));
  lbl_starttime = Caption_Label(Frm_time, QStringLiteral("Start time"));
  Label_start_time = Read_Out(Frm_time, QColor(128, 64, 64), true, {});
  Label5 = Caption_Label(Frm_time, QStringLiteral("Elapsed time"));
  Lbl_elapsed_time = Read_Out(Frm_time, blue, true, QStringLiteral("Display absolute heat time"),
                              18, true, QStringLiteral("Arial"));
  Lbl_elapsed_time->setText(QStringLiteral("00:00,00"));
  Label6 = Caption_Label(Frm_time, QStringLiteral("Delta time"));
  Lbl_delta_time =
      Read_Out(Frm_time, QColor(128, 128, 255), true, QStringLiteral("Displays delta time"), 14,
               true, QStringLiteral("Arial"));
  Lbl_delta_time->setText(QStringLiteral("00:00,00"));
  Lbl_delta_time->installEventFilter(this);
  Label4 = Caption_Label(Frm_time, QStringLiteral("Video field"));
  Lbl_frameno =
      Read_Out(Frm_time, blue, true, QStringLiteral("Displays video field number"), 12, true);
  Lbl_frameno->setText(QStringLiteral("0"));
  {
    int y = 18;
    const int w = Column_Width - 12;
    for (auto [cap, val, h] :
         {std::tuple{Lbl_heatID, Label_heatID, 24}, std::tuple{lbl_starttime, Label_start_time, 20},
          std::tuple{Label5, Lbl_elapsed_time, 34}, std::tuple{Label6, Lbl_delta_time, 28},
          std::tuple{Label4, Lbl_frameno, 24}}) {
      cap->setGeometry(6, y, w, 16);
      val->setGeometry(6, y + 16, w, h);
      y += 16 + h + 4;
    }
    Frm_time->resize(Column_Width, y + 4);
  }

  // "Video Play"
  Frm_play = new QGroupBox(QStringLiteral("Video Play"), central);
  Frame1 = new QGroupBox(QStringLiteral("Scroll"), Frm_play);
  Frame1->setGeometry(6, 18, Column_Width - 12, 48);
  Slider_play = new QSlider(Qt::Horizontal, Frame1);
  Slider_play->setObjectName(QStringLiteral("Slider_play"));
  Slider_play->setGeometry(6, 18, Column_Width - 24, 24);
  Slider_play->setToolTip(QStringLiteral("Scrolls the video file"));
  Slider_play->setFocusPolicy(Qt::StrongFocus);
  Slider_play->setRange(1, 1);
  Slider_play->setPageStep(5);
  Slider_play->installEventFilter(this);
  connect(Slider_play, &QSlider::valueChanged, this, [this](int v) { Slider_Moved(v); });
  Cmd_play = new QPushButton(QStringLiteral("Play"), Frm_play);
  Cmd_play->setGeometry(6, 72, 80, 26);
  Cmd_play->setFocusPolicy(Qt::NoFocus);
  connect(Cmd_play, &QPushButton::clicked, this, [this] { Cmd_play_Click(); });
  Frm_play->resize(Column_Width, 104);

  Pict_heat_time = new QLabel(central);
  Pict_heat_time->hide();

  Timer_keyb_event = new QTimer(this);
  Timer_keyb_event->setInterval(60000);
  connect(Timer_keyb_event, &QTimer::timeout, this, [this] { Timer_keyb(); });
  Timer_keyb_event->start();

  // The player's keyboard state comes from the application-wide filter.
  core.player.hooks.ctrl_held = [] { return Key_State::Instance().Ctrl_Held(); };
  core.player.hooks.held_key = [] { return Key_State::Instance().First_Held(); };
  core.player.hooks.process_events = [] { QCoreApplication::processEvents(); };
}

// ---- Layout ------------------------------------------------------------------------------

void Frm_kanot_2::Arrange_Picture() {
  Trapped(Where_Form("arrange_picture", Frm_kanot_2_name), [&] {
    const int w = core.Picture_Width(), h = core.Picture_Height();
    core.picture.Resize(w, h);
    Picture_large->setGeometry(0, 0, w, h);
  });
}

void Frm_kanot_2::Arrange_frames() {
  Trapped(Where_Form("Arrange_Frames", frm_kanot_2), [&] {
    const QRect pic = Picture_large->geometry();
    const int left = pic.x() + pic.width() + 10;
    frm_DV_AUX->move(left, pic.y());
    Frm_options->move(left, frm_DV_AUX->y() + frm_DV_AUX->height() + 5);
    Picture_logo->move(left, Frm_options->y() + Frm_options->height() + 5);
    const int logo_bottom = Picture_logo->y() + Picture_logo->height();
    if (!core.Rotated_View_) {
      Frm_time->move(left, logo_bottom + 5);
      Frm_play->move(left, Frm_time->y() + Frm_time->height() + 5);
    } else {
      const int pic_bottom = pic.y() + pic.height();
      Frm_play->move(left, pic_bottom - Frm_play->height());
      Frm_time->move(left, Frm_play->y() - 5 - Frm_time->height());
    }
    // Width: right of "DV data" and 250 twips; portrait also sets the height.
    const int width = frm_DV_AUX->x() + frm_DV_AUX->width() + 250 / Twips_Per_Pixel;
    int height = this->height();
    // Portrait: 65 pixels below the picture, the title bar included.
    if (core.Rotated_View_) height = pic.y() + pic.height() + 65 - Title_Bar + menuBar()->height();
    resize(width, height);
  });
}

void Frm_kanot_2::Arrange_layout() {
  Arrange_Picture();
  Arrange_frames();
}

void Frm_kanot_2::P_Large_refresh() {
  if (Picture_large) Picture_large->update();
}

// ---- Mirroring the core ----------------------------------------------------------------

void Frm_kanot_2::State_Changed() {
  if (syncing_) return;
  syncing_ = true;
  setWindowTitle(core.Caption.isEmpty() ? app().Product_Name : core.Caption);
  const Read_Outs& r = core.player.read_outs;
  Lbl_frameno->setText(r.Lbl_frameno);
  Lbl_elapsed_time->setText(r.Lbl_elapsed_time);
  Lbl_delta_time->setText(r.Lbl_delta_time);
  Lbl_cam_time->setText(r.Lbl_cam_time);
  Lbl_exp_time->setText(r.Lbl_exp_time);
  Lbl_capture_time->setText(core.labels.Lbl_capture_time);
  Lbl_filesize->setText(core.labels.Lbl_filesize);
  Label_heatID->setText(core.labels.Label_heatID);
  Label_start_time->setText(core.labels.Label_start_time);
  {
    const QSignalBlocker block(Slider_play);
    Slider_play->setRange(core.player.Slider_min, core.player.Slider_max);
    Slider_play->setValue(core.player.Slider_value);
    Slider_play->setSingleStep(core.player.Small_step);
  }
  const Race_Session& s = core.session;
  Chk_Show_lanemarks->setChecked(s.Lanes_shown);
  Chk_Flip_Lanemarks->setChecked(s.Lanes_flipped_box);
  Chk_Show_Goalline->setChecked(s.Goalline_shown);
  Chk_invert_goalline->setChecked(s.Goalline_inverted);
  item_zoom->setChecked(core.zoom.Zoom_On);
  item_marathon->setChecked(core.Marathon_checked);
  item_toggle_lanes_locked->setChecked(s.Lanes_locked_checked);
  for (int i = 0; i < 4; ++i) {
    item_newest[i]->setText(core.Newest_caption[i]);
    item_newest[i]->setVisible(core.Newest_visible[i]);
  }
  syncing_ = false;
}

void Frm_kanot_2::Slider_Moved(int value) {
  if (syncing_) return;
  core.player.Slider_value = value;
  core.player.Slider_play_Scroll();
}

void Frm_kanot_2::Option_Clicked() {
  Race_Session& s = core.session;
  s.Lanes_shown = Chk_Show_lanemarks->isChecked();
  s.Lanes_flipped_box = Chk_Flip_Lanemarks->isChecked();
  s.Goalline_shown = Chk_Show_Goalline->isChecked();
  s.Goalline_inverted = Chk_invert_goalline->isChecked();
  core.Option_Released();
  Set_Focus();
}

// ---- Focus and activation ----------------------------------------------------------------

void Frm_kanot_2::SliderPlay_Focus() {
  // A failure to give the focus is of no consequence.
  if (Slider_play && Slider_play->isVisible()) Slider_play->setFocus(Qt::OtherFocusReason);
}

void Frm_kanot_2::Set_Focus() {
  Trapped(Where_Form("Set_Focus", frm_kanot_2), [&] {
    if (activated) SliderPlay_Focus();
  });
}

void Frm_kanot_2::Process_Events() {
  QCoreApplication::processEvents();
}

void Frm_kanot_2::Default_Pointer() {
  QApplication::restoreOverrideCursor();
  Picture_large->unsetCursor();
}

void Frm_kanot_2::Play_Enabled(bool enabled) {
  Cmd_play->setEnabled(enabled);
}

void Frm_kanot_2::Results_Cleared() {
  if (results_window) results_window->update();
}

void Frm_kanot_2::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // Offscreen and some window managers never activate: count showing as the
  // first activation for the focus rule.
  QTimer::singleShot(0, this, [this] { Form_Activate(); });
}

void Frm_kanot_2::Form_Activate() {
  Trapped(Where_Form("Form_Activate", frm_kanot_2), [&] {
    if (unloading_) return;
    activated = true;
    SliderPlay_Focus();
    if (!intro_shown && Intro_On_Activate) {
      intro_shown = true;
      Run_Intro();
    }
  });
}

void Frm_kanot_2::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) Form_Activate();
  if (event->type() != QEvent::WindowStateChange) return;
  Trapped(Where_Form("form_resize", Frm_kanot_2_name), [&] {
    if (marathon) marathon->Main_Window_State(isMinimized());
    if (!results_window) return;
    if (isMinimized()) {
      results_window->hide();
    } else if (!core.Marathon_checked) {
      results_window->move(x() + frameGeometry().width(), results_window->y());
      results_window->show();
    }
  });
}

void Frm_kanot_2::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  Trapped(Where_Form("form_resize", Frm_kanot_2_name), [&] {
    if (results_window && !isMinimized() && !core.Marathon_checked && results_window->isVisible())
      results_window->move(x() + frameGeometry().width(), results_window->y());
  });
}

void Frm_kanot_2::mousePressEvent(QMouseEvent* event) {
  // A plain click on the background gives the keys back to the slider.
  QMainWindow::mousePressEvent(event);
  Set_Focus();
}

// ---- Closing ---------------------------------------------------------------------------------

void Frm_kanot_2::closeEvent(QCloseEvent* event) {
  if (unloading_) {
    event->accept();
    return;
  }
  // The window manager's close runs the exit sequence, with its question.
  event->ignore();
  QTimer::singleShot(0, [] { Quaymark_exit(); });
}

void Frm_kanot_2::Unload() {
  Trapped(Where_Form("Form_QueryUnload", frm_kanot_2), [&] {
    unloading_ = true;
    core.Close_File();
    Store_Form_Pos(QStringLiteral("Frm_kanot_2"), x() * Twips_Per_Pixel, y() * Twips_Per_Pixel, 0,
                   0);
    Timer_keyb_event->stop();
    hide();
  });
  Window_Unloaded(this);
}

void Frm_kanot_2::Timer_keyb() {
  Trapped(Where_Form("timer_keyb", frm_kanot_2), [] { Keep_Awake(); });
}

void Frm_kanot_2::Not_Available(const QString& what) {
  MsgBox(what + QStringLiteral(": not available yet"));
  Set_Focus();
}

}  // namespace qm::ui
