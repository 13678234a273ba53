#pragma once
// Keyboard and mouse-button state of the whole application, followed by an
// event filter on the application: the F key for timing presses and "any key
// held" for the play loop's stop test. The state is cleared whenever the
// application loses focus, so a release that went to another program can
// never leave a key "held".

#include <QObject>

#include <array>

namespace qm::ui {

class Key_State : public QObject {
  Q_OBJECT
 public:
  // Installs itself on the application.
  Key_State();
  ~Key_State() override;
  static Key_State& Instance();

  bool Held(int virtual_key) const;
  bool F_Held() const { return Held('F'); }
  bool Ctrl_Held() const;
  bool Alt_Held() const;
  // The first held key in ascending virtual key code 1..128, 0 for none.
  int First_Held() const;
  void Clear();

  // Qt key to the virtual key code of the desktop's tables (0 when none).
  static int Virtual_Key(int qt_key, bool keypad);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::array<bool, 256> held_{};
};

}  // namespace qm::ui
