# What an installation puts in place, and the packages CPack makes of it.
# One section per platform; each sets CPACK_GENERATOR for its packages.
#
#   Linux    cmake --install in the GNUInstallDirs layout, and the Debian
#            package (scripts/package.sh): cmake/PackagingLinux.cmake
#   Windows  a zip per architecture and the installer of the 32-bit
#            program (scripts/package.sh windows): cmake/PackagingWindows.cmake

# VK_APP_ID (cmake/Version.cmake) names the desktop entry, the icon and the
# AppStream component.
set(VK_PACKAGE_NAME velkrom)
set(VK_PACKAGE_MAINTAINER "The Velkrom developers <velkrom@example.org>"
    CACHE STRING "Maintainer of the packages: name and e-mail address")

# The licence is stated once, in LICENSE; the copyright line and the licence
# text of the package files come from it.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE vk_license)
if(NOT vk_license MATCHES "Copyright \\(c\\) ([^\n]+)\n\n(Permission is hereby granted.*)$")
  message(FATAL_ERROR "LICENSE: no copyright line followed by the MIT licence text")
endif()
set(VK_COPYRIGHT ${CMAKE_MATCH_1})
string(STRIP "${CMAKE_MATCH_2}" VK_LICENSE_BODY)

set(CPACK_PACKAGE_NAME ${VK_PACKAGE_NAME})
set(CPACK_PACKAGE_VENDOR "The Velkrom developers")
set(CPACK_PACKAGE_CONTACT ${VK_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

if(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND TARGET velkrom)
  include(${CMAKE_CURRENT_LIST_DIR}/PackagingLinux.cmake)
endif()

if(WIN32 AND TARGET velkrom)
  include(${CMAKE_CURRENT_LIST_DIR}/PackagingWindows.cmake)
endif()

if(CPACK_GENERATOR)
  include(CPack)
endif()
