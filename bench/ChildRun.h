// Runs one measured operation in a fresh child process, so that every run starts from the same
// empty heap and its peak memory can be told apart from everything else the benchmark holds.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

// Numbers an operation hands back to the benchmark (counts, sizes), as it sees fit.
using ChildNumbers = std::array<int64_t, 8>;

struct ChildResult {
    bool ok = false;             // the child ran to the end and the operation succeeded
    double ms = 0;               // wall time of the operation alone
    int64_t peakExtraBytes = 0;  // peak resident memory during it, above where it started
    ChildNumbers numbers{};
};

// In a forked child: runs prepare (not measured), then work, timed and with its peak resident
// memory recorded. The parent waits for the child and returns what it reported.
ChildResult RunInChild(const std::function<bool()>& prepare,
                       const std::function<bool(ChildNumbers&)>& work);

// How the peak is measured on this system, for the printed output.
const char* PeakMemoryMethod();
