#pragma once
// Millisecond tick of the system-wide monotonic clock, wrapped to 32 bits so
// that ticks of different processes compare; and a sleep.
#include <cstdint>

namespace qm {
uint32_t Tick_Count();
void Sleep_ms(uint32_t ms);
}  // namespace qm
