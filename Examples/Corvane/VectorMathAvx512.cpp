// The preamp's vector kernels for AVX-512, 8 doubles per vector. Compiled with
// -mavx512f -mavx2 -mfma (see cmake/CorvaneVectorMath.cmake).
// Reached only through the dispatcher in VectorMath.cpp, once it has checked the processor.
#define CORVANE_LANES 8
#define CORVANE_NATIVE __m512d
#define CORVANE_TANH Sleef_tanhd8_u35avx512f
#define CORVANE_SIN Sleef_sind8_u35avx512f
#define CORVANE_MULADD(a, b, c) _mm512_fmadd_pd(a, b, c)
#define CORVANE_LEVEL SimdLevel::kAvx512
#define CORVANE_TABLE PreampKernelsAvx512
#include "PreampKernels.h"
