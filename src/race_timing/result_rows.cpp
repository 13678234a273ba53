#include "race_timing/result_rows.h"

#include "race_timing/lane.h"
#include "race_timing/mill_time.h"

namespace qm {

void Result_Rows::Clear() {
  for (Result_Row& r : rows) r = Result_Row{};
  filled = 0;
  real_times = 0;
  Lbl_capture_time.clear();
}

void Fill_Results(const Result_Arrays& arrays, int32_t correction_ms, bool file_open,
                  const QString& heat_id, const QString& creation_date, Lane_markers& markers,
                  Result_Rows& out) {
  if (!file_open) return;
  for (Cls_lane& l : markers) l.Set_time(0);
  for (Result_Row& r : out.rows) r = Result_Row{};
  out.filled = 0;
  out.real_times = 0;
  const int32_t winner = arrays.lane_active_heat_array(1).time;
  for (int i = 1; i <= Result_Slots; ++i) {
    const Lane_result& slot = arrays.lane_active_heat_array(i);
    if (slot.time >= No_result) break;
    Result_Row& row = out.rows[static_cast<size_t>(out.filled)];
    row.slot = slot;
    row.place = QString::number(out.filled + 1);
    row.lane = QString::number(slot.lane);
    if (Is_Real_Time(slot.time)) {
      // 64-bit: a hostile stored time must not wrap the differences.
      row.time = Display_Mill_Time(int64_t{slot.time} - correction_ms, false);
      row.delta = QLatin1Char('+') + Display_Mill_Time(int64_t{slot.time} - winner, true);
      ++out.real_times;
    } else {
      row.time = Status_Text(slot.time);
    }
    if (Cls_lane* l = markers.By_Lane_number(slot.lane)) l->Set_time(slot.time);
    ++out.filled;
  }
  out.Lbl_capture_time = creation_date;
  out.Lbl_heat = heat_id;
}

}  // namespace qm
