# The test programs of the Windows build, built from the same test sources as on Linux. Named
# folders of tests/, less the files listed as Linux-only: those that replace operator new through
# the Linux loader (allocation counts), need an off-screen OpenGL context, run aaxhost through
# POSIX processes, or need what only the Win32 stand-in's headless display can do.
# A new test file in these folders builds for Windows too unless it is added here.
# scripts/test runs these under Wine.
set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources (Debian package googletest)")
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
# SYSTEM: GoogleTest's headers are not ours to hold to our warnings, in our tests or its own build.
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
foreach(target gtest gtest_main gmock gmock_main)
  target_compile_options(${target} PRIVATE -w)
endforeach()

# graphics/ is the display-free part of the graphics tests (value types, controls on the
# recording back end, resources and font info, keyed cache, overlays, input dispatch).
# backend/ and renderer/ stay Linux-only (they draw in an off-screen OpenGL context of the build
# machine's EGL), and renderer_vs_cairo/ too (it needs cairo). graphics/platform/ (the window
# layer, text entry and platform fonts) runs on a real Win32 through the test display's Win32
# side (tests/support/TestDisplayWin32.cpp: input as window messages and SendInput, frames read
# back through WGL, the system's own counts), less three files that need the stand-in's:
#   DisplayClockTest        the simulated vertical blank (manual blanks, a display that stops)
#   PlatformServicesTest    the scripted dialogs, message boxes, clipboard and shell answers
#   PopupMenuTest           the scripted popup menus
set(CORVANE_WINDOWS_TEST_DIRS Examples/Corvane IPlug IPlug/AAX IPlug/AAX/library host graphics graphics/platform)
set(CORVANE_LINUX_ONLY_TESTS
  support/AllocationCounter.cpp
  support/OffscreenGLContext.cpp
  support/TestDisplayStandIn.cpp
  graphics/platform/DisplayClockTest.cpp
  graphics/platform/PlatformServicesTest.cpp
  graphics/platform/PopupMenuTest.cpp
  IPlug/IPlugProcessorTest.cpp
  host/CommandLineTest.cpp
  host/EditorCommandTest.cpp
  host/EditorLifecycleTest.cpp
  host/HostRealtimeTest.cpp
  host/HostSessionTest.cpp
  host/LockCounter.cpp
  host/ProcessCommandLineTest.cpp
  host/ProcessCommandTest.cpp
  host/RegistrationTest.cpp)

# corvane_windows_test_sources(OUT folder): the .cpp files of tests/<folder> less the Linux-only ones.
function(corvane_windows_test_sources out folder)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${folder}/*.cpp)
  foreach(file IN LISTS CORVANE_LINUX_ONLY_TESTS)
    list(REMOVE_ITEM sources ${CMAKE_SOURCE_DIR}/tests/${file})
  endforeach()
  set(${out} ${sources} PARENT_SCOPE)
endfunction()

corvane_windows_test_sources(support support)
add_library(test_support STATIC ${support})
target_include_directories(test_support PUBLIC ${CMAKE_SOURCE_DIR}/tests)
# aaxhost's library reads a window's OpenGL frames back for the test display.
target_link_libraries(test_support PUBLIC corvane corvane_reference aaxhost_library gtest gmock)

set(CORVANE_WINDOWS_TESTS)
foreach(rel IN LISTS CORVANE_WINDOWS_TEST_DIRS)
  string(REPLACE "/" "_" name "test_${rel}")
  corvane_windows_test_sources(sources ${rel})
  if(sources)
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE test_support)
    list(APPEND CORVANE_WINDOWS_TESTS ${name})
  endif()
endforeach()
# Cases that read the module with the build machine's binutils; scripts/test-windows checks the
# DLL's tables with mingw's objdump instead.
set(CORVANE_WINDOWS_TEST_FILTER_test_host "-ModuleFile.*")
# Cases that need what only the stand-in's display gives (the seam answers false there):
#   AClickReachesTheEditorInLogicalPixels, AtTwiceTheDensityTheWindowIsTwiceAsLarge,
#   ScaleForWindowIsTheDpiOver96      a density per window: Windows gives one per monitor
#   TouchContactsArriveAsOneEvent..., WindowLayerDigitizer.*
#                                     a digitizer and touch frames, which only a device gives
set(CORVANE_WINDOWS_TEST_FILTER_test_graphics_platform "-WindowLayer.AClickReachesTheEditorInLogicalPixels:\
WindowLayer.AtTwiceTheDensityTheWindowIsTwiceAsLarge:WindowLayer.ScaleForWindowIsTheDpiOver96:\
WindowLayer.TouchContactsArriveAsOneEventEachWithTheirIdentifiers:WindowLayerDigitizer.*")

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
