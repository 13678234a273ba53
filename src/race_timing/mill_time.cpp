#include "race_timing/mill_time.h"

namespace qm {

namespace {
QString Two(int64_t v) {
  return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}
}  // namespace

QString Display_Mill_Time(int64_t ms, bool strip) {
  const bool negative = ms < 0;
  const uint64_t magnitude = negative ? 0u - static_cast<uint64_t>(ms) : static_cast<uint64_t>(ms);
  const int64_t a = static_cast<int64_t>(magnitude % Ms_Per_Day);
  const int64_t h = a / 3600000;
  const int64_t m = (a % 3600000) / 60000;
  const int64_t s = (a % 60000) / 1000;
  const int64_t c = (a % 1000) / 10;
  QString text;
  if (h > 0) text = QString::number(h) + QLatin1Char(':');
  text += Two(m) + QLatin1Char(':') + Two(s) + QLatin1Char(',') + Two(c);
  if (!strip) return (negative ? QStringLiteral("-") : QStringLiteral(" ")) + text;
  while (text.size() >= 5 && (text[0] == QLatin1Char('0') || text[0] == QLatin1Char(':')))
    text.remove(0, 1);
  if (negative) text.prepend(QLatin1Char('-'));
  return text;
}

int16_t Time_Component(const QString& part, int32_t ms) {
  int64_t a = ms % Ms_Per_Day;
  if (a < 0) a += Ms_Per_Day;
  if (part == QLatin1String("h")) return static_cast<int16_t>(a / 3600000);
  if (part == QLatin1String("m")) return static_cast<int16_t>((a % 3600000) / 60000);
  if (part == QLatin1String("s")) return static_cast<int16_t>((a % 60000) / 1000);
  if (part == QLatin1String("t")) return static_cast<int16_t>((a % 1000) / 10);
  return 0;
}

}  // namespace qm
