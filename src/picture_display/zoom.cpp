#include "picture_display/zoom.h"

#include "picture_display/dib_section.h"
#include "platform/failure.h"

#include <QPainter>

namespace qm {

namespace {
constexpr const char* frm_kanot_2 = "frm_kanot_2";
}

Zoom_Geometry Zoom_Geometry_For(float x, int32_t picture_width, int32_t picture_height) {
  Zoom_Geometry g;
  g.source_height = Checked_Int16(picture_height);
  g.window_height = g.source_height;
  int32_t src = Round_Half_Even(static_cast<double>(x) - 75);
  if (src <= 0) src = 0;
  if (src >= picture_width - Zoom_Geometry::Source_width - 2)
    src = picture_width - Zoom_Geometry::Source_width - 2;
  int32_t win = Round_Half_Even(static_cast<double>(x) - 225);
  if (win < 0) win = 0;
  if (win >= picture_width - Zoom_Geometry::Window_width - 4)
    win = picture_width - Zoom_Geometry::Window_width - 4;
  g.source_left = Checked_Int16(src);
  g.window_left = Checked_Int16(win);
  g.window_top = 0;
  return g;
}

void Zoom_View::Do_Zoom(QImage& picture, float x, float y) {
  (void)y;
  if (!Zoom_On || busy_) return;
  busy_ = true;
  struct Clear {
    bool& flag;
    ~Clear() { flag = false; }
  } clear{busy_};
  Trapped(Where_Form("Do_Zoom", frm_kanot_2), [&] {
    if (picture.isNull()) return;
    window_ = Zoom_Geometry_For(x, picture.width(), picture.height());
    const int h = window_.source_height;
    // The strip is taken out first: the window is written over the same picture.
    const QImage strip = picture.copy(window_.source_left, 0, Zoom_Geometry::Source_width, h)
                             .scaled(Zoom_Geometry::Window_width, h, Qt::IgnoreAspectRatio,
                                     Qt::SmoothTransformation);
    QPainter p(&picture);
    p.drawImage(window_.window_left, 0, strip);
    QPen pen(QColor(255, 255, 16));
    pen.setWidth(Zoom_Geometry::Frame_pen);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    // The pen lies inside the rectangle, as a hollow rectangle of that width does.
    const int half = Zoom_Geometry::Frame_pen / 2;
    p.drawRect(QRect(window_.window_left + half, half, Zoom_Geometry::Window_width - 2 * half,
                     h - 2 * half));
  });
}

bool Zoom_View::Within_Zoom(float x, float y) const {
  return Trapped(Where_Form("Within_Zoom", frm_kanot_2), false, [&] {
    const int16_t right = Checked_Int16(int32_t{window_.window_left} + Zoom_Geometry::Window_width);
    return window_.window_left < x && x < right && 0 < y && y < window_.window_height;
  });
}

}  // namespace qm
