// Memory for the large blocks of a scene: the vertex and triangle lists of its objects. A large
// scene writes tens of megabytes of fresh memory as it loads, and in 4 KiB pages every page costs
// a fault when it is first written: on the benchmark scene the faults took more time than
// decoding the records. Blocks of 2 MiB and more are
// therefore aligned to a huge page and offered to the system as transparent huge pages; where it
// has none, everything still works, only slower.
#pragma once

#include <cstddef>
#include <new>

// A block of at least size bytes, or null when there is no memory; FreeBulk gives it back.
void* AllocateBulk(size_t size) noexcept;
void FreeBulk(void* block) noexcept;

// While an arena lives, the bulk blocks its thread allocates are cut one after another from one
// block reserved up front, so that a reader's lists, each under 2 MiB on its own, share huge
// pages. Only the pages used take memory. The reserved block goes back when the arena has ended
// and the last block cut from it is freed; a freed block's room is not used again before that.
// What does not fit, and what other threads allocate, is allocated on its own.
class BulkArena {
public:
    // capacity: about what the records will take; a failed reservation leaves no arena.
    explicit BulkArena(size_t capacity) noexcept;
    ~BulkArena();
    BulkArena(const BulkArena&) = delete;
    BulkArena& operator=(const BulkArena&) = delete;

    struct Block;

private:
    Block* m_block;
    Block* m_previous;
};

// A standard allocator over AllocateBulk for std::vector. It holds no state, so lists that use it
// move, swap and compare like any std::vector.
template <class T>
struct BulkAllocator {
    using value_type = T;

    BulkAllocator() = default;
    template <class U>
    BulkAllocator(const BulkAllocator<U>&) noexcept {}

    T* allocate(size_t n) {
        if (n > static_cast<size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
        void* block = AllocateBulk(n * sizeof(T));
        if (!block) throw std::bad_alloc();
        return static_cast<T*>(block);
    }
    void deallocate(T* block, size_t) noexcept { FreeBulk(block); }

    template <class U>
    friend bool operator==(const BulkAllocator&, const BulkAllocator<U>&) noexcept {
        return true;
    }
    template <class U>
    friend bool operator!=(const BulkAllocator&, const BulkAllocator<U>&) noexcept {
        return false;
    }
};
