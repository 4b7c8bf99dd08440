#pragma once
// Milliseconds of a monotonic clock (stands in for the tick count) and a plain sleep.
#include <cstdint>

namespace Tick {
// Milliseconds since an arbitrary fixed start; never goes backwards.
std::int64_t count();
void sleepMs(int ms);
} // namespace Tick
