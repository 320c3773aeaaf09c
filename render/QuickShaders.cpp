#include "QuickShaders.h"

#include <cstdlib>

void PreferQuickShaderCompiles() {
    setenv("GALLIVM_PERF", "nopt", 0);
}
