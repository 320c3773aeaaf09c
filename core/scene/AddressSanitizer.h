// Whether this build runs under the address sanitizer: ZEMVORA_ASAN is defined when it does, for
// code that marks its own memory for the sanitizer and tests that cannot run under it.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#define ZEMVORA_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZEMVORA_ASAN 1
#endif
#endif
