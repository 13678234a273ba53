#pragma once
// The demo heat: a synthetic regatta finish filmed by the program itself.
// Boats in N lanes cross a goal line at known instants; every field is
// rendered at the very instant the capture file's stamps give it, encoded to
// real PAL DV and written as a KV2 file with its SSCD blocks, so the ground
// truth and the program's field timing can be compared.

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstdint>
#include <vector>

namespace qm {

struct Demo_Options {
  int lanes = 6;      // 1 .. 9
  int seconds = 10;   // length of the film
  bool rotated = false;
  int streams = 1;    // 1 or 2
  uint32_t seed = 1;
};

struct Demo_Lane_Truth {
  int lane = 0;
  int32_t crossing_ms = 0;  // instant the bow reaches the goal line, ms from the heat start
  int32_t field = 0;        // first field showing the bow on or past the line
};

struct Demo_Truth {
  std::vector<Demo_Lane_Truth> lanes;
  // Scene geometry in shown-picture pixels, for checks on the pictures.
  int32_t goal_x = 0;
  std::vector<int32_t> lane_center_y;  // index = lane - 1
  int32_t picture_width = 0, picture_height = 0;
};

// The instant each field of frame k (0-based) shows, in ms from the heat
// start, from the stamps the generator writes (its own arithmetic).
struct Demo_Clock {
  int32_t start_pc_mill = 0;
  int32_t start_local_mill = 0;
  int32_t first_capture = 0;
  int32_t timing_bias = 0;
  uint32_t seed = 1;
  int32_t Capture_Stamp(int32_t frame_index) const;  // PC clock, with jitter
  int32_t Field_Instant(int32_t field) const;        // field 1-based
};

Demo_Clock Make_Demo_Clock(const Demo_Options& options);

// Renders the shown picture (720 x 576, or 576 x 720 rotated) of stream 1 or
// 2 at instant t (ms from the heat start).
QImage Render_Demo_Scene(const Demo_Options& options, int stream, int32_t t_ms);

// Writes the demo heat to `path` (a .kv2 file) and returns its truth; raises
// a failure when the file cannot be written. Same options, same bytes.
Demo_Truth Make_Demo_Heat(const QString& path, const Demo_Options& options);

// The truth as the JSON document stored beside the heat.
QByteArray Demo_Truth_Json(const Demo_Truth& truth);

}  // namespace qm
