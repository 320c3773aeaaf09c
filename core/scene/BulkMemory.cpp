#include "scene/BulkMemory.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include "scene/AddressSanitizer.h"

struct BulkArena::Block {
    // Blocks cut from it and still allocated, plus one while the arena lives.
    std::atomic<size_t> holders{1};
    uint8_t* memory = nullptr;
    uint8_t* next = nullptr;
    uint8_t* end = nullptr;
};

namespace {

constexpr size_t kHugePage = size_t{2} << 20;

// Each block starts with the arena it was cut from, null for one allocated on its own, and its
// size. The header fills a cache line, so that blocks start on one: copying a file's bytes into
// a block 16 bytes past a line took three times as long.
struct alignas(64) Header {
    BulkArena::Block* arena;
    size_t size;
};
constexpr size_t kHeader = sizeof(Header);
static_assert(kHeader == 64, "blocks start on a cache line");

// Between blocks cut from an arena, a line of bytes that the address sanitizer reports when
// touched, as it does around blocks of its own.
#if defined(ZEMVORA_ASAN)
constexpr size_t kRedZone = 64;
#else
constexpr size_t kRedZone = 0;
#endif

thread_local BulkArena::Block* t_arena = nullptr;

// Aligned to a cache line, so that the blocks after their headers are too; large blocks to a
// huge page.
void* AllocateRaw(size_t size) noexcept {
    void* block = nullptr;
#if defined(__linux__)
    if (size >= kHugePage) {
        if (posix_memalign(&block, kHugePage, size) != 0) return nullptr;
        madvise(block, size, MADV_HUGEPAGE);
        return block;
    }
#endif
    if (posix_memalign(&block, 64, size) != 0) return nullptr;
    return block;
}

void Release(BulkArena::Block* block) noexcept {
    if (block->holders.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
    UnpoisonBytes(block->memory, static_cast<size_t>(block->end - block->memory));
    std::free(block->memory);
    delete block;
}

}  // namespace

BulkArena::BulkArena(size_t capacity) noexcept : m_block(nullptr), m_previous(t_arena) {
    if (capacity == 0) return;
    uint8_t* memory = static_cast<uint8_t*>(AllocateRaw(capacity));
    if (!memory) return;
    m_block = new (std::nothrow) Block;
    if (!m_block) {
        std::free(memory);
        return;
    }
    m_block->memory = m_block->next = memory;
    m_block->end = memory + capacity;
    PoisonBytes(memory, capacity);
    t_arena = m_block;
}

BulkArena::~BulkArena() {
    if (!m_block) return;
    t_arena = m_previous;
    Release(m_block);
}

void* AllocateBulk(size_t size) noexcept {
    // One byte at least, so that an empty block is a block too.
    if (size == 0) size = 1;
    if (size > SIZE_MAX / 2) return nullptr;
    const size_t rounded = (size + kHeader - 1) & ~(kHeader - 1);
    const size_t total = kHeader + rounded + kRedZone;

    BulkArena::Block* arena = t_arena;
    uint8_t* start;
    if (arena && total <= static_cast<size_t>(arena->end - arena->next)) {
        start = arena->next;
        arena->next += total;
        arena->holders.fetch_add(1, std::memory_order_relaxed);
        UnpoisonBytes(start, kHeader + size);
    } else {
        arena = nullptr;
        start = static_cast<uint8_t*>(AllocateRaw(kHeader + size));
        if (!start) return nullptr;
    }
    new (start) Header{arena, size};
    if (arena) PoisonBytes(start, kHeader);
    return start + kHeader;
}

void FreeBulk(void* block) noexcept {
    if (!block) return;
    uint8_t* start = static_cast<uint8_t*>(block) - kHeader;
    UnpoisonBytes(start, kHeader);
    const Header header = *reinterpret_cast<const Header*>(start);
    if (!header.arena) {
        std::free(start);
        return;
    }
    // The block's bytes stay reserved until the whole arena goes: touching them is an error.
    PoisonBytes(start, kHeader + header.size);
    Release(header.arena);
}
