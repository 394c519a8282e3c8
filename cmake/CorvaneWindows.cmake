# The Windows build (mingw-w64, cmake/MingwW64.toolchain.cmake): the same sources against the real
# Windows headers and system libraries. Included by the top-level CMakeLists.txt when WIN32.
enable_language(RC)

# The module and aaxhost.exe carry their C and C++ runtimes and the cross-built libraries inside:
# an AAX host loads the module from its bundle, where no mingw DLL is on the search path.
add_link_options(-static)

# Every file sees <windows.h> the same way (the prelude says why).
add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-include$<SEMICOLON>${CMAKE_SOURCE_DIR}/cmake/windows/WindowsPrelude.h>)
include_directories(${CMAKE_SOURCE_DIR}/compat)

# --- Header-only libraries ---------------------------------------------------------------------
# Debian ships nlohmann-json, CLI11 and stb for the build machine only. Being header-only they
# serve the cross build as well, but /usr/include itself must never be on its include path (the C
# library's headers would shadow mingw's), so each gets a folder of its own that links to its
# headers alone.
set(CORVANE_BUILD_MACHINE_HEADERS ${CMAKE_BINARY_DIR}/build-machine-headers)
foreach(header nlohmann/json.hpp CLI/CLI.hpp stb/stb_image.h)
  get_filename_component(dir ${header} DIRECTORY)
  string(MAKE_C_IDENTIFIER ${dir} var)
  find_path(CORVANE_${var}_ROOT ${header} PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  file(MAKE_DIRECTORY ${CORVANE_BUILD_MACHINE_HEADERS}/${var})
  file(CREATE_LINK ${CORVANE_${var}_ROOT}/${dir} ${CORVANE_BUILD_MACHINE_HEADERS}/${var}/${dir} SYMBOLIC)
endforeach()
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE ${CORVANE_BUILD_MACHINE_HEADERS}/nlohmann)
add_library(CLI11::CLI11 INTERFACE IMPORTED)
target_include_directories(CLI11::CLI11 SYSTEM INTERFACE ${CORVANE_BUILD_MACHINE_HEADERS}/CLI)
add_library(corvane_stb INTERFACE IMPORTED)
target_include_directories(corvane_stb SYSTEM INTERFACE ${CORVANE_BUILD_MACHINE_HEADERS}/stb)

# --- Cross-built libraries (scripts/setup-windows-libs) -----------------------------------------
find_package(Freetype REQUIRED)
find_package(SndFile CONFIG REQUIRED)

# corvane_windows_module(TARGET [DEF]): the AAX bundle layout, exports from the .def file only
# (by default the one named after the target).
function(corvane_windows_module target)
  set(def ${CMAKE_SOURCE_DIR}/cmake/${target}.def)
  if(ARGC GREATER 1)
    set(def ${ARGV1})
  endif()
  target_sources(${target} PRIVATE ${def})
  set_target_properties(${target} PROPERTIES
    PREFIX "" SUFFIX "" OUTPUT_NAME "${target}"
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin/${target}/Contents/x64
    ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib
    LINK_DEPENDS ${def})
  # A release module ships without its symbol table (a third of its size); the export table stays.
  target_link_options(${target} PRIVATE -Wl,--no-undefined $<$<CONFIG:Release>:-s>)
endfunction()

# corvane_windows_resources(TARGET ENTRIES): each entry TYPE|NAME|PATH becomes a resource of that
# type whose name is NAME in double quotes. The Windows resource compiler keeps the quotes of a
# quoted name, and the editor's resource search expects them; windres drops them, so they are
# written doubled, which both compilers read as quotes inside the name. Each entry opens with its
# language (English, as the resource compilers default to), so that no line ends in a string
# right before one that starts with a string: windres would join the two into one.
function(corvane_windows_resources target entries)
  set(rc ${CMAKE_BINARY_DIR}/generated/${target}.rc)
  set(text "// Generated at configure time from the editor's resource list; do not edit.\n")
  set(files)
  foreach(entry IN LISTS entries)
    string(REPLACE "|" ";" fields "${entry}")
    list(GET fields 0 type)
    list(GET fields 1 name)
    list(GET fields 2 path)
    string(APPEND text "LANGUAGE 9, 1\n\"\"\"${name}\"\"\" ${type} \"${path}\"\n")
    list(APPEND files ${path})
  endforeach()
  file(CONFIGURE OUTPUT ${rc} CONTENT "${text}")
  target_sources(${target} PRIVATE ${rc})
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${files}")
endfunction()
