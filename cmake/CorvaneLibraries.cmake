# The framework and the product as layered libraries, bottom up. Each library compiles the .cpp
# files of its own folder (a new file needs no CMake edit) and puts only that folder on the
# include path of whoever links it: headers are included by bare file name, so a file can reach
# exactly the layers its library links, and an include that crosses a layer the wrong way does
# not compile. docs/architecture.md draws the layers and names the two deliberate back edges.

# corvane_layer(NAME KIND FOLDER [EXCLUDE file...]): a library of the .cpp files directly inside
# FOLDER whose headers its dependents see.
function(corvane_layer name kind folder)
  cmake_parse_arguments(PARSE_ARGV 3 arg "" "" "EXCLUDE")
  corvane_glob_sources(sources ${folder})
  foreach(file IN LISTS arg_EXCLUDE)
    list(REMOVE_ITEM sources ${CMAKE_SOURCE_DIR}/${folder}/${file})
  endforeach()
  add_library(${name} ${kind} ${sources})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/${folder})
endfunction()

# --- The framework core: parameters, processing frame, state and presets, host bridge, editor
# delegates. No plug-in API, no graphics, no Win32: the editor is reached through IEditorView.h
# and the idle timer through the adapter.
corvane_layer(corvane_core STATIC IPlug)
target_link_libraries(corvane_core PUBLIC Threads::Threads)

# --- The platform timer: Timer::Make on the system's thread timers.
corvane_layer(corvane_timer STATIC IPlug/platform)
target_link_libraries(corvane_timer PUBLIC corvane_core corvane_win32)
if(WIN32)
  target_link_libraries(corvane_timer PUBLIC user32)
endif()

# --- AAX: the interface declarations that the module and the host share (and the result
# names); the view interface that the graphics context implements; the component library; the
# adapter between the framework and the library.
corvane_layer(corvane_aax_interface STATIC IPlug/AAX/library/interface)
add_library(corvane_aax_view INTERFACE)
target_include_directories(corvane_aax_view INTERFACE ${CMAKE_SOURCE_DIR}/IPlug/AAX/view)
target_link_libraries(corvane_aax_view INTERFACE corvane_aax_interface)
# AAX_Exports.cpp holds the module's entry points: compiled into each module, never archived,
# since nothing inside a module refers to them.
corvane_layer(corvane_aax_library STATIC IPlug/AAX/library EXCLUDE AAX_Exports.cpp)
set(CORVANE_MODULE_ENTRY ${CMAKE_SOURCE_DIR}/IPlug/AAX/library/AAX_Exports.cpp)
target_link_libraries(corvane_aax_library PUBLIC corvane_aax_interface PRIVATE corvane_win32)
corvane_layer(corvane_aax STATIC IPlug/AAX)
target_link_libraries(corvane_aax PUBLIC corvane_core corvane_timer corvane_aax_library corvane_aax_view)

# --- Graphics: the graphics core (context, controls, value types), the vector renderer on
# OpenGL, the back end that draws the context with the renderer, and the Windows window layer
# with its platform services. The renderer takes the system's OpenGL (entry points past 1.1 are
# fetched at run time), FreeType for glyph rasterisation and stb_image (header only) for
# picture decoding.
corvane_layer(corvane_graphics STATIC graphics)
target_link_libraries(corvane_graphics PUBLIC corvane_core corvane_aax_view)

corvane_layer(corvane_renderer STATIC graphics/renderer)
# The picture decoder's large buffers come from compat/LargeBlocks.h.
target_include_directories(corvane_renderer PRIVATE ${CMAKE_SOURCE_DIR}/compat)
if(WIN32)
  target_link_libraries(corvane_renderer PUBLIC corvane_stb Freetype::Freetype opengl32)
else()
  find_package(OpenGL REQUIRED COMPONENTS OpenGL EGL)
  find_package(Freetype REQUIRED)
  find_path(STB_INCLUDE_DIR stb/stb_image.h REQUIRED)
  target_include_directories(corvane_renderer PUBLIC ${STB_INCLUDE_DIR})
  # EGL serves the off-screen contexts of the stand-in window layer and the tests.
  target_link_libraries(corvane_renderer PUBLIC OpenGL::OpenGL OpenGL::EGL Freetype::Freetype)
