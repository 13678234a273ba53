#pragma once
// The start correction of a heat: a signed shift of the heat start that is
// subtracted from every shown result time. This is the widget-free state of
// the "Start correction" panel; the window shows its texts and colours and
// passes presses in. Writing the value into the file is the race session's.

#include <QColor>
#include <QString>

#include <array>
#include <cstdint>

namespace qm {

class Start_Correction {
 public:
  // Steps of the four correction labels: hours, minutes, seconds, hundredths.
  static constexpr std::array<int32_t, 4> Steps{3600000, 60000, 1000, 10};
  static constexpr int32_t First_Repeat_Delay = 200;
  static constexpr int32_t Repeat_Delay_Decrement = 50;
  static constexpr int32_t Min_Repeat_Delay = 50;

  int32_t Correction_ms = 0;
  int32_t Correction_step = 0;
  int32_t Repeat_delay = First_Repeat_Delay;
  int32_t orig_Start_Local_Time = 0;
  int32_t Corrected_Start_Local_Time = 0;

  // Label 0..3 chosen (orange); -1 when none.
  int Selected() const { return m_selected; }
  // A click on correction label k: selects it and its step.
  void Select_Component(int k);
  // Normal background on all four, step 0.
  void Deselect_Correction_Items();

  // A press on the upper (up = true) or lower button: the repeat flag is set
  // and the first step made at once. Returns the wait before the next step.
  int32_t Begin_Hold(bool up);
  // The button is still held after the wait: one more step. Returns the next
  // wait: 200, 150, 100, 50, 50, ... over the press.
  int32_t Repeat_Step();
  // Release: the flag is cleared. The caller writes the file once.
  void End_Hold() { m_holding = false; }
  bool Holding() const { return m_holding; }

  // Right press on a correction label: deselected, correction 0.
  void Reset();

  // Corrected_Start_Local_Time = orig + correction (wraps at midnight when
  // shown).
  void Update_Corrected();

  // Everything closed: the heat's data cleared.
  void Clear_Heat_Data();

  // The panel's texts: two digits per label.
  struct Display {
    std::array<QString, 4> original;    // Lbl_hms
    std::array<QString, 4> correction;  // Lbl_hms_correction (of |Correction_ms|)
    std::array<QString, 4> corrected;   // Lbl_hms_corrected
    bool minus_visible = false;         // Lbl_Minus
    QColor correction_colour;           // red when negative, blue otherwise
  };
  Display Texts() const;

  static constexpr QColor Selected_Colour() { return QColor(255, 128, 0); }

 private:
  void Step(bool up);
  int m_selected = -1;
  bool m_holding = false;
  bool m_up = true;
};

// The two-digit components "hh", "mm", "ss", "hundredths" of a time.
std::array<QString, 4> Time_Components_Text(int32_t ms);

}  // namespace qm
