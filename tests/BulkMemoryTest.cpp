// The memory behind vertex and triangle lists: lists made while an arena lives are cut from its
// one block, stay usable after the arena has ended, and free it only with the last of them; what
// does not fit, and what other threads make, is allocated on its own.
#include <gtest/gtest.h>

#include <cstdint>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <thread>
#include <vector>

#include "scene/AddressSanitizer.h"
#include "scene/BulkMemory.h"
#include "scene/SceneRecords.h"

#if defined(ZEMVORA_ASAN)
#include <sanitizer/asan_interface.h>
#endif

namespace {

uintptr_t Address(const void* p) {
    return reinterpret_cast<uintptr_t>(p);
}

VertexList Numbered(size_t count, float first) {
    VertexList list(count);
    for (size_t i = 0; i < count; ++i)
        list[i].x = first + static_cast<float>(i);
    return list;
}

bool StillNumbered(const VertexList& list, float first) {
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].x != first + static_cast<float>(i)) return false;
    return true;
}

}  // namespace

TEST(BulkArena, ListsMadeInsideShareOneBlockAndOutliveTheArena) {
    VertexList a, b, c;
    MeshList m;
    uintptr_t first = 0;
    {
        const BulkArena arena(1 << 20);
        a = Numbered(1000, 0);
        first = Address(a.data());
        m.resize(500);
        b = Numbered(2000, 5000);
        c = Numbered(10, 9000);
        // One after another, in the order made, each on a cache line of its own.
        EXPECT_LT(Address(a.data()), Address(m.data()));
        EXPECT_LT(Address(m.data()), Address(b.data()));
        EXPECT_LT(Address(b.data()), Address(c.data()));
        EXPECT_LT(Address(c.data()) - Address(a.data()), uintptr_t{1} << 20);
        for (const void* p :
             {static_cast<const void*>(a.data()), static_cast<const void*>(m.data()),
              static_cast<const void*>(b.data()), static_cast<const void*>(c.data())})
            EXPECT_EQ(Address(p) % 64, 0u);
    }
    // The arena has ended; its lists are whole and can be written, freed in any order (the
    // address sanitizer run catches a block given back while a list still uses it).
    b = VertexList();
    EXPECT_TRUE(StillNumbered(a, 0));
    EXPECT_TRUE(StillNumbered(c, 9000));
    a[999].x = -1;
    m[499].flags = 7;
    a = VertexList();
    EXPECT_TRUE(StillNumbered(c, 9000));
    EXPECT_EQ(m[499].flags, 7);

    // A list made after the arena is not cut from its block, which c still holds: it lands
    // neither among the lists cut before nor just after the last of them. (The heap may well
    // place it just past the block's end.)
    const VertexList after = Numbered(10, 0);
    EXPECT_TRUE(Address(after.data()) < first || Address(after.data()) > Address(c.data()) + 4096);
}

TEST(BulkArena, WhatDoesNotFitAndWhatOtherThreadsMakeIsAllocatedOnItsOwn) {
    const BulkArena arena(64 * 1024);
    const VertexList first = Numbered(100, 0);
    const uintptr_t block = Address(first.data());

    // More than the arena holds: on its own, and the arena goes on serving what fits.
    const VertexList large = Numbered(100000, 0);
    EXPECT_TRUE(Address(large.data()) + large.size() * sizeof(SceneVertex) <= block ||
                Address(large.data()) > block + 64 * 1024);
    const VertexList second = Numbered(100, 0);
    EXPECT_GT(Address(second.data()), block);
    EXPECT_LT(Address(second.data()), block + 64 * 1024);

    // The thread allocates from the main heap: a heap of its own would stay reserved after it
    // ends, and the tests that limit the address space would then find room in it.
#if defined(__GLIBC__)
    mallopt(M_ARENA_MAX, 1);
#endif
    VertexList fromThread;
    std::thread([&] { fromThread = Numbered(100, 3); }).join();
    EXPECT_TRUE(Address(fromThread.data()) < block ||
                Address(fromThread.data()) > block + 64 * 1024);
    EXPECT_TRUE(StillNumbered(fromThread, 3));
    EXPECT_TRUE(StillNumbered(large, 0));
}

TEST(BulkArena, AnInnerArenaHandsBackToTheOuterOne) {
    const BulkArena outer(64 * 1024);
    const VertexList a = Numbered(10, 0);
    VertexList inner;
    {
        const BulkArena nested(64 * 1024);
        inner = Numbered(10, 0);
    }
    const VertexList b = Numbered(10, 0);
    EXPECT_GT(Address(b.data()), Address(a.data()));
    EXPECT_LT(Address(b.data()), Address(a.data()) + 64 * 1024);
    EXPECT_TRUE(Address(inner.data()) < Address(a.data()) ||
                Address(inner.data()) > Address(a.data()) + 64 * 1024);
}

TEST(BulkArena, AnEmptyOrImpossibleArenaLeavesAllocationAsUsual) {
    std::vector<size_t> capacities = {0};
#if !defined(ZEMVORA_ASAN)
    // The address sanitizer ends the program on an allocation it cannot make.
    capacities.push_back(SIZE_MAX / 2);
#endif
    for (size_t capacity : capacities) {
        const BulkArena arena(capacity);
        const VertexList list = Numbered(1000, 1);
        EXPECT_TRUE(StillNumbered(list, 1));
    }
    // A block of nothing is still a block that can be given back.
    void* empty = AllocateBulk(0);
    EXPECT_NE(empty, nullptr);
    FreeBulk(empty);
    FreeBulk(nullptr);
}

#if defined(ZEMVORA_ASAN)
// Cut from one block, lists lose the sanitizer's own red zones: the arena puts back its own
// between them, and marks a freed list's bytes.
TEST(BulkArena, TheAddressSanitizerSeesPastAListAndIntoAFreedOne) {
    const BulkArena arena(1 << 20);
    VertexList a = Numbered(10, 0);
    const VertexList b = Numbered(10, 0);
    EXPECT_FALSE(__asan_address_is_poisoned(&a.back().nz));
    EXPECT_TRUE(__asan_address_is_poisoned(reinterpret_cast<const char*>(a.data() + a.size())));
    const SceneVertex* freed = a.data();
    a = VertexList();
    EXPECT_TRUE(__asan_address_is_poisoned(freed));
    EXPECT_FALSE(__asan_address_is_poisoned(b.data()));
}
#endif
