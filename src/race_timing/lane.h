#pragma once
// Lane markers: one numbered marker per lane where the lane meets the goal
// line. A press or key on a marker says which lane a time belongs to.

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QString>

#include <cstdint>
#include <vector>

namespace qm {

inline constexpr int Max_Lanes = 16;
// Half the side of a marker's sensitive square (and of its drawn circle).
inline constexpr float Lane_Half_Size = 12.5f;
inline constexpr int Lane_Size = 25;

class Cls_lane {
 public:
  void Clear_Rank() {
    m_time = 0;
    m_click_time = 0;
    m_Field = 0;
  }

  int16_t Field() const { return m_Field; }
  void Set_Field(int16_t f) { m_Field = f; }
  int16_t Lane_number() const { return m_Lane_number; }
  void Set_Lane_number(int16_t n) { m_Lane_number = n; }
  void Lane_pos_X(int32_t x) { m_X = x; }
  void Lane_pos_Y(int32_t y) { m_Y = y; }
  int32_t X() const { return m_X; }
  int32_t Y() const { return m_Y; }
  // The lane's result (ms or status code), copied in by the results fill so
  // the marker can show it; 0 when the lane has none.
  int32_t time() const { return m_time; }
  void Set_time(int32_t t) { m_time = t; }
  int32_t click_time() const { return m_click_time; }
  void Set_click_time(int32_t t) { m_click_time = t; }

  // Open square of 25 pixels around the centre, in single precision: a point
  // exactly 12.5 pixels off is outside.
  bool Within(float x, float y) const;

  // The marker's drawn square: top left at X - 12.5, Y - 12.5 rounded half to
  // even, 25 pixels each way.
  QRect Bounding_Square() const;

  // Scratch corners of the drawing.
  QPoint draw_point_1, draw_point_2;

 private:
  int16_t m_Lane_number = 0;
  int32_t m_X = 0, m_Y = 0;
  int32_t m_time = 0;
  int32_t m_click_time = 0;
  int16_t m_Field = 0;
};

// Colours of a marker for its current `time` (the drawing of the overlays
// uses them).
struct Lane_Style {
  QColor fill;
  QColor text;
  bool transparent_text_background = false;
};
Lane_Style Lane_Style_For(int32_t time);

// The main window's ordered list of markers, addressed 1..Count(). The list
// position is not the lane number.
class Lane_markers {
 public:
  int Count() const { return static_cast<int>(m_items.size()); }
  // Position 1..Count(); a position outside raises subscript out of range.
  Cls_lane& Item(int position);
  const Cls_lane& Item(int position) const;
  Cls_lane& Add();
  void Clear() { m_items.clear(); }
  // The marker with that lane number, or nullptr.
  Cls_lane* By_Lane_number(int lane);

  std::vector<Cls_lane>::iterator begin() { return m_items.begin(); }
  std::vector<Cls_lane>::iterator end() { return m_items.end(); }
  std::vector<Cls_lane>::const_iterator begin() const { return m_items.begin(); }
  std::vector<Cls_lane>::const_iterator end() const { return m_items.end(); }

 private:
  std::vector<Cls_lane> m_items;
};

// Fills `markers` from the INI value "Lanes": "None" gives 16 markers 0..15
// at (15 i, 20 i); otherwise 16 groups of 6 characters "xxxyyy", an empty
// piece giving (20, 30). A piece that is not a number raises type mismatch
// (the caller's trap reports it). Shows "Too many lanes" above 16 markers.
void Parse_Lanes(Lane_markers& markers, const QString& value);

// Picked lane of a press at (x, y): the Lane_number of the first marker in
// list order that contains the point, or -1. `position` gets that marker's
// list position (0 when none).
int16_t Check_within_lanes(const Lane_markers& markers, float x, float y, int* position = nullptr);

// Dragging a marker while lanes are unlocked.
struct Lane_Drag {
  int position = 0;  // list position of the marker; 0: no drag
  int32_t start_X = 0, start_Y = 0;
  float press_x = 0, press_y = 0;
  bool Active() const { return position > 0; }
};
// A left press: starts a drag on the marker under the point when lanes are
// not locked. Returns whether a drag began.
bool Begin_Lane_Drag(const Lane_markers& markers, bool lanes_locked, float x, float y,
                     Lane_Drag& drag);
// Pointer moved with the button held: the marker moves by the pointer's
// travel (rounded to 16-bit integers) when the new position lies strictly
// inside the picture and markers are shown. Returns whether it moved.
bool Drag_Lane_To(Lane_markers& markers, const Lane_Drag& drag, float x, float y, int picture_width,
                  int picture_height, bool markers_shown);

}  // namespace qm
