# Cross-compiles Velkrom for 32-bit Windows, the program's own target, with
# Debian's MinGW-w64 (package g++-mingw-w64-i686-posix).
set(VK_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
