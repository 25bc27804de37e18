# The Win32 semantics tests: built against our layer by tests/semantics and
# against Windows itself by the x86_64 Windows build (cmake/windows.cmake).
set(SEMANTICS_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/semantics.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gdi_semantics.cpp
  ${CMAKE_CURRENT_LIST_DIR}/profile_semantics.cpp
  ${CMAKE_CURRENT_LIST_DIR}/queue_semantics.cpp
  ${CMAKE_CURRENT_LIST_DIR}/system_semantics.cpp
  ${CMAKE_CURRENT_LIST_DIR}/window_semantics.cpp)
