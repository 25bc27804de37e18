# Linux: the system's code over our own Win32-compatible layer.
find_package(PkgConfig REQUIRED)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(GTK3 REQUIRED IMPORTED_TARGET gtk+-3.0)
pkg_check_modules(X11 REQUIRED IMPORTED_TARGET x11)
pkg_check_modules(XRANDR REQUIRED IMPORTED_TARGET xrandr)
pkg_check_modules(XINERAMA REQUIRED IMPORTED_TARGET xinerama)
pkg_check_modules(GLU REQUIRED IMPORTED_TARGET glu)
option(BRACKWOLD_TESTS "Build the tests" ON)
# The tests draw offscreen through OSMesa; without them it only adds the
# benchmarks and the picture renderer.
if(BRACKWOLD_TESTS)
  pkg_check_modules(OSMESA REQUIRED IMPORTED_TARGET osmesa)
else()
  pkg_check_modules(OSMESA IMPORTED_TARGET osmesa)
endif()
find_package(OpenGL REQUIRED COMPONENTS OpenGL GLX)

# Resources: brackwold.rc is the one list; rc2cpp.py embeds what it names.
set(RC_SCRIPT ${CMAKE_SOURCE_DIR}/resources/brackwold.rc)
set(RC_TABLE ${CMAKE_BINARY_DIR}/generated/resource_table.cpp)
add_custom_command(OUTPUT ${RC_TABLE}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/resources/rc2cpp.py ${RC_SCRIPT} ${RC_TABLE}
  DEPENDS ${RC_SCRIPT} ${CMAKE_SOURCE_DIR}/resources/resource_ids.h ${CMAKE_SOURCE_DIR}/resources/rc2cpp.py
    ${CMAKE_SOURCE_DIR}/resources/rc_file.py
    ${RESOURCE_FILES}
  COMMENT "Embedding resources")
add_library(brackwold_resources OBJECT ${RC_TABLE})
target_include_directories(brackwold_resources PRIVATE ${CMAKE_SOURCE_DIR})

