#pragma once
// The real main window, headless: dialogs scripted, no intro, the "Result"
// menu answered by a chosen item, the play loop without pauses.

#include "heat_fixture.h"
#include "race_timing/ui/frm_results.h"
#include "shell/ui/application.h"
#include "shell/ui/main_window.h"
#include "support/test_env.h"

#include <QAction>
#include <QMenu>

#include <memory>

namespace qmtest {

// Synthetic input, delivered through the application (its event filters
// included) as the window system would. Modifier keys are pressed first.
void Key_Press(QWidget* w, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier);
void Key_Release(QWidget* w, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier);
void Key_Click(QWidget* w, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier);
void Mouse_Press(QWidget* w, Qt::MouseButton button, QPoint at);
void Mouse_Release(QWidget* w, Qt::MouseButton button, QPoint at);
void Mouse_Click(QWidget* w, Qt::MouseButton button, QPoint at = {});

class Main_Window_Test : public Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes a heat into the temporary folder and returns its path.
  QString Heat(const QString& name, const Heat_Spec& recipe = {});
  // Opens through Handle_Open_File; expects it open.
  void Open(const QString& path);

  // Synthetic input on the real widgets.
  void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier);
  void Press(Qt::MouseButton button, QPoint at);
  void Move_Held(QPoint at);
  void Release(QPoint at);
  QPoint Marker(int k) const { return {Marker_X(recipe, k), Marker_Y(recipe, k)}; }

  int32_t Field() const { return w->core.player.Slider_value; }
  int32_t Result_Of(int lane) const;  // from the file's header in memory

  std::unique_ptr<qm::ui::Window_Set> set;
  qm::ui::Frm_kanot_2* w = nullptr;
  qm::ui::Frm_results* results = nullptr;
  Heat_Spec recipe;
  // The item the "Result" pop-up picks next (nullptr: dismissed).
  QAction* pick = nullptr;
  int popups = 0;
};

}  // namespace qmtest