endif()

corvane_layer(corvane_vector_backend STATIC graphics/backend)
target_link_libraries(corvane_vector_backend PUBLIC corvane_graphics corvane_renderer)

corvane_layer(corvane_window_win STATIC graphics/platform)
target_link_libraries(corvane_window_win PUBLIC corvane_vector_backend corvane_win32)
if(WIN32)
  # opengl32 exports OpenGL 1.1 and wgl; the window layer and the services need the rest.
  target_link_libraries(corvane_window_win PUBLIC opengl32 user32 gdi32 comdlg32 comctl32 shell32 ole32 shlwapi wininet)
endif()
# --- The X11 window layer, for editors in Linux hosts' windows: Xlib with GLX from Mesa, keys
# through xkbcommon, platform fonts through fontconfig. Built where the X11 development files are.
if(NOT WIN32)
  find_package(X11 COMPONENTS X11_xcb xkbcommon xkbcommon_X11)
  find_package(OpenGL COMPONENTS GLX)
  find_package(Fontconfig)
  if(X11_FOUND AND X11_X11_xcb_FOUND AND X11_xkbcommon_FOUND AND X11_xkbcommon_X11_FOUND AND OpenGL_GLX_FOUND
     AND Fontconfig_FOUND)
    corvane_layer(corvane_window_x11 STATIC graphics/platform/x11)
    target_link_libraries(corvane_window_x11 PUBLIC corvane_vector_backend
      PRIVATE X11::X11 X11::X11_xcb X11::xkbcommon X11::xkbcommon_X11 OpenGL::GLX Fontconfig::Fontconfig)
    # The product's face and parameter definitions, for an editor that runs apart from the
    # plug-in (the LV2 editor) and its tests.
    add_library(corvane_editor_face STATIC ${CMAKE_SOURCE_DIR}/Examples/Corvane/CorvaneLayout.cpp
                                           ${CMAKE_SOURCE_DIR}/Examples/Corvane/CorvaneParameters.cpp)
    target_include_directories(corvane_editor_face PUBLIC ${CMAKE_SOURCE_DIR}/Examples/Corvane)
    target_link_libraries(corvane_editor_face PUBLIC corvane_graphics)
  else()
    message(STATUS "The X11 editor is not built: libx11-dev, libx11-xcb-dev, libxkbcommon-x11-dev or libgl-dev is missing")
  endif()
endif()

# The graphics core finds its pictures and fonts through the platform's resource lookup
# (ResourceLocation.h, defined by each window layer): a link-time need only, like the adapter's
# of the product below. A target chooses the X11 layer's with the property
# CORVANE_WINDOW_LAYER set to x11; every other target gets the Windows layer's.
if(TARGET corvane_window_x11)
  target_link_libraries(corvane_graphics INTERFACE
    $<LINK_ONLY:$<IF:$<STREQUAL:$<TARGET_PROPERTY:CORVANE_WINDOW_LAYER>,x11>,corvane_window_x11,corvane_window_win>>)
else()
  target_link_libraries(corvane_graphics INTERFACE $<LINK_ONLY:corvane_window_win>)
endif()

# --- The product.
corvane_layer(corvane_product STATIC Examples/Corvane)
target_link_libraries(corvane_product PUBLIC corvane_aax corvane_window_win)
include(${CMAKE_SOURCE_DIR}/cmake/CorvaneVectorMath.cmake)
# The adapter calls the factory and the identity that every plug-in defines (CreatePlugin.h,
# AAX_SEffectIdentity.h): at link time, and only there, it needs the product after it. A module
# that defines its own factory (tests/validate_modules/) keeps it, as the product's is then never
# taken from the archive.
target_link_libraries(corvane_aax INTERFACE $<LINK_ONLY:corvane_product>)

# --- Everything the module links, for the module, the tests, the benchmarks and the fuzz targets.
add_library(corvane INTERFACE)
target_link_libraries(corvane INTERFACE corvane_product)
