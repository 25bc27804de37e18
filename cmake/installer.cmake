# Builds the Windows Installer package of one saver with wixl (script mode):
#
#   cmake -D ARCH=x64|x86 -D VERSION=1.2.3 -D SAVER=brackwold.scr -D OUTPUT=x.msi -P installer.cmake
#
# The Windows build runs it for its own saver; the installer test runs it
# again for a package with a higher version.
foreach(var ARCH VERSION SAVER OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "installer.cmake: -D ${var}=... is missing")
  endif()
endforeach()
if(NOT ARCH MATCHES "^(x64|x86)$")
  message(FATAL_ERROR "installer.cmake: ARCH is x64 or x86, not '${ARCH}'")
endif()
find_program(WIXL wixl REQUIRED)

# One product code per architecture and version, the same on every build:
# a package rebuilt from the same version is the same product, so installing
# it again never lists Brackwold! twice.
string(UUID product_code NAMESPACE 6C1D3F0E-5B47-4E2A-9A63-0F2E8B7D4C15
  NAME "${ARCH} ${VERSION}" TYPE SHA1 UPPER)

# wixl looks for the files a package holds under its working folder and
# takes no absolute name, so they are named from the top of the tree.
get_filename_component(top ${CMAKE_CURRENT_LIST_DIR} DIRECTORY)
get_filename_component(saver ${SAVER} ABSOLUTE)
get_filename_component(output ${OUTPUT} ABSOLUTE)
file(RELATIVE_PATH saver ${top} ${saver})
execute_process(COMMAND ${WIXL} --arch ${ARCH} --output ${output}
    -D Arch=${ARCH} -D Version=${VERSION} -D ProductCode=${product_code}
    -D Saver=${saver} -D Icon=resources/brackwold.ico
    platform/windows/install/brackwold.wxs
  WORKING_DIRECTORY ${top}
  COMMAND_ERROR_IS_FATAL ANY)
