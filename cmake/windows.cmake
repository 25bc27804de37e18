# The real Windows saver, cross-built with MinGW-w64.
enable_language(RC)
add_executable(brackwold WIN32 ${SYSTEM_SOURCES} ${FIGURE_SOURCES} ${CMAKE_SOURCE_DIR}/shell/winmain.cpp
  ${CMAKE_SOURCE_DIR}/resources/brackwold.rc)
target_include_directories(brackwold PRIVATE ${CMAKE_SOURCE_DIR})
set_target_properties(brackwold PROPERTIES SUFFIX ".scr")
target_link_options(brackwold PRIVATE -static -static-libgcc -static-libstdc++ -mwindows -s)
target_link_libraries(brackwold PRIVATE opengl32 glu32 winmm gdi32 user32 advapi32)
# windres finds the files the script names beside it; a changed picture or
# sound must rebuild the resources as a changed script does.
file(GLOB_RECURSE RESOURCE_FILES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/resources/*.bmp ${CMAKE_SOURCE_DIR}/resources/*.wav)
set_property(SOURCE ${CMAKE_SOURCE_DIR}/resources/brackwold.rc APPEND PROPERTY
  OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/resources/brackwold.rc ${RESOURCE_FILES})
