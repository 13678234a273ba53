#include "picture_display/picture_surface.h"

namespace qm {

Picture_Surface::Picture_Surface(int32_t width, int32_t height) {
  Resize(width, height);
}

void Picture_Surface::Resize(int32_t width, int32_t height) {
  if (width == image_.width() && height == image_.height()) return;
  image_ = QImage(width > 0 ? width : 1, height > 0 ? height : 1, QImage::Format_BGR888);
  image_.fill(Qt::black);
}

Bgr24_View Picture_Surface::View() {
  const auto bpl = static_cast<int32_t>(image_.bytesPerLine());
  return {image_.bits() + static_cast<ptrdiff_t>(image_.height() - 1) * bpl, image_.width(),
          image_.height(), -bpl};
}

void Picture_Surface::Refresh() {
  ++refreshes_;
  if (on_refresh) on_refresh();
}

}  // namespace qm
