// The preamp's vector kernels for AVX2 with FMA, 4 doubles per vector. Compiled with
// -mavx2 -mfma (see cmake/CorvaneVectorMath.cmake).
// Reached only through the dispatcher in VectorMath.cpp, once it has checked the processor.
#define CORVANE_LANES 4
#define CORVANE_NATIVE __m256d
#define CORVANE_TANH Sleef_tanhd4_u35avx2
#define CORVANE_SIN Sleef_sind4_u35avx2
#define CORVANE_MULADD(a, b, c) _mm256_fmadd_pd(a, b, c)
#define CORVANE_LEVEL SimdLevel::kAvx2
#define CORVANE_TABLE PreampKernelsAvx2
#include "PreampKernels.h"
