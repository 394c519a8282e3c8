# The preamp's vector kernels: one translation unit per x86-64 instruction set, each compiled for
# its own set only. VectorMath.cpp picks one at run time from what the processor reports, so the
# build machine's processor never decides what runs. The transcendental functions come from SLEEF.
# No multiply-add contraction in the kernels: every element then takes exactly the same arithmetic
# wherever it sits in a vector, so the output never depends on how the host splits its blocks.
find_path(SLEEF_INCLUDE_DIR sleef.h REQUIRED)
find_library(SLEEF_LIBRARY sleef REQUIRED)

set(CORVANE_KERNEL_DIR ${CMAKE_SOURCE_DIR}/Examples/Corvane)
set_source_files_properties(${CORVANE_KERNEL_DIR}/VectorMathSse2.cpp
  PROPERTIES COMPILE_OPTIONS "-ffp-contract=off")
set_source_files_properties(${CORVANE_KERNEL_DIR}/VectorMathAvx2.cpp
  PROPERTIES COMPILE_OPTIONS "-mavx2;-mfma;-ffp-contract=off")
set_source_files_properties(${CORVANE_KERNEL_DIR}/VectorMathAvx512.cpp
  PROPERTIES COMPILE_OPTIONS "-mavx512f;-mavx2;-mfma;-ffp-contract=off")

target_include_directories(corvane PRIVATE ${SLEEF_INCLUDE_DIR})
target_link_libraries(corvane PUBLIC ${SLEEF_LIBRARY})
