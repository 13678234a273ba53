#include "race_timing/start_correction.h"

#include "race_timing/mill_time.h"

#include <cstdlib>

namespace qm {

namespace {
QString Two(int16_t v) {
  return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}
int32_t Saturate(int64_t v) {
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(v);
}
}  // namespace

std::array<QString, 4> Time_Components_Text(int32_t ms) {
  return {
      Two(Time_Component(QStringLiteral("h"), ms)), Two(Time_Component(QStringLiteral("m"), ms)),
      Two(Time_Component(QStringLiteral("s"), ms)), Two(Time_Component(QStringLiteral("t"), ms))};
}

void Start_Correction::Select_Component(int k) {
  Deselect_Correction_Items();
  if (k < 0 || k >= static_cast<int>(Steps.size())) return;
  m_selected = k;
  Correction_step = Steps[static_cast<size_t>(k)];
}

void Start_Correction::Deselect_Correction_Items() {
  m_selected = -1;
  Correction_step = 0;
}

void Start_Correction::Step(bool up) {
  // Held for long enough a button could run past 32 bits; it stops there.
  Correction_ms = Saturate(int64_t{Correction_ms} + (up ? Correction_step : -Correction_step));
  Update_Corrected();
}

int32_t Start_Correction::Begin_Hold(bool up) {
  m_holding = true;
  m_up = up;
  Repeat_delay = First_Repeat_Delay;
  Step(up);
  return Repeat_delay;
}

int32_t Start_Correction::Repeat_Step() {
  if (!m_holding) return 0;
  Repeat_delay -= Repeat_Delay_Decrement;
  if (Repeat_delay < Min_Repeat_Delay) Repeat_delay = Min_Repeat_Delay;
  Step(m_up);
  return Repeat_delay;
}

void Start_Correction::Reset() {
  Deselect_Correction_Items();
  Correction_ms = 0;
  Update_Corrected();
}

void Start_Correction::Update_Corrected() {
  Corrected_Start_Local_Time = Saturate(int64_t{orig_Start_Local_Time} + Correction_ms);
}

void Start_Correction::Clear_Heat_Data() {
  m_holding = false;
  Correction_ms = 0;
  orig_Start_Local_Time = 0;
  Corrected_Start_Local_Time = 0;
}

Start_Correction::Display Start_Correction::Texts() const {
  Display d;
  d.original = Time_Components_Text(orig_Start_Local_Time);
  const bool negative = Correction_ms < 0;
  // |INT32_MIN| does not fit; the panel can never reach it anyway.
  const int32_t magnitude = negative ? Saturate(-int64_t{Correction_ms}) : Correction_ms;
  d.correction = Time_Components_Text(magnitude);
  d.minus_visible = negative;
  d.correction_colour = negative ? QColor(255, 0, 0) : QColor(0, 0, 255);
  d.corrected = Time_Components_Text(Corrected_Start_Local_Time);
  return d;
}

}  // namespace qm
