#pragma once
// The picture box without a window: a persistent image in picture pixels.
// Whatever is painted into it stays until painted over; the main window puts
// it on the screen when it is refreshed, the command line writes it out.

#include "platform/video_codec.h"

#include <QImage>

#include <cstdint>
#include <functional>

namespace qm {

class Picture_Surface {
 public:
  explicit Picture_Surface(int32_t width = 720, int32_t height = 576);

  // New size; the image starts black.
  void Resize(int32_t width, int32_t height);
  int32_t Width() const { return image_.width(); }
  int32_t Height() const { return image_.height(); }

  // Blue-green-red, top-down rows (as the buffers' pixels, turned upright).
  const QImage& Image() const { return image_; }
  QImage& Image() { return image_; }
  // The same pixels as a buffer view (negative stride: top-down).
  Bgr24_View View();

  // P_Large_refresh: puts the image on the screen (the window's hook).
  void Refresh();
  std::function<void()> on_refresh;

  // Counted so that tests can tell a paint from none.
  int64_t Paints() const { return paints_; }
  int64_t Refreshes() const { return refreshes_; }
  void Count_Paint() { ++paints_; }

 private:
  QImage image_;
  int64_t paints_ = 0;
  int64_t refreshes_ = 0;
};

}  // namespace qm
