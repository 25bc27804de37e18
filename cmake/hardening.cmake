# The Linux build hardened as Debian hardens its packages (what
# dpkg-buildflags gives with DEB_BUILD_MAINT_OPTIONS=hardening=+all), for
# every target: position-independent code and executables, a stack
# protector, stack clash and control-flow protection, fortified C library
# calls, format strings checked, and relocations read-only and bound at
# start. The package test checks the program with hardening-check.
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
add_compile_options(-fstack-protector-strong -fstack-clash-protection -Wformat -Werror=format-security)
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|i.86)$")
  add_compile_options(-fcf-protection)
endif()
add_link_options(LINKER:-z,relro LINKER:-z,now)
# Fortification needs the optimiser; under the sanitizers it stays off, since
# they intercept the same calls and its checked variants would bypass them.
if(NOT BRACKWOLD_SANITIZE AND NOT BRACKWOLD_FUZZ)
  add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
endif()
