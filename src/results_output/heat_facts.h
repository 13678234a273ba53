#pragma once
// The facts of the open heat that the result files and the printed sheet
// carry, read once from the capture file so that writers need no file.

#include <QString>

#include <cstdint>

namespace qm {

class cls_AVI_handler;

struct Heat_Facts {
  bool file_open = false;
  QString file_path;           // the capture file's full path
  QString event_name;          // the file's event name
  QString heat_id;             // heat ID of heat 1
  QString heat_comment;        // heat comment of heat 1
  QString creation_date;       // creation date text of the XML header
  QString last_capture;        // last capture time text
  QString capture_host;        // the capture computer's name
  int32_t start_local_ms = 0;  // local start time of day of heat 1
};

// Reads the facts of the file open in `file` (file_open false when none).
// Raises when the header lacks a node, for the calling procedure to report.
Heat_Facts Heat_Facts_Of(const cls_AVI_handler& file);

// The creation date as exported: "20" put in front when it does not begin
// with "20".
QString Export_Date_Text(const QString& creation_date);

// Characters 2 to 9 of the plain time text of the heat's local start.
QString Export_Heat_Start_Text(int32_t start_local_ms);

}  // namespace qm
