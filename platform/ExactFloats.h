// The build the game's floating point needs: every float and double operation rounded once, to its own type, as
// IEEE 754 says. A replay is the same game on every machine only then, so a build that loosens it stops here.
#pragma once
#include <cfloat>

#if defined(__FAST_MATH__)
#error "Kestrovar is built without -ffast-math (and -Ofast): it reorders float sums and plays replays as other games."
#endif

// 0: float arithmetic is done in float and double in double (SSE2 on x86, every 64-bit target, WebAssembly). x87
// maths keeps wider intermediates (2) and rounds them when the compiler spills, which no other machine repeats.
#if !defined(FLT_EVAL_METHOD) || FLT_EVAL_METHOD != 0
#error "Kestrovar needs FLT_EVAL_METHOD 0: on 32-bit x86 build with -msse2 -mfpmath=sse, not x87 maths."
#endif
