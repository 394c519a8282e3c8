# cmake -DPROGRAM=... -DNM=... -DOBJDUMP=... [-DSANITIZED=ON] -P CheckLayerSymbols.cmake
# Fails when the program built from the framework core holds or asks for anything of the layers
# above it: a symbol of the graphics framework or the AAX adapter and library, a function it
# needs from anywhere but the C and C++ runtimes (the Win32 stand-in, OpenGL, FreeType), or a
# shared library beyond those runtimes.
cmake_policy(SET CMP0007 NEW)
set(upper "^((vtable|typeinfo|typeinfo name|VTT|construction vtable|guard variable) for )?(iplug::igraphics::|AAX_|IACF|CACF|ACF[A-Z])")
set(runtime "@(GLIBC|GLIBCXX|CXXABI|GCC)_|^__(asan|ubsan|sanitizer|lsan|tsan)_")
set(runtime_libraries "c|m|stdc\\+\\+|gcc_s|pthread|dl|rt")
if(SANITIZED)
  # The sanitizer runtime interposes the C library: the functions it wraps are bound to it,
  # unversioned. A function of an upper layer's shared library would still name that library
  # among the needed ones, which stays checked.
  string(APPEND runtime "|^[^@]+$")
  string(APPEND runtime_libraries "|asan|ubsan")
endif()

execute_process(COMMAND ${NM} -C ${PROGRAM} OUTPUT_VARIABLE symbols RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR symbols STREQUAL "")
  message(FATAL_ERROR "nm could not read ${PROGRAM}")
endif()
string(REPLACE "\n" ";" lines "${symbols}")
set(found)
set(count 0)
foreach(line IN LISTS lines)
  if(NOT line MATCHES "^[0-9a-f ]+ ([A-Za-z]) (.*)$")
    continue()
  endif()
  math(EXPR count "${count} + 1")
  set(kind ${CMAKE_MATCH_1})
  set(name "${CMAKE_MATCH_2}")
  if(name MATCHES "${upper}" OR (kind STREQUAL "U" AND NOT name MATCHES "${runtime}"))
    list(APPEND found "${line}")
  endif()
endforeach()

execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE headers)
string(REGEX MATCHALL "NEEDED +[^\n]+" needed "${headers}")
foreach(entry IN LISTS needed)
  if(NOT entry MATCHES "NEEDED +lib(${runtime_libraries})\\.so|NEEDED +ld-linux")
    list(APPEND found "${entry}")
  endif()
endforeach()

if(found)
  string(REPLACE ";" "\n  " found "${found}")
  message(FATAL_ERROR "${PROGRAM} reaches above the framework core:\n  ${found}")
endif()
string(REGEX REPLACE "NEEDED +" "" needed "${needed}")
message(STATUS "${count} symbols, none of graphics, AAX, Win32, OpenGL or FreeType; needs only ${needed}")
