#include "view/FrameLog.h"

#include <cerrno>
#include <cstring>

namespace {

// Ticks of the 10 MHz frame clock as milliseconds with one decimal.
std::string Milliseconds(int64_t ticks) {
    const bool negative = ticks < 0;
    const int64_t tenths = ((negative ? -ticks : ticks) + 500) / 1000;
    return (negative ? "-" : "") + std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

}  // namespace

std::string FrameLogLine(int64_t sinceStartTicks, int64_t frameTicks, int64_t triangles,
                         bool simplified) {
    return Milliseconds(sinceStartTicks) + "\t" + Milliseconds(frameTicks) + "\t" +
           std::to_string(triangles) + "\t" + (simplified ? "moving" : "full") + "\n";
}

FrameLog::~FrameLog() {
    if (m_file) std::fclose(m_file);
}

bool FrameLog::Open(const std::string& path, int64_t startTicks, std::string& error) {
    if (m_file) std::fclose(m_file);
    m_startTicks = startTicks;
    m_file = std::fopen(path.c_str(), "a");
    if (!m_file) error = std::strerror(errno);
    return m_file != nullptr;
}

void FrameLog::Add(int64_t sinceStartTicks, int64_t frameTicks, int64_t triangles,
                   bool simplified) {
    if (!m_file) return;
    const std::string line = FrameLogLine(sinceStartTicks, frameTicks, triangles, simplified);
    std::fwrite(line.data(), 1, line.size(), m_file);
    std::fflush(m_file);
}
