#include "race_timing/lane.h"

#include "platform/dialogs.h"
#include "platform/failure.h"
#include "race_timing/lane_result.h"

#include <cmath>

namespace qm {

namespace {
// Whole pixels the way the drawing rounds them: halves to even.
int32_t Round_Even(double v) {
  return static_cast<int32_t>(std::nearbyint(v));
}
}  // namespace

bool Cls_lane::Within(float x, float y) const {
  const float cx = static_cast<float>(m_X);
  const float cy = static_cast<float>(m_Y);
  return cx - Lane_Half_Size < x && x < cx + Lane_Half_Size && cy - Lane_Half_Size < y &&
         y < cy + Lane_Half_Size;
}

QRect Cls_lane::Bounding_Square() const {
  return QRect(Round_Even(m_X - 12.5), Round_Even(m_Y - 12.5), Lane_Size, Lane_Size);
}

Lane_Style Lane_Style_For(int32_t time) {
  // Tested in this order, a later match winning.
  Lane_Style s{QColor(200, 200, 200), QColor(120, 120, 120), true};
  if (time > 0 && time < No_result) s = {QColor(255, 255, 255), QColor(0, 0, 255), false};
  if (Is_Status(time)) s = {QColor(255, 255, 255), QColor(255, 0, 0), false};
  return s;
}

Cls_lane& Lane_markers::Item(int position) {
  if (position < 1 || position > Count()) Raise(Err_Subscript);
  return m_items[static_cast<size_t>(position - 1)];
}

const Cls_lane& Lane_markers::Item(int position) const {
  if (position < 1 || position > Count()) Raise(Err_Subscript);
  return m_items[static_cast<size_t>(position - 1)];
}

Cls_lane& Lane_markers::Add() {
  return m_items.emplace_back();
}

Cls_lane* Lane_markers::By_Lane_number(int lane) {
  for (Cls_lane& l : m_items)
    if (l.Lane_number() == lane) return &l;
  return nullptr;
}

void Parse_Lanes(Lane_markers& markers, const QString& value) {
  markers.Clear();
  if (value == QLatin1String("None")) {
    for (int i = 0; i < Max_Lanes; ++i) {
      Cls_lane& l = markers.Add();
      l.Set_Lane_number(static_cast<int16_t>(i));
      l.Lane_pos_X(15 * i);
      l.Lane_pos_Y(20 * i);
    }
  } else {
    for (int i = 0; i < Max_Lanes; ++i) {
      const QString px = value.mid(6 * i, 3);
      const QString py = value.mid(6 * i + 3, 3);
      Cls_lane& l = markers.Add();
      l.Set_Lane_number(static_cast<int16_t>(i));
      l.Lane_pos_X(px.isEmpty() ? 20 : To_Int16(px));
      l.Lane_pos_Y(py.isEmpty() ? 30 : To_Int16(py));
    }
  }
  if (markers.Count() > Max_Lanes) MsgBox(QStringLiteral("Too many lanes"));
}

int16_t Check_within_lanes(const Lane_markers& markers, float x, float y, int* position) {
  if (position) *position = 0;
  for (int k = 1; k <= markers.Count(); ++k) {
    if (markers.Item(k).Within(x, y)) {
      if (position) *position = k;
      return markers.Item(k).Lane_number();
    }
  }
  return -1;
}

bool Begin_Lane_Drag(const Lane_markers& markers, bool lanes_locked, float x, float y,
                     Lane_Drag& drag) {
  drag = Lane_Drag{};
  if (lanes_locked) return false;
  int pos = 0;
  Check_within_lanes(markers, x, y, &pos);
  if (pos == 0) return false;
  drag.position = pos;
  drag.start_X = markers.Item(pos).X();
  drag.start_Y = markers.Item(pos).Y();
  drag.press_x = x;
  drag.press_y = y;
  return true;
}

bool Drag_Lane_To(Lane_markers& markers, const Lane_Drag& drag, float x, float y, int picture_width,
                  int picture_height, bool markers_shown) {
  if (!drag.Active() || drag.position > markers.Count()) return false;
  const int32_t nx =
      Checked_Int16(Round_Even(static_cast<double>(drag.start_X) + (x - drag.press_x)));
  const int32_t ny =
      Checked_Int16(Round_Even(static_cast<double>(drag.start_Y) + (y - drag.press_y)));
  if (!(nx > 0 && ny > 0 && nx < picture_width && ny < picture_height && markers_shown))
    return false;
  Cls_lane& l = markers.Item(drag.position);
  l.Lane_pos_X(nx);
  l.Lane_pos_Y(ny);
  return true;
}

}  // namespace qm
