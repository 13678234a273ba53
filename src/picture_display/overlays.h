#pragma once
// The race graphics over the picture: goal line, lane markers and the lap
// box live in their own buffer of the picture box's size, rebuilt only when
// something they show changes, and composited over every field painted. One
// key colour, RGB(128, 128, 128), stands for "transparent".

#include "picture_display/dib_section.h"

#include <QColor>
#include <QImage>

#include <array>
#include <cstdint>
#include <vector>

namespace qm {

class Cls_lane;
class Lane_markers;
class Picture_Surface;

inline const QColor Key_Colour{128, 128, 128};

// One lane marker drawn into an overlay: the circle in the marker's bounding
// square in the colours of its result, the lane number, and the red dotted
// band to the right (to the left when flipped).
void Draw_lane(const Cls_lane& lane, Dib_DC* dc, bool flipped);
// The band alone: three dotted rows of 300 pixels from the square's centre
// column along its bottom edge.
void Do_DrawDCLine_lane(const Cls_lane& lane, Dib_DC* dc, bool flipped);
// The lane number's face: "Arial" semibold of that cell height and average
// character width in pixels.
QFont Lane_Number_Font(int height, int width);

class Picture_Overlay {
 public:
  Picture_Overlay();

  // DIB_graphics at the picture box's size (the layout step), filled with
  // the key colour.
  void Arrange(int32_t width, int32_t height);

  // Inputs, as the main window's options hold them.
  bool show_lane_markers = false;
  bool flip_lane_markers = false;
  bool show_goal_line = false;
  bool invert_goal_line = false;
  std::array<int16_t, 4> Goal_line{};  // x1, y1, x2, y2
  const Lane_markers* lanes = nullptr;
  int markers_drawn = 0;  // the file's lane count

  void Clear_Graphics();
  void Draw_Goal_line();
  void Draw_lanes(bool flip);
  void Overlay_Lap(int16_t lap);
  // Copies every overlay pixel that is not the key colour over the box.
  void Blit_Graphics(Picture_Surface& box);
  // Rebuilds the overlay, composites it and refreshes the box (always with
  // zoom off; with zoom on only when `refresh`).
  void Draw_Graphics(Picture_Surface& box, bool refresh, bool start_camera, bool file_open,
                     int16_t lap_count, bool zoom_on = false);

  // Tell the overlay that its buffer was drawn on from outside.
  void Changed() { spans_dirty_ = true; }

  cDIBSection DIB_graphics;

  // The lap box picture box (Pict_heat_time), sized at start-up.
  const QImage& Pict_heat_time() const { return heat_time_; }
  // Top-left of the lap box for a picture box of that size.
  static QPoint Lap_Box_Position(int32_t width, int32_t height);

  // Composite bookkeeping, for tests and the benchmark.
  int64_t Span_Rebuilds() const { return span_rebuilds_; }
  int64_t Opaque_Pixels() const { return opaque_pixels_; }

 private:
  struct Span {
    int32_t y, x, n;
  };
  void Rebuild_Spans();

  QImage heat_time_;
  std::vector<Span> spans_;
  bool spans_dirty_ = true;
  int64_t span_rebuilds_ = 0;
  int64_t opaque_pixels_ = 0;
};

}  // namespace qm
