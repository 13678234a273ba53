#include "shell/ui/key_state.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace qm::ui {

namespace {
Key_State* instance = nullptr;
}

Key_State::Key_State() {
  instance = this;
  if (QCoreApplication::instance()) QCoreApplication::instance()->installEventFilter(this);
}

Key_State::~Key_State() {
  if (instance == this) instance = nullptr;
}

Key_State& Key_State::Instance() {
  static Key_State* fallback = nullptr;
  if (instance) return *instance;
  if (!fallback) fallback = new Key_State;
  return *fallback;
}

bool Key_State::Held(int vk) const {
  return vk > 0 && vk < 256 && held_[vk];
}

bool Key_State::Ctrl_Held() const {
  return Held(17) || (QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier);
}

bool Key_State::Alt_Held() const {
  return Held(18) || (QGuiApplication::queryKeyboardModifiers() & Qt::AltModifier);
}

int Key_State::First_Held() const {
  for (int vk = 1; vk <= 128; ++vk)
    if (held_[vk]) return vk;
  return 0;
}

void Key_State::Clear() {
  held_.fill(false);
}

int Key_State::Virtual_Key(int k, bool keypad) {
  if (keypad && k >= Qt::Key_0 && k <= Qt::Key_9) return 96 + (k - Qt::Key_0);
  if ((k >= Qt::Key_A && k <= Qt::Key_Z) || (k >= Qt::Key_0 && k <= Qt::Key_9)) return k;
  if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return 112 + (k - Qt::Key_F1);
  switch (k) {
    case Qt::Key_Backspace:
      return 8;
    case Qt::Key_Tab:
      return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return 13;
    case Qt::Key_Shift:
      return 16;
    case Qt::Key_Control:
      return 17;
    case Qt::Key_Alt:
      return 18;
    case Qt::Key_Pause:
      return 19;
    case Qt::Key_CapsLock:
      return 20;
    case Qt::Key_Escape:
      return 27;
    case Qt::Key_Space:
      return 32;
    case Qt::Key_PageUp:
      return 33;
    case Qt::Key_PageDown:
      return 34;
    case Qt::Key_End:
      return 35;
    case Qt::Key_Home:
      return 36;
    case Qt::Key_Left:
      return 37;
    case Qt::Key_Up:
      return 38;
    case Qt::Key_Right:
      return 39;
    case Qt::Key_Down:
      return 40;
    case Qt::Key_Insert:
      return 45;
    case Qt::Key_Delete:
      return 46;
    default:
      return 0;
  }
}

bool Key_State::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      auto* k = static_cast<QKeyEvent*>(event);
      if (k->isAutoRepeat()) break;
      const int vk = Virtual_Key(k->key(), k->modifiers() & Qt::KeypadModifier);
      if (vk > 0) held_[vk] = event->type() == QEvent::KeyPress;
      break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease: {
      auto* m = static_cast<QMouseEvent*>(event);
      const bool down = event->type() == QEvent::MouseButtonPress;
      if (m->button() == Qt::LeftButton) held_[1] = down;
      if (m->button() == Qt::RightButton) held_[2] = down;
      if (m->button() == Qt::MiddleButton) held_[4] = down;
      break;
    }
    case QEvent::ApplicationStateChange:
      if (static_cast<QApplicationStateChangeEvent*>(event)->applicationState() !=
          Qt::ApplicationActive)
        Clear();
      break;
    case QEvent::ApplicationDeactivate:
      Clear();
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace qm::ui
