#pragma once
// The local date and time that the program writes into files. A fixed value
// can be set for a while (the demo heat must be byte-identical for a seed).
#include <QDateTime>

#include <optional>

namespace qm {

QDateTime Now();

class Fixed_Now {
public:
  explicit Fixed_Now(const QDateTime& when);
  ~Fixed_Now();
  Fixed_Now(const Fixed_Now&) = delete;
  Fixed_Now& operator=(const Fixed_Now&) = delete;

private:
  std::optional<QDateTime> previous_;
};

}  // namespace qm
