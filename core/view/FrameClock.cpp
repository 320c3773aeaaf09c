#include "view/FrameClock.h"

#include <chrono>

int64_t SteadyFrameClock::Ticks() const {
    using namespace std::chrono;
    return duration_cast<duration<int64_t, std::ratio<1, 10000000>>>(
               steady_clock::now().time_since_epoch())
        .count();
}
