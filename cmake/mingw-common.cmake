# Shared part of the MinGW-w64 toolchain files; set VK_MINGW_TRIPLET first.
set(CMAKE_SYSTEM_NAME Windows)
if(VK_MINGW_TRIPLET MATCHES "^x86_64")
  set(CMAKE_SYSTEM_PROCESSOR x86_64)
else()
  set(CMAKE_SYSTEM_PROCESSOR x86)
endif()

# Debian ships a posix and a win32 threads variant of each compiler, and the
# plain name points at whichever update-alternatives chose. GCC 12's win32
# variant has no std::thread or std::mutex, so the posix one is named
# outright (packages g++-mingw-w64-*-posix, from scripts/setup-debian.sh test).
find_program(VK_MINGW_CXX NAMES ${VK_MINGW_TRIPLET}-g++-posix REQUIRED)
find_program(VK_MINGW_CC NAMES ${VK_MINGW_TRIPLET}-gcc-posix REQUIRED)
find_program(VK_MINGW_RC NAMES ${VK_MINGW_TRIPLET}-windres REQUIRED)
set(CMAKE_CXX_COMPILER ${VK_MINGW_CXX})
set(CMAKE_C_COMPILER ${VK_MINGW_CC})
set(CMAKE_RC_COMPILER ${VK_MINGW_RC})

# Every executable is one static file that needs no DLL beyond Windows' own:
# no libstdc++, libgcc or libwinpthread DLL next to it (and none for Wine to
# find when the tests run).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

set(CMAKE_FIND_ROOT_PATH /usr/${VK_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
