#pragma once
// The zoom view: a vertical strip of the picture, 150 pixels wide and the
// full picture height, stretched three times in width into a framed window
// drawn over the same place of the picture. The strip and the window are
// clamped to the picture's edges independently, so near the middle the
// magnified goal region lies right under the pointer.

#include <QImage>

#include <cstdint>

namespace qm {

struct Zoom_Geometry {
  static constexpr int16_t Source_width = 150;
  static constexpr int16_t Window_width = 450;
  static constexpr int Frame_pen = 4;
  int16_t source_left = 0;
  int16_t source_height = 0;
  int16_t window_left = 0;
  int16_t window_top = 0;
  int16_t window_height = 0;
};

// The strip and window for a centre at picture x (y does not move them).
Zoom_Geometry Zoom_Geometry_For(float x, int32_t picture_width, int32_t picture_height);

class Zoom_View {
 public:
  bool Zoom_On = false;
  float Zoom_X = 0;
  float Zoom_Y = 0;

  // Draws the zoom window for (x, y) into `picture` (the picture as shown,
  // field and overlay together). Nothing while zoom is off or a drawing runs.
  void Do_Zoom(QImage& picture, float x, float y);
  // Strictly inside the window rectangle of the last drawing.
  bool Within_Zoom(float x, float y) const;
  const Zoom_Geometry& Window() const { return window_; }
  bool Busy() const { return busy_; }

 private:
  Zoom_Geometry window_;
  bool busy_ = false;
};

}  // namespace qm
