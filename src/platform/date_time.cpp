#include "platform/date_time.h"

namespace qm {

namespace {
std::optional<QDateTime>& Fixed() {
  static std::optional<QDateTime> fixed;
  return fixed;
}
}  // namespace

QDateTime Now() { return Fixed() ? *Fixed() : QDateTime::currentDateTime(); }

Fixed_Now::Fixed_Now(const QDateTime& when) : previous_(Fixed()) { Fixed() = when; }
Fixed_Now::~Fixed_Now() { Fixed() = previous_; }

}  // namespace qm