# The system's code, shared by the executable, the tests and the tools. The
# figures are one library of their own that every one of them links.
add_library(brackwold_figures STATIC ${FIGURE_SOURCES})
target_include_directories(brackwold_figures PUBLIC ${CMAKE_SOURCE_DIR})
add_library(brackwold_system OBJECT ${SYSTEM_SOURCES})
target_include_directories(brackwold_system PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(brackwold_system INTERFACE brackwold_figures)

# The layer: a backend-independent core, an X11/GLX backend for the real
# program and an offscreen backend (no display, OSMesa GL) for the tests.
set(LAYER_DIR ${CMAKE_SOURCE_DIR}/platform/posix)
add_library(w32layer OBJECT
  ${LAYER_DIR}/bitmap_file.cpp
  ${LAYER_DIR}/dialog.cpp
  ${LAYER_DIR}/dialog_gtk.cpp
  ${LAYER_DIR}/error.cpp
  ${LAYER_DIR}/gdi.cpp
  ${LAYER_DIR}/message.cpp
  ${LAYER_DIR}/msgbox.cpp
  ${LAYER_DIR}/paint.cpp
  ${LAYER_DIR}/profile.cpp
  ${LAYER_DIR}/resource.cpp
  ${LAYER_DIR}/signals.cpp
  ${LAYER_DIR}/sound.cpp
  ${LAYER_DIR}/system.cpp
  ${LAYER_DIR}/text.cpp
  ${LAYER_DIR}/wgl.cpp
  ${LAYER_DIR}/window.cpp)
target_include_directories(w32layer PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(w32layer PUBLIC PkgConfig::SDL2 PkgConfig::GTK3 PkgConfig::GLU)
# The module table and the registry are empty in the program; the tests,
# tools and benchmarks link doubles they can fill instead.
add_library(w32layer_program OBJECT ${LAYER_DIR}/module.cpp ${LAYER_DIR}/registry.cpp)
target_include_directories(w32layer_program PUBLIC ${CMAKE_SOURCE_DIR})

add_library(w32layer_x11 OBJECT
  ${LAYER_DIR}/x11/x11_connection.cpp
  ${LAYER_DIR}/x11/x11_glx.cpp
  ${LAYER_DIR}/x11/x11_input.cpp
  ${LAYER_DIR}/x11/x11_mappings.cpp
  ${LAYER_DIR}/x11/x11_windows.cpp)
target_include_directories(w32layer_x11 PUBLIC ${CMAKE_SOURCE_DIR})
# RandR and Xinerama tell which monitor is the primary one.
target_link_libraries(w32layer_x11 PUBLIC PkgConfig::X11 PkgConfig::XRANDR PkgConfig::XINERAMA OpenGL::GLX OpenGL::GL)

# The layer's whole link line, one target per backend: its objects (linked
# through an interface target, object files only travel as
# $<TARGET_OBJECTS>) and the libraries they call. The GL of the system's code
# is the backend's: libGL on X11, OSMesa offscreen. Offscreen nothing links
# libGL, so OSMesa's gl* are the only ones and link order cannot matter
# (GLU's own GL library comes in behind OSMesa, as a dependency of GLU).
add_library(w32layer_on_x11 INTERFACE)
target_link_libraries(w32layer_on_x11 INTERFACE w32layer w32layer_x11
  $<TARGET_OBJECTS:w32layer> $<TARGET_OBJECTS:w32layer_x11>)

# Test doubles of the layer (modules, registry, resources, sound, message
# boxes, dialogs, process and windowing seams) for every test, tool and
# benchmark; the program itself does not link them.
add_library(w32layer_seams OBJECT
  ${LAYER_DIR}/seams/dialog_seams.cpp
  ${LAYER_DIR}/seams/module_double.cpp
  ${LAYER_DIR}/seams/msgbox_seams.cpp
  ${LAYER_DIR}/seams/registry_double.cpp
  ${LAYER_DIR}/seams/resource_seams.cpp
  ${LAYER_DIR}/seams/sound_seams.cpp
  ${LAYER_DIR}/seams/system_seams.cpp
  ${LAYER_DIR}/seams/window_seams.cpp)
target_include_directories(w32layer_seams PUBLIC ${CMAKE_SOURCE_DIR})

if(OSMESA_FOUND)
  add_library(w32layer_offscreen OBJECT ${LAYER_DIR}/offscreen/offscreen.cpp)
  target_include_directories(w32layer_offscreen PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(w32layer_offscreen PUBLIC PkgConfig::OSMESA)

  # Tests, tools and benchmarks: the offscreen backend with the seams.
  add_library(w32layer_on_offscreen INTERFACE)
  target_link_libraries(w32layer_on_offscreen INTERFACE w32layer w32layer_offscreen w32layer_seams
    $<TARGET_OBJECTS:w32layer> $<TARGET_OBJECTS:w32layer_offscreen> $<TARGET_OBJECTS:w32layer_seams>)

  # A test, tool or benchmark: the system over the offscreen backend.
  function(brackwold_offscreen_executable name)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE brackwold_system brackwold_resources w32layer_on_offscreen)
  endfunction()
endif()

# The Linux process entry (shell/linux_main.cpp) reads XScreenSaver's
# options before WinMain; what it runs up to the shell stands apart, so the
# tests and the fuzzer can run it too.
set(LINUX_ENTRY_SOURCES ${CMAKE_SOURCE_DIR}/shell/start_process.cpp ${CMAKE_SOURCE_DIR}/shell/hack_options.cpp)
add_executable(brackwold ${CMAKE_SOURCE_DIR}/shell/winmain.cpp ${CMAKE_SOURCE_DIR}/shell/linux_main.cpp
  ${LINUX_ENTRY_SOURCES})
target_link_libraries(brackwold PRIVATE brackwold_system brackwold_resources w32layer_on_x11 w32layer_program)
include(cmake/package.cmake)

if(BRACKWOLD_TESTS)
  enable_testing()
  add_subdirectory(tests)
endif()
add_subdirectory(bench)
add_subdirectory(tools)
