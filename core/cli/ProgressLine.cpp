#include "cli/ProgressLine.h"

#include <ostream>

namespace {

constexpr int64_t kTicksPerSecond = 10000000;

}  // namespace

ProgressLine::ProgressLine(std::ostream& err, int total, const FrameClock& clock)
    : m_err(err), m_total(total), m_clock(clock), m_start(clock.Ticks()) {}

void ProgressLine::Done(int done) {
    if (!m_shown && m_clock.Ticks() - m_start <= kTicksPerSecond) return;
    m_shown = true;
    m_err << "\rzemvora: " << done << " of " << m_total << " frames" << std::flush;
}

void ProgressLine::Finish() {
    if (m_shown) m_err << "\n" << std::flush;
    m_shown = false;
}
