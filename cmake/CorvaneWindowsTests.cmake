# The test programs of the Windows build: those that need no display, built from the same test
# sources as on Linux. Files that replace operator new through the Linux loader (allocation
# counts), that need an off-screen OpenGL context, that run aaxhost through POSIX processes, or
# that test the Win32 stand-in itself stay Linux-only. scripts/test runs these under Wine.
set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources (Debian package googletest)")
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

set(CORVANE_WINDOWS_TEST_DIRS Examples/Corvane IPlug IPlug/AAX IPlug/AAX/library host)
set(linux_only "AllocationCounter|OffscreenGLContext|CommandRunner\\.h|sys/wait\\.h|unistd\\.h|dlfcn\\.h|win32/testing/")

function(corvane_windows_portable out)
  set(kept)
  foreach(src IN LISTS ARGN)
    file(READ ${src} text)
    if(NOT text MATCHES "${linux_only}")
      list(APPEND kept ${src})
    endif()
  endforeach()
  set(${out} ${kept} PARENT_SCOPE)
endfunction()

file(GLOB support CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
corvane_windows_portable(support ${support})
add_library(test_support STATIC ${support})
target_include_directories(test_support PUBLIC ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(test_support PUBLIC corvane corvane_reference gtest gmock)

set(CORVANE_WINDOWS_TESTS)
foreach(rel IN LISTS CORVANE_WINDOWS_TEST_DIRS)
  string(REPLACE "/" "_" name "test_${rel}")
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${rel}/*.cpp)
  corvane_windows_portable(sources ${sources})
  if(sources)
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE test_support)
    list(APPEND CORVANE_WINDOWS_TESTS ${name})
  endif()
endforeach()
# Cases that read the module with the build machine's binutils; scripts/test-windows checks the
# DLL's tables with mingw's objdump instead.
set(CORVANE_WINDOWS_TEST_FILTER_test_host "-ModuleFile.*")

# scripts/test-windows reads the list, one program and its GoogleTest filter a line.
set(test_list)
foreach(name IN LISTS CORVANE_WINDOWS_TESTS)
  set(filter "${CORVANE_WINDOWS_TEST_FILTER_${name}}")
  if(NOT filter)
    set(filter "*")
  endif()
  list(APPEND test_list "${name} ${filter}")
endforeach()
string(JOIN "\n" test_list ${test_list})
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/windows-tests.txt CONTENT "${test_list}\n")
