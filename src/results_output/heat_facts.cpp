#include "results_output/heat_facts.h"

#include "capture_file/avi_handler.h"
#include "race_timing/mill_time.h"

namespace qm {

Heat_Facts Heat_Facts_Of(const cls_AVI_handler& file) {
  Heat_Facts f;
  if (file.File_name().isEmpty()) return f;
  f.file_open = true;
  f.file_path = file.File_name();
  f.event_name = file.Event_name();
  f.heat_id = file.Heat_ID(1);
  f.heat_comment = file.Heat_comment(1);
  f.creation_date = file.Creation_Date();
  f.last_capture = file.Last_Capture_time();
  f.capture_host = file.Computer_name();
  f.start_local_ms = file.Start_local_Mill_Time(1);
  return f;
}

QString Export_Date_Text(const QString& creation_date) {
  return creation_date.startsWith(QLatin1String("20")) ? creation_date
                                                       : QStringLiteral("20") + creation_date;
}

QString Export_Heat_Start_Text(int32_t start_local_ms) {
  return Display_Mill_Time(start_local_ms, false).mid(1, 8);
}

}  // namespace qm
