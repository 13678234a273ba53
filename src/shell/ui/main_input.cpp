// Frm_kanot_2: mouse on the picture, keys on the slider, small clicks.
#include "platform/failure.h"
#include "shell/startup.h"
#include "shell/ui/key_state.h"
#include "shell/ui/main_window.h"

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QSlider>

namespace qm::ui {

namespace {
constexpr const char* frm_kanot_2 = "frm_kanot_2";
}

void Frm_kanot_2::Picture_Press(QMouseEvent* e) {
  const QPointF p = e->position();
  if (e->button() == Qt::RightButton) Pict_lane_result->hide();
  const bool menu =
      core.Picture_MouseDown(e->button(), static_cast<float>(p.x()), static_cast<float>(p.y()),
                             Key_State::Instance().F_Held());
  if (menu && popup) popup(menu_result, e->globalPosition().toPoint());
}

void Frm_kanot_2::Picture_Move(QMouseEvent* e) {
  const QPointF p = e->position();
  switch (
      core.Picture_MouseMove(e->buttons(), static_cast<float>(p.x()), static_cast<float>(p.y()))) {
    case Picture_Pointer::Magnify:
      Picture_large->setCursor(Magnify_Cursor());
      break;
    case Picture_Pointer::Default:
      Picture_large->unsetCursor();
      break;
    case Picture_Pointer::Unchanged:
      break;
  }
}

void Frm_kanot_2::Picture_Release(QMouseEvent*) {
  core.Picture_MouseUp();
}

bool Frm_kanot_2::Slider_Key(QKeyEvent* e) {
  return Trapped(Where_Form("Slider_play_KeyDown", frm_kanot_2), false, [&] {
    const int key = e->key();
    const bool keypad = e->modifiers() & Qt::KeypadModifier;
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    const bool alt = e->modifiers() & Qt::AltModifier;
    if (key >= Qt::Key_1 && key <= Qt::Key_9 && !keypad) {
      core.Slider_play_KeyDown(49 + (key - Qt::Key_1), ctrl, alt);
      return true;
    }
    Field_Player& pl = core.player;
    int32_t to = pl.Slider_value;
    switch (key) {
      case Qt::Key_Left:
      case Qt::Key_Down:
        to -= pl.Small_step;
        break;
      case Qt::Key_Right:
      case Qt::Key_Up:
        to += pl.Small_step;
        break;
      case Qt::Key_PageUp:
        to += Slider_play->pageStep();
        break;
      case Qt::Key_PageDown:
        to -= Slider_play->pageStep();
        break;
      case Qt::Key_Home:
        to = pl.Slider_min;
        break;
      case Qt::Key_End:
        to = pl.Slider_max;
        break;
      default:
        return false;
    }
    pl.Set_Value(to);
    pl.Slider_play_Scroll();
    return true;
  });
}

bool Frm_kanot_2::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type t = event->type();
  if (watched == Slider_play) {
    if (t == QEvent::KeyPress) return Slider_Key(static_cast<QKeyEvent*>(event));
    if (t == QEvent::Wheel) return true;  // the wheel does not move the player
  } else if (watched == Lbl_delta_time && t == QEvent::MouseButtonPress) {
    core.player.Lbl_delta_time_Click();
    return true;
  } else if (watched == Label3 && t == QEvent::MouseButtonPress) {
    if (static_cast<QMouseEvent*>(event)->modifiers() & Qt::ControlModifier ||
        Key_State::Instance().Ctrl_Held())
      Misbehave_Trapped();
    return true;
  } else if (watched == Picture_intro && t == QEvent::MouseButtonPress) {
    Picture_intro->hide();
    return true;
  } else if ((watched == frm_DV_AUX || watched == Frm_options || watched == centralWidget()) &&
             t == QEvent::Enter) {
    Picture_large->unsetCursor();
  } else if (watched == centralWidget() && t == QEvent::MouseButtonPress) {
    Set_Focus();
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace qm::ui
