#include "picture_display/dib_section.h"

#include "picture_display/picture_surface.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "platform/field_graphics.h"

#include <QPainterPath>

#include <cmath>
#include <cstdlib>
#include <new>

namespace qm {

int32_t Round_Half_Even(double v) {
  const double fl = std::floor(v);
  const double diff = v - fl;
  double r = fl;
  if (diff > 0.5)
    r = fl + 1;
  else if (diff == 0.5)
    r = std::fmod(fl, 2.0) == 0 ? fl : fl + 1;
  return static_cast<int32_t>(r);
}

// --- Dib_DC -----------------------------------------------------------------

QPainter& Dib_DC::Painter() {
  if (!painter_) {
    painter_ = std::make_unique<QPainter>(&mirror_);
    // The memory holds the bottom row first: flip so that y runs downwards
    // in picture coordinates.
    painter_->setTransform(QTransform(1, 0, 0, -1, 0, view_.height));
    painter_->setRenderHint(QPainter::Antialiasing, false);
  }
  return *painter_;
}

void Dib_DC::Flush() {
  painter_.reset();
}

QColor Dib_DC::Pixel_Colour(int32_t x, int32_t y) const {
  const uint8_t* p = Pixel(x, y);
  return QColor(p[2], p[1], p[0]);
}

void Dib_DC::Set_Pixel(int32_t x, int32_t y, const QColor& c) {
  uint8_t* p = Pixel(x, y);
  p[0] = static_cast<uint8_t>(c.blue());
  p[1] = static_cast<uint8_t>(c.green());
  p[2] = static_cast<uint8_t>(c.red());
}

void Dib_DC::Draw_Text(const QRect& box, int flags, const QString& text, const QFont& font,
                       const QColor& colour) {
  const QRect area = box.intersected(QRect(0, 0, view_.width, view_.height));
  if (area.isEmpty() || text.isEmpty()) return;
  // Drawn upright on a scratch picture, then blended in by its coverage.
  QImage scratch(box.size(), QImage::Format_ARGB32_Premultiplied);
  scratch.fill(Qt::transparent);
  {
    QPainter p(&scratch);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(QRect(QPoint(0, 0), box.size()), flags, text);
  }
  Flush();
  for (int y = area.top(); y <= area.bottom(); ++y) {
    const auto* src = reinterpret_cast<const QRgb*>(scratch.constScanLine(y - box.top()));
    for (int x = area.left(); x <= area.right(); ++x) {
      const QRgb s = src[x - box.left()];
      const int a = qAlpha(s);
      if (a == 0) continue;
      uint8_t* d = Pixel(x, y);
      const int inv = 255 - a;
      d[0] = static_cast<uint8_t>(qBlue(s) + (d[0] * inv + 127) / 255);
      d[1] = static_cast<uint8_t>(qGreen(s) + (d[1] * inv + 127) / 255);
      d[2] = static_cast<uint8_t>(qRed(s) + (d[2] * inv + 127) / 255);
    }
  }
}

// --- cDIBSection ------------------------------------------------------------

bool cDIBSection::Create(int32_t width, int32_t height) {
  const bool keep_handle = draw_open_;
  ClearUp();
  if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return false;
  const int32_t stride = Bgr24_Stride(width);
  try {
    bits_.assign(static_cast<size_t>(stride) * static_cast<size_t>(height), 0);
  } catch (const std::bad_alloc&) {
    bits_.clear();
    return false;
  }
  stride_ = stride;
  info_ = Dib_Info_Header{};
  info_.biWidth = width;
  info_.biHeight = height;
  info_.biSizeImage = static_cast<uint32_t>(stride) * static_cast<uint32_t>(height);
  dc_.view_ = {bits_.data(), width, height, stride};
  dc_.mirror_ = QImage(bits_.data(), width, height, stride, QImage::Format_BGR888);
  static uint64_t next_dib = 0;
  dib_ = ++next_dib;
  draw_open_ = keep_handle;
  return true;
}

void cDIBSection::ClearUp() {
  dc_.painter_.reset();
  dc_.mirror_ = QImage();
  dc_.view_ = {};
  bits_.clear();
  bits_.shrink_to_fit();
  info_ = Dib_Info_Header{};
  stride_ = 0;
  dib_ = 0;
  draw_open_ = false;
}

bool cDIBSection::Paint_Onto(const Bgr24_View& target, int32_t dest_left, int32_t dest_top,
                             int32_t dest_width, int32_t dest_height, int32_t src_left,
                             int32_t src_top, uint32_t rop) {
  bool ok = false;
  if (!bits_.empty() && target.Valid()) {
    draw_open_ = true;
    if (dest_width < 0) dest_width = Width();
    if (dest_height < 0) dest_height = Height();
    const Rect32 source{src_left, src_top, Width() - src_left, Height() - src_top};
    const Rect32 dest{dest_left, dest_top, dest_width, dest_height};
    (void)rop;  // the stretching draw always copies
    ok = Stretch_Bgr24(View(), source, target, dest);
  }
  if (!ok) {
    MsgBox(QStringLiteral("DIB_paintpicture error"));
    return false;
  }
  ++paints_;
  return true;
}

bool cDIBSection::DIB_PaintPicture(Picture_Surface& target, int32_t dest_left, int32_t dest_top,
                                   int32_t dest_width, int32_t dest_height, int32_t src_left,
                                   int32_t src_top, uint32_t rop) {
  const bool ok = Paint_Onto(target.View(), dest_left, dest_top, dest_width, dest_height, src_left,
                             src_top, rop);
  if (ok) target.Count_Paint();
  return ok;
}

bool cDIBSection::DIB_PaintPicture(cDIBSection& target, int32_t dest_left, int32_t dest_top,
                                   int32_t dest_width, int32_t dest_height, int32_t src_left,
                                   int32_t src_top, uint32_t rop) {
  if (target.hDC()) target.hDC()->Flush();
  return Paint_Onto(target.View(), dest_left, dest_top, dest_width, dest_height, src_left, src_top,
                    rop);
}

bool cDIBSection::DIB_DrawDib2(Picture_Surface& box, int32_t src_top, int32_t src_left,
                               int32_t src_width, int32_t src_height) {
  bool ok = false;
  if (!bits_.empty()) {
    draw_open_ = true;
    ok = Stretch_Bgr24(View(), {src_left, src_top, src_width, src_height}, box.View(),
                       {0, 0, box.Width(), box.Height()});
  }
  if (!ok) {
    MsgBox(QStringLiteral("DIB_paintpicture error"));
    return false;
  }
  ++paints_;
  box.Count_Paint();
  return true;
}

// --- Drawing routines -------------------------------------------------------

namespace {

void Drawing_Failed() {
  MsgBox(QString::number(static_cast<int>(Err_Invalid_Call)));
}

QPen Pen_For(int16_t style, int16_t width, const QColor& colour) {
  if (style == PS_NULL) return QPen(Qt::NoPen);
  QPen pen(colour);
  pen.setWidth(width < 1 ? 1 : width);
  pen.setStyle(style == PS_DOT ? Qt::DotLine : Qt::SolidLine);
  pen.setCapStyle(Qt::FlatCap);
  pen.setJoinStyle(Qt::MiterJoin);
  return pen;
}

QBrush Brush_For(int16_t style, const QColor& colour) {
  return style == BS_HOLLOW ? QBrush(Qt::NoBrush) : QBrush(colour);
}

// Keeps the painter's pen and brush for the routine and puts them back.
struct Saved_Tools {
  explicit Saved_Tools(QPainter& p) : p_(p), pen_(p.pen()), brush_(p.brush()) {}
  ~Saved_Tools() {
    p_.setPen(pen_);
    p_.setBrush(brush_);
  }
  QPainter& p_;
  QPen pen_;
  QBrush brush_;
};

}  // namespace

bool DIB_Line(Dib_DC* dc, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int16_t pen_style,
              int16_t pen_width, const QColor& pen_colour) {
  if (!dc) {
    Drawing_Failed();
    return false;
  }
  if (pen_style == PS_NULL) return true;
  if (pen_width > 1) {
    QPainter& p = dc->Painter();
    Saved_Tools keep(p);
    p.setPen(Pen_For(pen_style, pen_width, pen_colour));
    p.drawLine(QPoint(x1, y1), QPoint(x2, y2));
    return true;
  }
  dc->Flush();
  // Bresenham's walk; the end point is not drawn.
  const int32_t dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
  const int32_t sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
  int32_t err = dx + dy, x = x1, y = y1;
  for (int32_t i = 0; x != x2 || y != y2; ++i) {
    const bool on = pen_style != PS_DOT || i % 6 < 3;
    if (on && dc->Contains(x, y)) dc->Set_Pixel(x, y, pen_colour);
    const int32_t e2 = 2 * err;
    if (e2 >= dy) err += dy, x += sx;
    if (e2 <= dx) err += dx, y += sy;
  }
  return true;
}

bool DIB_Ellipse(Dib_DC* dc, int32_t left, int32_t top, int32_t right, int32_t bottom,
                 const QColor& brush_colour, int16_t brush_hatch, int16_t brush_style,
                 int16_t pen_style, int16_t pen_width, const QColor& pen_colour) {
  (void)brush_hatch;  // hatched brushes are not used
  if (!dc) {
    Drawing_Failed();
    return false;
  }
  QPainter& p = dc->Painter();
  Saved_Tools keep(p);
  const double w = pen_style == PS_NULL ? 0 : (pen_width < 1 ? 1 : pen_width);
  p.setPen(Pen_For(pen_style, pen_width, pen_colour));
  p.setBrush(Brush_For(brush_style, brush_colour));
  p.drawEllipse(QRectF(left + w / 2, top + w / 2, (right - left) - w, (bottom - top) - w));
  return true;
}

bool DIB_Rectangle(Dib_DC* dc, int32_t left, int32_t top, int32_t right, int32_t bottom,
                   const QColor& brush_colour, int16_t brush_hatch, int16_t brush_style,
                   int16_t pen_style, int16_t pen_width, const QColor& pen_colour) {
  (void)brush_hatch;
  if (!dc) {
    Drawing_Failed();
    return false;
  }
  QPainter& p = dc->Painter();
  const QRect box(QPoint(left, top), QPoint(right - 1, bottom - 1));
  if (box.isEmpty()) return true;
  if (brush_style != BS_HOLLOW) p.fillRect(box, brush_colour);
  if (pen_style != PS_NULL) {
    const int w = pen_width < 1 ? 1 : pen_width;
    p.fillRect(QRect(box.left(), box.top(), box.width(), w), pen_colour);
    p.fillRect(QRect(box.left(), box.bottom() - w + 1, box.width(), w), pen_colour);
    p.fillRect(QRect(box.left(), box.top(), w, box.height()), pen_colour);
    p.fillRect(QRect(box.right() - w + 1, box.top(), w, box.height()), pen_colour);
  }
  return true;
}

void Draw_AA_Line(Dib_DC* dc, int32_t x1, int32_t y1, int32_t x2, int32_t y2, const QColor& colour,
                  int32_t thickness, bool dashed) {
  if (!dc || (x1 == x2 && y1 == y2)) return;
  dc->Flush();
  const int32_t d = thickness / 2;
  const bool x_major = std::abs(x2 - x1) > std::abs(y2 - y1);
  // Walk from the end with the smaller major coordinate.
  int32_t ma = x_major ? x1 : y1, mi = x_major ? y1 : x1;   // major and minor of one end
  int32_t mb = x_major ? x2 : y2, mib = x_major ? y2 : x2;  // of the other
  if (mb < ma) {
    std::swap(ma, mb);
    std::swap(mi, mib);
  }
  const int32_t major_delta = mb - ma, minor_delta = mib - mi;
  const int c[3] = {colour.red(), colour.green(), colour.blue()};
  auto blend = [&](int32_t major, int32_t minor, double weight) {
    const int32_t x = x_major ? major : minor, y = x_major ? minor : major;
    if (!dc->Contains(x, y)) return;
    uint8_t* px = dc->Pixel(x, y);  // blue, green, red
    for (int ch = 0; ch < 3; ++ch) {
      uint8_t& b = px[2 - ch];
      b = static_cast<uint8_t>(Round_Half_Even(weight * c[ch] + (1 - weight) * b));
    }
  };
  int counter = 0;
  for (int32_t k = 0; k <= major_delta; ++k) {
    if (dashed && !x_major) {
      ++counter;
      if (counter >= 10 && counter <= 20) continue;
      if (counter == 21) counter = 0;
    }
    const double exact = static_cast<double>(k) * minor_delta / major_delta;
    const int32_t m0 = mi + static_cast<int32_t>(std::floor(exact));
    const double f = exact - std::floor(exact);
    const int32_t first = m0 - d, last = m0 + thickness - d;
    for (int32_t m = first; m <= last; ++m) {
      if (m == first)
        blend(ma + k, m, 1 - f);
      else if (m == last)
        blend(ma + k, m, f);
      else
        blend(ma + k, m, 1.0);
    }
  }
}

}  // namespace qm
