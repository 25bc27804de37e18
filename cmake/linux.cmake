# Linux: the system's code over our own Win32-compatible layer.
find_package(PkgConfig REQUIRED)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(GTK3 REQUIRED IMPORTED_TARGET gtk+-3.0)
pkg_check_modules(X11 REQUIRED IMPORTED_TARGET x11)
pkg_check_modules(GLU REQUIRED IMPORTED_TARGET glu)
pkg_check_modules(OSMESA IMPORTED_TARGET osmesa)
find_package(OpenGL REQUIRED COMPONENTS OpenGL GLX)

# Resources: brackwold.rc is the one list; rc2cpp.py embeds what it names.
set(RC_SCRIPT ${CMAKE_SOURCE_DIR}/resources/brackwold.rc)
set(RC_TABLE ${CMAKE_BINARY_DIR}/generated/resource_table.cpp)
file(GLOB_RECURSE RESOURCE_FILES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/resources/*.bmp ${CMAKE_SOURCE_DIR}/resources/*.wav)
add_custom_command(OUTPUT ${RC_TABLE}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/resources/rc2cpp.py ${RC_SCRIPT} ${RC_TABLE}
  DEPENDS ${RC_SCRIPT} ${CMAKE_SOURCE_DIR}/resources/resource_ids.h ${CMAKE_SOURCE_DIR}/resources/rc2cpp.py
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
file(GLOB LAYER_CORE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/posix/*.cpp)
add_library(w32layer OBJECT ${LAYER_CORE_SOURCES})
target_include_directories(w32layer PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(w32layer PUBLIC PkgConfig::SDL2 PkgConfig::GTK3 PkgConfig::GLU OpenGL::GL)
# Test doubles of the layer's calls (sound, message boxes) for every test,
# tool and benchmark; the program itself does not link them.
file(GLOB LAYER_SEAM_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/posix/seams/*.cpp)
add_library(w32layer_seams OBJECT ${LAYER_SEAM_SOURCES})
target_include_directories(w32layer_seams PUBLIC ${CMAKE_SOURCE_DIR})

if(OSMESA_FOUND)
  file(GLOB LAYER_OFFSCREEN_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/posix/offscreen/*.cpp)
  add_library(w32layer_offscreen OBJECT ${LAYER_OFFSCREEN_SOURCES})
  target_include_directories(w32layer_offscreen PUBLIC ${CMAKE_SOURCE_DIR})
  # OSMesa must come before libGL, or its gl* entry points lose to libGL's.
  target_link_libraries(w32layer_offscreen PUBLIC PkgConfig::OSMESA)

  # A test, tool or benchmark over the system and the offscreen backend: no
  # display, and OSMesa's GL listed first so that its entry points win.
  function(brackwold_offscreen_executable name)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE brackwold_system brackwold_resources w32layer_offscreen w32layer
      w32layer_seams PkgConfig::OSMESA PkgConfig::SDL2 PkgConfig::GTK3 PkgConfig::GLU OpenGL::GL)
  endfunction()
endif()

file(GLOB LAYER_X11_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/posix/x11/*.cpp)
if(LAYER_X11_SOURCES)
  add_library(w32layer_x11 OBJECT ${LAYER_X11_SOURCES})
  target_include_directories(w32layer_x11 PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(w32layer_x11 PUBLIC PkgConfig::X11 OpenGL::GLX OpenGL::GL)

  add_executable(brackwold ${CMAKE_SOURCE_DIR}/shell/winmain.cpp ${CMAKE_SOURCE_DIR}/platform/posix/entry/main.cpp
    ${CMAKE_SOURCE_DIR}/platform/posix/entry/start_process.cpp ${CMAKE_SOURCE_DIR}/platform/posix/entry/hack_options.cpp)
  target_link_libraries(brackwold PRIVATE brackwold_system brackwold_resources w32layer w32layer_x11
    PkgConfig::SDL2 PkgConfig::GTK3 PkgConfig::X11 PkgConfig::GLU OpenGL::GLX OpenGL::GL)
  include(cmake/package.cmake)
else()
  message(WARNING "No X11 backend sources yet: the program itself is not built")
endif()

option(BRACKWOLD_TESTS "Build the tests" ON)
if(BRACKWOLD_TESTS)
  enable_testing()
  add_subdirectory(tests)
endif()
if(EXISTS ${CMAKE_SOURCE_DIR}/bench/CMakeLists.txt)
  add_subdirectory(bench)
endif()
if(EXISTS ${CMAKE_SOURCE_DIR}/tools/CMakeLists.txt)
  add_subdirectory(tools)
endif()
