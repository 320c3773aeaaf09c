// The clock frames are timed with: a counter of 10 MHz ticks. The window and pictures use the
// steady clock; tests hand out ticks of their own.
#pragma once

#include <cstdint>

class FrameClock {
public:
    virtual ~FrameClock() = default;
    virtual int64_t Ticks() const = 0;
};

class SteadyFrameClock final : public FrameClock {
public:
    int64_t Ticks() const override;
};
