// The frame log of `zemvora --frame-log FILE`: one line for every frame the window draws, so
// that anyone can measure how smoothly the view moves. The fields, separated by tabs:
// milliseconds since the program started, milliseconds the frame took, the triangles drawn, and
// `full` or `moving` (drawn from the simplified copies).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// One line of the log, with its line end.
std::string FrameLogLine(int64_t sinceStartTicks, int64_t frameTicks, int64_t triangles,
                         bool simplified);

class FrameLog {
public:
    FrameLog() = default;
    ~FrameLog();
    FrameLog(const FrameLog&) = delete;
    FrameLog& operator=(const FrameLog&) = delete;

    // Opens path to append to, counting time from startTicks of the frame clock; on failure
    // returns false with the system's reason in error.
    bool Open(const std::string& path, int64_t startTicks, std::string& error);
    int64_t StartTicks() const { return m_startTicks; }
    bool IsOpen() const { return m_file != nullptr; }
    // Appends the line of one frame, written through at once so that the log is whole at any
    // moment, however the program ends.
    void Add(int64_t sinceStartTicks, int64_t frameTicks, int64_t triangles, bool simplified);

private:
    std::FILE* m_file = nullptr;
    int64_t m_startTicks = 0;
};
