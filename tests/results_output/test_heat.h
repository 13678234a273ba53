#pragma once
// A heat as the exports and sheets see it: the results window's rows made
// from given lane results, and the capture file's facts.
#include "race_timing/lane.h"
#include "race_timing/lane_result.h"
#include "race_timing/result_rows.h"
#include "results_output/heat_facts.h"

#include <QString>

#include <utility>
#include <vector>

namespace qmtest {

// Rows ranked and filled exactly as the results window fills them.
inline qm::Result_Rows Ranked_Rows(const std::vector<std::pair<int, int32_t>>& lane_times,
                                   int32_t correction_ms, const QString& heat_id,
                                   const QString& creation_date) {
  qm::Result_Arrays a;
  for (auto& s : a.all) s.time = qm::No_result;
  for (const auto& [lane, time] : lane_times) a.all[static_cast<size_t>(lane)].time = time;
  qm::Copy_Active_Heat(a);
  qm::Lane_Active_Heat_Array_Sort(a);
  qm::Lane_markers markers;
  qm::Result_Rows rows;
  qm::Fill_Results(a, correction_ms, true, heat_id, creation_date, markers, rows);
  return rows;
}

// An open capture file of the "Sjöå Regatta", Latin-1 letters in its name.
inline qm::Heat_Facts Regatta_Facts(const QString& file_path, const QString& heat_id) {
  qm::Heat_Facts facts;
  facts.file_open = true;
  facts.file_path = file_path;
  facts.event_name = QStringLiteral("Sjöå Regatta");
  facts.heat_id = heat_id;
  facts.heat_comment = QStringLiteral("Final A");
  facts.creation_date = QStringLiteral("12-06-09 10:41");
  facts.last_capture = QStringLiteral("2012-06-09 10:52:10");
  facts.capture_host = QStringLiteral("CAPTURE1");
  facts.start_local_ms = 38793000;  // 10:46:33
  return facts;
}

}  // namespace qmtest
