# The preamp's vector kernels: one translation unit per x86-64 instruction set, each compiled for
# its own set only. VectorMath.cpp picks one at run time from what the processor reports, so the
# build machine's processor never decides what runs. The transcendental functions come from SLEEF.
# No multiply-add contraction in the kernels: every element then takes exactly the same arithmetic
# wherever it sits in a vector, so the output never depends on how the host splits its blocks.
# Where SLEEF is not to be had (the Windows cross build: Debian has no mingw-w64 build of it), the
# same kernels take the C library's functions lane by lane from cmake/portable-math/sleef.h.
if(WIN32)
  set(SLEEF_INCLUDE_DIR ${CMAKE_SOURCE_DIR}/cmake/portable-math)
  set(SLEEF_LIBRARY)
else()
  find_path(SLEEF_INCLUDE_DIR sleef.h REQUIRED)
  find_library(SLEEF_LIBRARY sleef REQUIRED)
endif()

set(kernel_options "-ffp-contract=off")
if(WIN32)
  # GCC for Windows x64 cannot align the stack beyond 16 bytes, yet spills 32- and 64-byte vectors
  # with aligned moves, which fault; the assembler makes every such move an unaligned one (as fast
  # on aligned data).
  list(APPEND kernel_options "-Wa,-muse-unaligned-vector-move")
endif()
set(CORVANE_KERNEL_DIR ${CMAKE_SOURCE_DIR}/Examples/Corvane)
set_source_files_properties(${CORVANE_KERNEL_DIR}/VectorMathSse2.cpp
  PROPERTIES COMPILE_OPTIONS "${kernel_options}")
set_source_files_properties(${CORVANE_KERNEL_DIR}/VectorMathAvx2.cpp
  PROPERTIES COMPILE_OPTIONS "-mavx2;-mfma;${kernel_options}")
set_source_files_properties(${CORVANE_KERNEL_DIR}/VectorMathAvx512.cpp
  PROPERTIES COMPILE_OPTIONS "-mavx512f;-mavx2;-mfma;${kernel_options}")

target_include_directories(corvane_product PRIVATE ${SLEEF_INCLUDE_DIR})
if(SLEEF_LIBRARY)
  target_link_libraries(corvane_product PUBLIC ${SLEEF_LIBRARY})
endif()
