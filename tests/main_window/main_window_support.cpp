#include "main_window_support.h"

#include "results_output/ui/results_output_frames.h"
#include "shell/app_globals.h"
#include "shell/ui/key_state.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSlider>

namespace qmtest {

namespace {
void Send_Key(QWidget* w, QEvent::Type type, Qt::Key key, Qt::KeyboardModifiers mods) {
  QKeyEvent e(type, key, mods);
  QApplication::sendEvent(w, &e);
}
void Send_Mouse(QWidget* w, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held,
                QPoint at) {
  QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}
}  // namespace

void Key_Press(QWidget* w, Qt::Key key, Qt::KeyboardModifiers mods) {
  if (mods & Qt::ControlModifier) Send_Key(w, QEvent::KeyPress, Qt::Key_Control, mods);
  if (mods & Qt::AltModifier) Send_Key(w, QEvent::KeyPress, Qt::Key_Alt, mods);
  Send_Key(w, QEvent::KeyPress, key, mods);
}

void Key_Release(QWidget* w, Qt::Key key, Qt::KeyboardModifiers mods) {
  Send_Key(w, QEvent::KeyRelease, key, mods);
  if (mods & Qt::AltModifier) Send_Key(w, QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
  if (mods & Qt::ControlModifier) Send_Key(w, QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
  // The application's modifier state follows synthetic presses but not
  // releases: a neutral press puts it back, or a held Ctrl would leak into
  // the tests that follow.
  if (key == Qt::Key_Control || key == Qt::Key_Alt ||
      (mods & (Qt::ControlModifier | Qt::AltModifier)))
    Send_Key(w, QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier);
}

void Key_Click(QWidget* w, Qt::Key key, Qt::KeyboardModifiers mods) {
  Key_Press(w, key, mods);
  Key_Release(w, key, mods);
}

void Mouse_Press(QWidget* w, Qt::MouseButton button, QPoint at) {
  Send_Mouse(w, QEvent::MouseButtonPress, button, button, at);
}

void Mouse_Release(QWidget* w, Qt::MouseButton button, QPoint at) {
  Send_Mouse(w, QEvent::MouseButtonRelease, button, Qt::NoButton, at);
}

void Mouse_Click(QWidget* w, Qt::MouseButton button, QPoint at) {
  if (at.isNull()) at = w->rect().center();
  Mouse_Press(w, button, at);
  Mouse_Release(w, button, at);
}

void Main_Window_Test::SetUp() {
  Test::SetUp();
  // An INI file, so that start-up does not ask for one.
  QFile ini(qm::app().Ini_Path);
  if (!ini.exists()) {
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.close();
  }
  qm::ui::Key_State::Instance().Clear();
  set = std::make_unique<qm::ui::Window_Set>();
  w = set->main.get();
  results = set->results.get();
  w->Intro_On_Activate = false;
  w->intro_pause = [](int) {};
  w->ask_printer = [] { return qm::Printer_Query{}; };
  w->popup = [this](QMenu*, const QPoint&) {
    ++popups;
    if (pick) pick->trigger();
    pick = nullptr;
  };
  w->core.player.hooks.sleep = [](uint32_t) {};
  ASSERT_TRUE(w->Form_Load(nullptr));
  w->show();
  results->show();
  w->activateWindow();
  w->activated = true;
  QCoreApplication::processEvents();
}

void Main_Window_Test::TearDown() {
  if (set) {
    w->Unload();
    results->Unload();
    set.reset();
  }
  Test::TearDown();
}

QString Main_Window_Test::Heat(const QString& name, const Heat_Spec& s) {
  const QString path = Tmp(name);
  EXPECT_TRUE(Write_Heat(path, s)) << name.toStdString();
  return path;
}

void Main_Window_Test::Open(const QString& path) {
  w->core.Handle_Open_File(path);
  ASSERT_TRUE(w->core.File_Is_Open()) << dialogs.Texts().join("|").toStdString();
}

void Main_Window_Test::Key(Qt::Key key, Qt::KeyboardModifiers mods) {
  Key_Click(w->Slider_play, key, mods);
}

void Main_Window_Test::Press(Qt::MouseButton button, QPoint at) {
  Mouse_Press(w->Picture_large, button, at);
}

void Main_Window_Test::Move_Held(QPoint at) {
  QMouseEvent e(QEvent::MouseMove, QPointF(at), w->Picture_large->mapToGlobal(QPointF(at)),
                Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w->Picture_large, &e);
}

void Main_Window_Test::Release(QPoint at) {
  Mouse_Release(w->Picture_large, Qt::LeftButton, at);
}

int32_t Main_Window_Test::Result_Of(int lane) const {
  return w->core.file.Heat_time(1, static_cast<int16_t>(lane));
}

}  // namespace qmtest
