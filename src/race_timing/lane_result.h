#pragma once
// One heat's lane results: a time in ms from the heat start, or a status.
// `lane_all_heats_array` mirrors what the file holds (by lane number);
// `lane_active_heat_array` is the same set sorted into ranking order.

#include <QString>

#include <array>
#include <cstdint>

namespace qm {

inline constexpr int32_t Real_Time_Limit = 10000000;  // below: a real time
inline constexpr int32_t Status_DSQ = 100000001;
inline constexpr int32_t Status_DNS = 100000002;
inline constexpr int32_t Status_DNF = 100000003;
inline constexpr int32_t No_result = 999999999;

inline bool Is_Real_Time(int32_t t) {
  return t < Real_Time_Limit;
}
inline bool Is_Status(int32_t t) {
  return t > 100000000 && t < No_result;
}
// Text of a status code ("DSQ", "DNS", "DNF"), empty otherwise.
QString Status_Text(int32_t t);

struct Lane_result {
  int16_t lane = 0;
  int32_t time = 0;
  int32_t click_time = 0;  // tick counter, compared as signed
  int16_t goal_field = 0;
  bool operator==(const Lane_result&) const = default;
};

inline constexpr int Result_Slots = 16;

struct Result_Arrays {
  // Slot i has lane i (0..15).
  std::array<Lane_result, Result_Slots> all{};
  // Slots 1..16 at index 0..15.
  std::array<Lane_result, Result_Slots> active{};
  bool set_up = false;  // false until the first Copy_Active_Heat

  // Checked access: a lane outside 0..15 / a slot outside 1..16 raises
  // subscript out of range.
  Lane_result& lane_all_heats_array(int lane);
  Lane_result& lane_active_heat_array(int slot);
  const Lane_result& lane_active_heat_array(int slot) const;
};

// Copies slot i of `all` into active slot i+1, with lane i.
void Copy_Active_Heat(Result_Arrays& arrays);

// Bubble sort by time, ties by earlier click tick, signed 32-bit, stable
// otherwise: real times, then DSQ, DNS, DNF, then lanes without a result.
void Lane_Active_Heat_Array_Sort(Result_Arrays& arrays);

// Place 1..16 of a lane in the ranking; 0 when absent, not a real time, or
// the arrays are not set up.
int16_t Lane_To_Place(const Result_Arrays& arrays, int lane);
// Goal field of a place (1..16); 0 for any other place.
int16_t Go_to_Goal_field(const Result_Arrays& arrays, int place);
// 1-based position of a lane among the first `count` slots, statuses
// included; 0 when absent.
int16_t Find_Place(const Result_Arrays& arrays, int lane, int count);

// Number of slots holding a real time.
int Count_Real_Times(const Result_Arrays& arrays);

// Heat part of a capture file name: the text between the last "Heat" (or,
// without one, the last "heat") and the next "_". Empty otherwise.
QString Heat_number_from_Filename(const QString& name);

}  // namespace qm
