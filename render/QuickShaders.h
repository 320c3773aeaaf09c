// Mesa's software OpenGL (llvmpipe) compiles a shader with LLVM for every new combination of
// drawing state, and optimises each one. A command that draws one picture or a few, from a
// process that starts afresh each time, spends more on that optimising than the faster code
// gives back: half of a small scene's `--render`. The driver's own switch GALLIVM_PERF=nopt
// leaves it out; the optimisations change no arithmetic, so the pixels are the same. The window,
// which draws frame after frame, keeps the optimised shaders.
#pragma once

// Sets the switch unless the user set GALLIVM_PERF. Other drivers pass it over. Call before the
// process's first OpenGL context and before it starts a thread.
void PreferQuickShaderCompiles();
