# The real Windows saver, cross-built with MinGW-w64.
enable_language(RC)
# CMake keeps the compiler a build folder was first configured with, so a
# folder from before cmake/mingw-i686.cmake chose the win32 flavour would
# go on building a 32-bit saver that Windows 95/98 cannot load.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL i686 AND NOT CMAKE_CXX_COMPILER MATCHES "-win32$")
  message(FATAL_ERROR "${CMAKE_BINARY_DIR} builds with ${CMAKE_CXX_COMPILER}, not the win32 flavour that "
    "cmake/mingw-i686.cmake names (CMake keeps the compiler a folder was first configured with): "
    "remove ${CMAKE_BINARY_DIR} and build again.")
endif()
add_executable(brackwold WIN32 ${SYSTEM_SOURCES} ${FIGURE_SOURCES} ${CMAKE_SOURCE_DIR}/shell/winmain.cpp
  ${CMAKE_SOURCE_DIR}/resources/brackwold.rc)
target_include_directories(brackwold PRIVATE ${CMAKE_SOURCE_DIR})
set_target_properties(brackwold PROPERTIES SUFFIX ".scr")
# No link time in the PE header (nor so in its checksum): the same tree
# links to the same bytes, so a release can be rebuilt and compared.
target_link_options(brackwold PRIVATE -static -static-libgcc -static-libstdc++ -mwindows -s
  -Wl,--no-insert-timestamp)
target_link_libraries(brackwold PRIVATE opengl32 glu32 winmm gdi32 user32 advapi32)
# Only 32-bit programs get their writes to the Windows folder moved to a
# per-user copy: the 64-bit saver keeps its settings per user itself.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  target_sources(brackwold PRIVATE ${CMAKE_SOURCE_DIR}/platform/windows/profile.cpp)
  target_compile_definitions(brackwold PRIVATE BRACKWOLD_PER_USER_PROFILE)
endif()
# The version resource takes the project's version from here. windres hands
# its preprocessor's command line to a shell, which would strip the quotes
# of the version text, unless it runs the preprocessor into a temporary file.
set_property(SOURCE ${CMAKE_SOURCE_DIR}/resources/brackwold.rc APPEND PROPERTY COMPILE_DEFINITIONS
  BRACKWOLD_VERSION_MAJOR=${PROJECT_VERSION_MAJOR} BRACKWOLD_VERSION_MINOR=${PROJECT_VERSION_MINOR}
  BRACKWOLD_VERSION_PATCH=${PROJECT_VERSION_PATCH} BRACKWOLD_VERSION="${PROJECT_VERSION}")
set_property(SOURCE ${CMAKE_SOURCE_DIR}/resources/brackwold.rc APPEND PROPERTY COMPILE_OPTIONS --use-temp-file)
# windres finds the files the script names beside it; a changed picture or
# sound must rebuild the resources as a changed script does.
set_property(SOURCE ${CMAKE_SOURCE_DIR}/resources/brackwold.rc APPEND PROPERTY
  OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/resources/brackwold.rc ${CMAKE_SOURCE_DIR}/resources/resource_ids.h
  ${RESOURCE_FILES})

# The saver's Windows Installer package, brackwold-VERSION-x64.msi or -x86.msi
# beside it (cmake/installer.cmake says how it is made).
if(CMAKE_SYSTEM_PROCESSOR STREQUAL x86_64)
  set(MSI_ARCH x64)
else()
  set(MSI_ARCH x86)
endif()
set(MSI_FILE ${CMAKE_BINARY_DIR}/brackwold-${PROJECT_VERSION}-${MSI_ARCH}.msi)
add_custom_command(OUTPUT ${MSI_FILE}
  COMMAND ${CMAKE_COMMAND} -D ARCH=${MSI_ARCH} -D VERSION=${PROJECT_VERSION}
    -D SAVER=$<TARGET_FILE:brackwold> -D OUTPUT=${MSI_FILE} -P ${CMAKE_SOURCE_DIR}/cmake/installer.cmake
  DEPENDS brackwold ${CMAKE_SOURCE_DIR}/cmake/installer.cmake
    ${CMAKE_SOURCE_DIR}/platform/windows/install/brackwold.wxs ${CMAKE_SOURCE_DIR}/resources/brackwold.ico
  COMMENT "Building the Windows Installer package ${MSI_ARCH}")
add_custom_target(installer ALL DEPENDS ${MSI_FILE})

# The Win32 semantics tests against Windows itself (run under Wine by the
# Linux build's tests), with GoogleTest built from Debian's sources.
set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources for the Windows test build")
if(EXISTS ${GTEST_SOURCE_DIR}/CMakeLists.txt AND CMAKE_SYSTEM_PROCESSOR STREQUAL x86_64)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  include(${CMAKE_SOURCE_DIR}/tests/semantics/sources.cmake)
  add_executable(semantics_test ${SEMANTICS_SOURCES}
    # Windows only: our layer lets such an exception reach the caller.
    ${CMAKE_SOURCE_DIR}/tests/semantics/procedure_exception_probe.cpp
    # The saver's own strings and bitmaps, which the resource cases load.
    ${CMAKE_SOURCE_DIR}/resources/brackwold.rc)
  target_include_directories(semantics_test PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_definitions(semantics_test PRIVATE BRACKWOLD_SEMANTICS_AGAINST_WINDOWS=true)
  target_link_libraries(semantics_test PRIVATE gtest gtest_main opengl32 gdi32 user32 kernel32)
  target_link_options(semantics_test PRIVATE -static -static-libgcc -static-libstdc++)
endif()
