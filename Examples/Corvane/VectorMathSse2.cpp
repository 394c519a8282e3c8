// The preamp's vector kernels for SSE2, 2 doubles per vector. Compiled with
// no extra flags: SSE2 is part of every x86-64 processor.
// Reached only through the dispatcher in VectorMath.cpp, once it has checked the processor.
#define CORVANE_LANES 2
#define CORVANE_NATIVE __m128d
#define CORVANE_TANH Sleef_tanhd2_u35sse2
#define CORVANE_SIN Sleef_sind2_u35sse2
#define CORVANE_MULADD(a, b, c) _mm_add_pd(_mm_mul_pd(a, b), c)
#define CORVANE_LEVEL SimdLevel::kSse2
#define CORVANE_TABLE PreampKernelsSse2
#include "PreampKernels.h"
