# Shared part of the MinGW-w64 toolchain files; set VK_MINGW_TRIPLET first.
set(CMAKE_SYSTEM_NAME Windows)
if(VK_MINGW_TRIPLET MATCHES "^x86_64")
  set(CMAKE_SYSTEM_PROCESSOR x86_64)
else()
  set(CMAKE_SYSTEM_PROCESSOR x86)
endif()

# Debian ships a posix and a win32 threads variant. GCC 12's win32 variant has
# no std::thread or std::mutex, so the posix one is preferred when present.
find_program(VK_MINGW_CXX NAMES ${VK_MINGW_TRIPLET}-g++-posix ${VK_MINGW_TRIPLET}-g++
                                ${VK_MINGW_TRIPLET}-g++-win32 REQUIRED)
find_program(VK_MINGW_CC NAMES ${VK_MINGW_TRIPLET}-gcc-posix ${VK_MINGW_TRIPLET}-gcc
                               ${VK_MINGW_TRIPLET}-gcc-win32)
set(CMAKE_CXX_COMPILER ${VK_MINGW_CXX})
if(VK_MINGW_CC)
  set(CMAKE_C_COMPILER ${VK_MINGW_CC})
endif()
find_program(CMAKE_RC_COMPILER NAMES ${VK_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VK_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
