#pragma once
// A timed heat as the capture program writes it: a KV2 file made by our own
// writer, DV frames encoded by libavcodec, each carrying its time block, the
// heat start and the lane markers in the XML header.

#include <QString>

#include <cstdint>
#include <vector>

namespace qmtest {

struct Heat_Spec {
  int frames = 12;
  bool rotated = true;
  bool lanes_locked = true;
  int lanes = 4;
  QString heat_id = QStringLiteral("H7");
  // Capture clock of frame 1 (a multiple of 40) and the heat's start on it.
  int32_t first_capture_ms = 1000000;
  int32_t heat_start_ms = 1000000 - 10 - 2000;
  int32_t local_start_ms = 38793000;
};

// Marker k (1..lanes) stands at this picture point.
int32_t Marker_X(const Heat_Spec& recipe, int k);
int32_t Marker_Y(const Heat_Spec& recipe, int k);

// Time of field f from the heat start, as the frames are stamped.
int32_t Field_Time(const Heat_Spec& recipe, int32_t field);

// Writes the heat; false when the writer failed.
bool Write_Heat(const QString& path, const Heat_Spec& recipe);

}  // namespace qmtest
