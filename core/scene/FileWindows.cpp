#include "scene/FileWindows.h"

#include <algorithm>
#include <cerrno>

#include <sys/mman.h>
#include <unistd.h>

#include "scene/AddressSanitizer.h"

namespace {

constexpr size_t kHugePage = size_t{2} << 20;

size_t RoundUp(size_t n, size_t unit) {
    return (n + unit - 1) / unit * unit;
}

}  // namespace

FileWindows::FileWindows(int fd, uint64_t size, size_t windowBytes, size_t resident)
    : m_fd(fd), m_size(size), m_windowBytes(windowBytes), m_residentLimit(resident) {}

FileWindows::~FileWindows() {
    if (m_mapping) {
        UnpoisonBytes(m_mapping, m_mappingBytes);
        munmap(m_mapping, m_mappingBytes);
    }
    if (m_fd >= 0) close(m_fd);
}

std::unique_ptr<FileWindows> FileWindows::Open(int fd, uint64_t size, const WindowSizes& sizes,
                                               int& errorCode) {
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    const size_t windowBytes = RoundUp(std::max<size_t>(sizes.windowBytes, 1), page);
    const size_t resident = std::max<size_t>(sizes.resident, 1);
    std::unique_ptr<FileWindows> windows(new FileWindows(fd, size, windowBytes, resident));
    const uint64_t windowCount = (size + windowBytes - 1) / windowBytes;
    // Room for every window and for moving the start to a huge page.
    if (windowCount > (SIZE_MAX - kHugePage) / windowBytes) {
        errorCode = ENOMEM;
        return nullptr;
    }
    const size_t used = std::max<size_t>(static_cast<size_t>(windowCount) * windowBytes, page);
    const size_t reserved = used + kHugePage;
    void* mapping = mmap(nullptr, reserved, PROT_READ | PROT_WRITE,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (mapping == MAP_FAILED) {
        errorCode = ENOMEM;
        return nullptr;
    }
    windows->m_mapping = static_cast<uint8_t*>(mapping);
    windows->m_mappingBytes = reserved;
    const uintptr_t start = reinterpret_cast<uintptr_t>(mapping);
    windows->m_base = windows->m_mapping + (RoundUp(start, kHugePage) - start);
    // Windows of 2 MiB come in one fault each where the system has huge pages.
    madvise(windows->m_base, used, MADV_HUGEPAGE);
    // Bytes no window holds are marked for the address sanitizer, so that a reader that keeps a
    // pointer past the next read is caught where it would read bytes given back.
    PoisonBytes(windows->m_mapping, reserved);
    windows->m_states.assign(static_cast<size_t>(windowCount), kNeverRead);

    // A file that all windows hold is read whole now, as any small file; a larger one's first
    // window, so that a file that cannot be read fails here too.
    if (size <= static_cast<uint64_t>(windowBytes) * resident) windows->m_keepAll = true;
    if (!windows->Provide(0, windows->m_keepAll ? size : std::min<uint64_t>(size, windowBytes))) {
        errorCode = windows->m_error;
        return nullptr;
    }
    if (windows->m_keepAll) {
        close(windows->m_fd);
        windows->m_fd = -1;
    }
    errorCode = 0;
    return windows;
}

size_t FileWindows::WindowLength(size_t window) const {
    const uint64_t start = static_cast<uint64_t>(window) * m_windowBytes;
    return static_cast<size_t>(std::min<uint64_t>(m_windowBytes, m_size - start));
}

bool FileWindows::Provide(uint64_t from, uint64_t n) {
    if (m_error != 0) return false;
    if (n == 0) return true;
    if (from >= m_size || n > m_size - from) return false;
    const size_t first = static_cast<size_t>(from / m_windowBytes);
    const size_t last = static_cast<size_t>((from + n - 1) / m_windowBytes);
    size_t missing = 0;
    for (size_t w = first; w <= last; ++w)
        missing += m_states[w] != kHeld;
    if (missing == 0) return true;
    if (!m_keepAll) {
        // The windows held longest go first; those asked for now stay.
        for (auto it = m_resident.begin();
             it != m_resident.end() && m_resident.size() + missing > m_residentLimit;) {
            if (*it >= first && *it <= last) {
                ++it;
                continue;
            }
            GiveBack(*it);
            it = m_resident.erase(it);
        }
    }
    for (size_t w = first; w <= last; ++w)
        if (m_states[w] != kHeld && !Fill(w)) return false;
    return true;
}

bool FileWindows::Fill(size_t window) {
    const size_t length = WindowLength(window);
    const uint64_t offset = static_cast<uint64_t>(window) * m_windowBytes;
    uint8_t* bytes = m_base + offset;
    UnpoisonBytes(bytes, length);
    size_t done = 0;
    while (done < length) {
        const ssize_t n =
            pread(m_fd, bytes + done, length - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            // A file that ends before its size was cut short while it was read.
            m_error = n < 0 && errno ? errno : EIO;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    if (m_states[window] == kGivenBack) {
        m_readAgain += length;
        if (m_readAgain >= m_size) m_keepAll = true;
    }
    m_states[window] = kHeld;
    m_resident.push_back(window);
    ++m_reads;
    return true;
}

void FileWindows::GiveBack(size_t window) {
    uint8_t* bytes = m_base + static_cast<uint64_t>(window) * m_windowBytes;
    madvise(bytes, m_windowBytes, MADV_DONTNEED);
    PoisonBytes(bytes, m_windowBytes);
    m_states[window] = kGivenBack;
}
