#pragma once
// Time texts of results, read-outs, exports and prints.

#include <QString>

#include <cstdint>

namespace qm {

// "[h:]mm:ss,hh" with hundredths truncated. Plain form: a leading "-" for a
// negative time, a leading space otherwise. Strip form: leading zeros and
// colons removed down to "s,hh" (kept at least 4 characters), then "-" when
// negative.
QString Display_Mill_Time(int64_t ms, bool strip);

// One component of a time of day: part "h", "m", "s" or "t" (hundredths);
// anything else gives 0. Times wrap at midnight; a time before midnight
// (negative) counts back from the end of the day.
int16_t Time_Component(const QString& part, int32_t ms);

inline constexpr int32_t Ms_Per_Day = 86400000;

}  // namespace qm
