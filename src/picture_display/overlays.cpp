#include "picture_display/overlays.h"

#include "picture_display/picture_surface.h"
#include "platform/failure.h"
#include "platform/fonts.h"
#include "race_timing/lane.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cstring>

namespace qm {

namespace {
const char* const Form = "Frm_kanot";
const char* const Form_2 = "frm_kanot_2";
constexpr int Lane_Line_Length = 300;

// Text points at the screen's 96 dots an inch.
int Points_To_Pixels(double points) {
  return Round_Half_Even(points * 96.0 / 72.0);
}
}  // namespace

QFont Lane_Number_Font(int height, int width) {
  QFont f = Program_Font(QStringLiteral("Arial"), 100, QFont::DemiBold);
  const QFontMetricsF ref(f);
  // The cell height asked for is ascent plus descent; the width the average
  // character width, reached by stretching.
  const int px = std::max(1, Round_Half_Even(height * 100.0 / (ref.ascent() + ref.descent())));
  f.setPixelSize(px);
  const QFontMetricsF at(f);
  const double avg = at.averageCharWidth();
  if (avg > 0) f.setStretch(std::clamp(Round_Half_Even(100.0 * width / avg), 1, 4000));
  return f;
}

void Do_DrawDCLine_lane(const Cls_lane& lane, Dib_DC* dc, bool flipped) {
  const QRect sq = lane.Bounding_Square();
  const int32_t right = sq.left() + Lane_Size, bottom = sq.top() + Lane_Size;
  const int32_t x0 = Round_Half_Even(right - 12.5);
  const int32_t x1 = flipped ? x0 - Lane_Line_Length : x0 + Lane_Line_Length;
  const QColor red(255, 0, 0);
  for (int32_t y : {bottom, bottom - 1, bottom + 1}) DIB_Line(dc, x0, y, x1, y, PS_DOT, 1, red);
}

void Draw_lane(const Cls_lane& lane, Dib_DC* dc, bool flipped) {
  const QRect sq = lane.Bounding_Square();
  const Lane_Style style = Lane_Style_For(lane.time());
  DIB_Ellipse(dc, sq.left(), sq.top(), sq.left() + Lane_Size, sq.top() + Lane_Size, style.fill, 0,
              BS_SOLID, PS_SOLID, 2, style.text);
  const int n = lane.Lane_number();
  const bool one_digit = n >= 0 && n <= 9;
  if (dc)
    dc->Draw_Text(QRect(sq.left(), sq.top() + 2, Lane_Size, Lane_Size - 2),
                  Qt::AlignCenter | Qt::TextSingleLine, QString::number(n),
                  one_digit ? Lane_Number_Font(18, 8) : Lane_Number_Font(14, 6), style.text);
  Do_DrawDCLine_lane(lane, dc, flipped);
}

// --- Picture_Overlay ----------------------------------------------------------

Picture_Overlay::Picture_Overlay() {
  // Pict_heat_time: as wide as "-11.22.33" and 0.85 of its height in
  // "Times New Roman" 48.
  const QFontMetrics fm(Program_Font(QStringLiteral("Times New Roman"), Points_To_Pixels(48)));
  heat_time_ = QImage(fm.horizontalAdvance(QStringLiteral("-11.22.33")),
                      Round_Half_Even(fm.height() * 0.85), QImage::Format_RGB32);
  heat_time_.fill(QColor(255, 255, 192));
}

QPoint Picture_Overlay::Lap_Box_Position(int32_t width, int32_t height) {
  return {Round_Half_Even(0.75 * width), Round_Half_Even(0.92 * height)};
}

void Picture_Overlay::Arrange(int32_t width, int32_t height) {
  if (DIB_graphics.Width() != width || DIB_graphics.Height() != height) {
    DIB_graphics.Create(width, height);
    DIB_graphics.ID_string(QStringLiteral("DIB_graphics"));
  }
  Clear_Graphics();
}

void Picture_Overlay::Clear_Graphics() {
  Trapped(Where_Form("Clear_Graphics", Form), [&] {
    spans_dirty_ = true;
    Dib_DC* dc = DIB_graphics.hDC();
    if (!dc) Raise(Err_Object_Missing);
    DIB_Rectangle(dc, 0, 0, DIB_graphics.Width(), DIB_graphics.Height(), Key_Colour, 0, BS_SOLID,
                  PS_SOLID, 1, Key_Colour);
  });
}

void Picture_Overlay::Draw_Goal_line() {
  Trapped(Where_Form("Draw_Goal_line", Form), [&] {
    if (!show_goal_line) return;
    const auto [x1, y1, x2, y2] = Goal_line;
    if (x1 == x2 && y1 == y2) return;
    spans_dirty_ = true;
    const int grey = invert_goal_line ? 25 : 255;
    Draw_AA_Line(DIB_graphics.hDC(), x1, y1, x2, y2, QColor(grey, grey, grey), 2, false);
  });
}

void Picture_Overlay::Draw_lanes(bool flip) {
  Trapped(Where_Form("Draw_lanes", Form), [&] {
    if (!show_lane_markers || !lanes || lanes->Count() == 0) return;
    spans_dirty_ = true;
    for (int k = 1; k <= markers_drawn; ++k) Draw_lane(lanes->Item(k), DIB_graphics.hDC(), flip);
  });
}

void Picture_Overlay::Overlay_Lap(int16_t lap) {
  Trapped(Where_Form("Overlay_Lap", Form_2), [&] {
    if (lap == 0) return;
    Dib_DC* dc = DIB_graphics.hDC();
    if (!dc) Raise(Err_Object_Missing);
    spans_dirty_ = true;
    heat_time_.fill(QColor(255, 255, 192));
    {
      QPainter p(&heat_time_);
      p.setFont(Program_Font(QStringLiteral("Times New Roman"), Points_To_Pixels(36)));
      p.setPen(QColor(0, 255, 0));
      p.drawText(QRect(0, 0, heat_time_.width(), heat_time_.height()),
                 Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                 QStringLiteral("Lap: ") + QString::number(lap));
    }
    dc->Flush();
    // Copied at the same size, black transparent, clipped to the overlay.
    const QPoint at = Lap_Box_Position(DIB_graphics.Width(), DIB_graphics.Height());
    for (int y = 0; y < heat_time_.height(); ++y) {
      const int ty = at.y() + y;
      if (ty < 0 || ty >= dc->Height()) continue;
      const auto* row = reinterpret_cast<const QRgb*>(heat_time_.constScanLine(y));
      for (int x = 0; x < heat_time_.width(); ++x) {
        const int tx = at.x() + x;
        if (tx < 0 || tx >= dc->Width() || (row[x] & 0xffffff) == 0) continue;
        dc->Set_Pixel(tx, ty, QColor::fromRgb(row[x]));
      }
    }
  });
}

void Picture_Overlay::Rebuild_Spans() {
  spans_.clear();
  opaque_pixels_ = 0;
  if (Dib_DC* dc = DIB_graphics.hDC()) dc->Flush();
  const Bgr24_View v = DIB_graphics.View();
  for (int32_t y = 0; y < v.height; ++y) {
    const uint8_t* row = v.Row(y);
    int32_t x = 0;
    while (x < v.width) {
      while (x < v.width && row[3 * x] == 128 && row[3 * x + 1] == 128 && row[3 * x + 2] == 128)
        ++x;
      const int32_t start = x;
      while (x < v.width && !(row[3 * x] == 128 && row[3 * x + 1] == 128 && row[3 * x + 2] == 128))
        ++x;
      if (x > start) {
        spans_.push_back({y, start, x - start});
        opaque_pixels_ += x - start;
      }
    }
  }
  spans_dirty_ = false;
  ++span_rebuilds_;
}

void Picture_Overlay::Blit_Graphics(Picture_Surface& box) {
  if (!DIB_graphics.hDC()) return;
  if (spans_dirty_) Rebuild_Spans();
  const Bgr24_View src = DIB_graphics.View();
  const Bgr24_View dst = box.View();
  // Equal sizes in this program; a smaller box takes what fits.
  for (const Span& s : spans_) {
    if (s.y >= dst.height || s.x >= dst.width) continue;
    const int32_t n = std::min(s.n, dst.width - s.x);
    std::memcpy(dst.Row(s.y) + 3 * s.x, src.Row(s.y) + 3 * s.x, static_cast<size_t>(n) * 3);
  }
}

void Picture_Overlay::Draw_Graphics(Picture_Surface& box, bool refresh, bool start_camera,
                                    bool file_open, int16_t lap_count, bool zoom_on) {
  Trapped(Where_Form("Draw_Graphics", Form_2), [&] {
    Clear_Graphics();
    if (!start_camera) {
      Draw_Goal_line();
      if (file_open) Draw_lanes(flip_lane_markers);
    }
    if (lap_count > 0) Overlay_Lap(lap_count);
    Blit_Graphics(box);
    if (!zoom_on) refresh = true;
    if (refresh) box.Refresh();
  });
}

}  // namespace qm
