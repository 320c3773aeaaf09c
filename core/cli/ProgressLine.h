// The progress of a long command-line run on standard error: nothing while the run is short;
// once it has taken longer than a second, "zemvora: 12 of 100 frames" rewritten in place after
// every step, and a line break at the end.
#pragma once

#include <iosfwd>

#include "view/FrameClock.h"

class ProgressLine {
public:
    // Starts timing now.
    ProgressLine(std::ostream& err, int total, const FrameClock& clock);
    // After each step: done steps of the total are finished.
    void Done(int done);
    // Ends the line, when one was shown.
    void Finish();

private:
    std::ostream& m_err;
    int m_total;
    const FrameClock& m_clock;
    int64_t m_start;
    bool m_shown = false;
};
