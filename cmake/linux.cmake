# Linux: the system's code over our own Win32-compatible layer.
include(cmake/hardening.cmake)
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

# The layer: a backend-independent core and an X11/GLX backend. The offscreen
# backend (no display, OSMesa GL) and the layer's doubles, which only tests,
# tools and benchmarks link, are in testing/.
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
  ${LAYER_DIR}/registry.cpp
  ${LAYER_DIR}/resource.cpp
  ${LAYER_DIR}/signals.cpp
  ${LAYER_DIR}/sound.cpp
  ${LAYER_DIR}/system.cpp
  ${LAYER_DIR}/text.cpp
  ${LAYER_DIR}/wgl.cpp
  ${LAYER_DIR}/window.cpp)
target_include_directories(w32layer PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(w32layer PUBLIC PkgConfig::SDL2 PkgConfig::GTK3 PkgConfig::GLU)
# The module table and the registry's store are empty in the program, and
# its devices are the machine's; the tests, tools and benchmarks link
# doubles they can fill and steer instead (testing/doubles).
add_library(w32layer_program OBJECT ${LAYER_DIR}/module.cpp
  ${LAYER_DIR}/devices/added_resources.cpp
  ${LAYER_DIR}/devices/clock.cpp
  ${LAYER_DIR}/devices/process_end.cpp
  ${LAYER_DIR}/devices/registry_store.cpp
  ${LAYER_DIR}/devices/screen_boxes.cpp
  ${LAYER_DIR}/devices/sound_output.cpp)
target_include_directories(w32layer_program PUBLIC ${CMAKE_SOURCE_DIR})

add_library(w32layer_x11 OBJECT
  ${LAYER_DIR}/x11/x11_connection.cpp
  ${LAYER_DIR}/x11/x11_glx.cpp
  ${LAYER_DIR}/x11/x11_input.cpp
  ${LAYER_DIR}/x11/x11_mappings.cpp
  ${LAYER_DIR}/x11/x11_monitors.cpp
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

# The Linux process entry (shell/linux_main.cpp) reads XScreenSaver's
# options before WinMain; what it runs up to the shell stands apart, so the
# tests and the fuzzer can run it too.
set(LINUX_ENTRY_SOURCES ${CMAKE_SOURCE_DIR}/shell/start_process.cpp ${CMAKE_SOURCE_DIR}/shell/hack_options.cpp)
add_executable(brackwold ${CMAKE_SOURCE_DIR}/shell/winmain.cpp ${CMAKE_SOURCE_DIR}/shell/linux_main.cpp
  ${LINUX_ENTRY_SOURCES})
target_link_libraries(brackwold PRIVATE brackwold_system brackwold_resources w32layer_on_x11 w32layer_program)
include(cmake/package.cmake)

# What only tests, tools and benchmarks link: before them, which use it.
add_subdirectory(testing)
if(BRACKWOLD_TESTS)
  enable_testing()
  add_subdirectory(tests)
endif()
add_subdirectory(bench)
add_subdirectory(tools)
