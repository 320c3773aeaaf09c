// Whether this build runs under the address sanitizer: ZEMVORA_ASAN is defined when it does, for
// code that marks its own memory for the sanitizer and tests that cannot run under it.
#pragma once

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
#define ZEMVORA_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZEMVORA_ASAN 1
#endif
#endif

#if defined(ZEMVORA_ASAN)
#include <sanitizer/asan_interface.h>
#endif

// Marks bytes of the program's own blocks that nothing may read or write, and gives them back,
// so that the address sanitizer reports a read of them. Without the sanitizer they do nothing.
inline void PoisonBytes([[maybe_unused]] const void* bytes, [[maybe_unused]] size_t size) {
#if defined(ZEMVORA_ASAN)
    ASAN_POISON_MEMORY_REGION(bytes, size);
#endif
}
inline void UnpoisonBytes([[maybe_unused]] const void* bytes, [[maybe_unused]] size_t size) {
#if defined(ZEMVORA_ASAN)
    ASAN_UNPOISON_MEMORY_REGION(bytes, size);
#endif
}
