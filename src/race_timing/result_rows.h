#pragma once
// The rows of the results window as texts, without widgets: the window shows
// them, the exports and the printed sheet read them, so screen, files and
// paper agree.

#include "race_timing/lane_result.h"

#include <QString>

#include <array>
#include <cstdint>

namespace qm {

class Lane_markers;

// A heat has up to 16 lanes; every ranked lane has its row.
inline constexpr int Result_Row_Count = 16;

struct Result_Row {
  // The four label texts exactly as shown: place "1", lane "3", time
  // " 01:01,00" (plain form, corrected) or "DSQ", delta "+0,01" or "".
  QString place;
  QString lane;
  QString time;
  QString delta;
  // The ranked slot behind the row (stored, uncorrected values).
  Lane_result slot;
  bool Filled() const { return !place.isEmpty(); }
  bool Real_Time() const { return Filled() && Is_Real_Time(slot.time); }
};

struct Result_Rows {
  std::array<Result_Row, Result_Row_Count> rows{};
  int filled = 0;            // rows filled by the last fill
  int real_times = 0;        // rows with a real time ("count of real times")
  QString Lbl_heat;          // heat ID of the open file
  QString Lbl_capture_time;  // the file's creation date text
  QString Lbl_event_name;    // event name (Set_Captions)

  // Every row's labels and the capture time empty (Clear_Results).
  void Clear();
};

// Fills `out` from the ranked arrays, and every marker's `time` from its
// lane's slot (0 for lanes without a row). Times are shown corrected by
// `correction_ms`; deltas are taken from stored times. Does nothing when no
// file is open.
void Fill_Results(const Result_Arrays& arrays, int32_t correction_ms, bool file_open,
                  const QString& heat_id, const QString& creation_date, Lane_markers& markers,
                  Result_Rows& out);

}  // namespace qm
