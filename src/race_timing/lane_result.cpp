#include "race_timing/lane_result.h"

#include "platform/failure.h"

#include <utility>

namespace qm {

QString Status_Text(int32_t t) {
  switch (t) {
    case Status_DSQ:
      return QStringLiteral("DSQ");
    case Status_DNS:
      return QStringLiteral("DNS");
    case Status_DNF:
      return QStringLiteral("DNF");
    default:
      return {};
  }
}

Lane_result& Result_Arrays::lane_all_heats_array(int lane) {
  if (lane < 0 || lane >= Result_Slots) Raise(Err_Subscript);
  return all[static_cast<size_t>(lane)];
}

Lane_result& Result_Arrays::lane_active_heat_array(int slot) {
  if (slot < 1 || slot > Result_Slots) Raise(Err_Subscript);
  return active[static_cast<size_t>(slot - 1)];
}

const Lane_result& Result_Arrays::lane_active_heat_array(int slot) const {
  if (slot < 1 || slot > Result_Slots) Raise(Err_Subscript);
  return active[static_cast<size_t>(slot - 1)];
}

void Copy_Active_Heat(Result_Arrays& arrays) {
  for (int i = 0; i < Result_Slots; ++i) {
    Lane_result r = arrays.all[static_cast<size_t>(i)];
    r.lane = static_cast<int16_t>(i);
    arrays.active[static_cast<size_t>(i)] = r;
  }
  arrays.set_up = true;
}

void Lane_Active_Heat_Array_Sort(Result_Arrays& arrays) {
  auto& a = arrays.active;
  bool exchanged = true;
  while (exchanged) {
    exchanged = false;
    for (size_t i = 0; i + 1 < a.size(); ++i) {
      const bool later_faster = a[i + 1].time < a[i].time;
      const bool tie_clicked_first =
          a[i + 1].time == a[i].time && a[i + 1].click_time < a[i].click_time;
      if (later_faster || tie_clicked_first) {
        std::swap(a[i], a[i + 1]);
        exchanged = true;
      }
    }
  }
}

int16_t Lane_To_Place(const Result_Arrays& arrays, int lane) {
  if (!arrays.set_up) return 0;
  for (int i = 1; i <= Result_Slots; ++i) {
    const Lane_result& r = arrays.lane_active_heat_array(i);
    if (r.lane == lane) return r.time >= Status_DSQ ? 0 : static_cast<int16_t>(i);
  }
  return 0;
}

int16_t Go_to_Goal_field(const Result_Arrays& arrays, int place) {
  if (place < 1 || place > Result_Slots) return 0;
  return arrays.lane_active_heat_array(place).goal_field;
}

int16_t Find_Place(const Result_Arrays& arrays, int lane, int count) {
  const int n = count < Result_Slots ? count : Result_Slots;
  for (int i = 1; i <= n; ++i)
    if (arrays.lane_active_heat_array(i).lane == lane) return static_cast<int16_t>(i);
  return 0;
}

int Count_Real_Times(const Result_Arrays& arrays) {
  int n = 0;
  for (const Lane_result& r : arrays.all)
    if (Is_Real_Time(r.time)) ++n;
  return n;
}

QString Heat_number_from_Filename(const QString& name) {
  qsizetype at = name.lastIndexOf(QLatin1String("Heat"));
  if (at < 0) at = name.lastIndexOf(QLatin1String("heat"));
  if (at < 0) return {};
  const qsizetype us = name.indexOf(QLatin1Char('_'), at);
  if (us < 0) return {};
  const qsizetype from = at + 4;
  return us > from ? name.mid(from, us - from) : QString();
}

}  // namespace qm
